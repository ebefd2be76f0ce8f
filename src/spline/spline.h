#pragma once
// Interpolating cubic spline in second-derivative form.

#include <cstdint>
#include <span>

#include "spline/matrix.h"

namespace envelope {

// End-condition codes.
inline constexpr std::int16_t NaturalSpline = 1;
inline constexpr std::int16_t ParabolicRunoutSpline = 3;
inline constexpr std::int16_t NotAKnotSpline = 4;

// Row i, columns 0-3: coefficients of t^3, t^2, t, 1 with t = x - x(i).
using SplineCoefficients = Matrix;

// Fits the spline through the points 0 to L-2 of x and y, where L = x.size()
// (the last entry of x is never read), and writes rows 0 to L-3, columns 0-3,
// of coefficients after a successful solve; nothing else of the table is touched.
void SplineInterpolate(std::span<const double> x, std::span<const double> y, SplineCoefficients& coefficients,
                       std::int16_t endCondition);

} // namespace envelope
