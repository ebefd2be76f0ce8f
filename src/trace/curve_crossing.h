#pragma once
// Where two traced saturation curves of the same feed cross in the P-T
// plane. A feed with a three-phase region has two: one with a liquid-like
// incipient phase (a second liquid, continuous above the light component's
// critical temperature with the vapour) and one with a vapour-like incipient
// phase. Where they cross the feed is saturated with both phases at once, a
// corner of the three-phase region; the envelope, the boundary of the
// one-phase region, turns there from the one curve to the other, and each
// curve runs on beyond the corner inside the two-phase region.

#include <cstddef>
#include <span>

#include "trace/curve_node.h"
#include "trace/curve_system.h"

namespace envelope::trace {

struct CurveCrossing {
    bool found = false;
    // Segment (first, first + 1) of the one curve crosses segment
    // (second, second + 1) of the other.
    std::size_t first = 0, second = 0;
};

// The first segment of `second`, in its order and from segment `from` on,
// that crosses a segment of `first` in (ln T, ln P); for that one the
// segment of `first` crossed nearest its start. iT is the index of ln T,
// ln P follows it.
CurveCrossing FindCrossing(std::span<const CurveNode> first, std::span<const CurveNode> second, std::size_t from,
                           std::size_t iT);

// The point where the curves through a0, a1 (converged with aSystem's roots)
// and b0, b1 (with bSystem's) meet: the same temperature and pressure
// converged on each, by regula falsi in ln T or ln P, whichever both run
// along steadily, into a and b (each tangent pointing from the segment's
// first node to its second). False when the two do not converge onto one
// point within the span both segments cover.
bool MeetingPoint(CurveSystem& aSystem, const CurveNode& a0, const CurveNode& a1, CurveSystem& bSystem,
                  const CurveNode& b0, const CurveNode& b1, CurveNode& a, CurveNode& b);

} // namespace envelope::trace
