#pragma once
// The traced curve's characteristic points: the critical point, refined
// between two traced points on either side of it, where every ln K changes
// sign and the phases swap their roots; and the highest pressure and
// temperature of the whole curve, each the largest of its local maxima
// refined on the curve.

#include <cstddef>
#include <span>

#include "trace/curve_node.h"
#include "trace/curve_system.h"
#include "trace/trace.h"

namespace envelope::trace {

// Converges a point of the curve at X[k] = u, predicted by the cubic through
// a and b (or the straight line, where the cubic strays), with the system's
// roots as set; its tangent points the way X[k] runs from a to b. False when
// it does not converge.
bool PointBetween(CurveSystem& system, const CurveNode& a, const CurveNode& b, std::size_t k, double u, CurveNode& out);

// The critical point between near and far, whose ln K of component k have
// opposite signs; near's y takes the root nearYVapour says, far's the other.
struct CriticalCrossing {
    // Points of the curve converged on both sides within a small |ln K_k|.
    bool bracketed = false;
    // At ln K_k = 0: X by the cubic through those two points, the tangent
    // its slope (unit length, from near towards far).
    CurveNode node;
    // The feed's molar volume there, m3/mol: the root of its cubic closest to
    // the phases' volumes beside the critical point.
    double volume = 0.0;
};

CriticalCrossing RefineCritical(CurveSystem& system, const MixtureModel& model, std::span<const double> feed,
                                const CurveNode& near, const CurveNode& far, std::size_t k, bool nearYVapour);

// The extreme of unknown `value` between a and b, along which unknown
// `parameter` is monotonic: the point of the curve where d value / d parameter
// vanishes, by regula falsi (Illinois) on that slope, each trial point
// converged on the curve with `parameter` fixed and the system's roots as set.
CharacteristicPoint RefineExtremum(CurveSystem& system, const CurveNode& a, const CurveNode& b,
                                   std::size_t parameter, std::size_t value);

// The largest value of unknown `value` (ln T or ln P) on the curve through
// nodes, traced in that order with their phases: every local maximum between
// two nodes refined with `parameter` (the other of the two), the largest kept.
// Not found when it does not lie at or above every node (so also when the
// curve is still rising where its traced part ends). The segment that ends
// at node `joint` joins two curves at a corner and is passed over.
CharacteristicPoint LargestOnCurve(CurveSystem& system, std::span<const CurveNode> nodes,
                                   std::span<const TracePhase> phases, std::size_t value, std::size_t parameter,
                                   std::size_t joint);

} // namespace envelope::trace
