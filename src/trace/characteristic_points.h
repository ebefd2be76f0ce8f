#pragma once
// Refinement of the traced curve's characteristic points between two traced
// points that bracket them: the critical point, where every ln K changes
// sign, and the extremes of pressure and temperature, where the tangent's
// pressure or temperature component changes sign.

#include <cstddef>

#include "trace/curve_node.h"
#include "trace/curve_system.h"
#include "trace/trace.h"

namespace envelope::trace {

// The critical point between a and b, whose reference ln K have opposite
// signs: two points of the curve are converged at small reference ln K of
// either sign and the cubic through them is evaluated at ln K = 0. volume
// receives the feed's molar volume there (the root of the cubic closest to
// the two phases' volumes).
CharacteristicPoint RefineCritical(CurveSystem& system, const MixtureModel& model, std::span<const double> feed,
                                   const CurveNode& a, const CurveNode& b, double& volume);

// The extreme of unknown `value` between a and b, along which unknown
// `parameter` is monotonic: the point of the curve where d value / d parameter
// vanishes, by regula falsi (Illinois) on that slope, each trial point
// converged on the curve with `parameter` fixed.
CharacteristicPoint RefineExtremum(CurveSystem& system, const CurveNode& a, const CurveNode& b,
                                   std::size_t parameter, std::size_t value);

} // namespace envelope::trace
