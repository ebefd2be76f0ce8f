#pragma once
// Bubble and dew pressure at fixed temperature: Wilson start, successive
// substitution on the fugacity coefficients and secant steps on the sum of the
// incipient phase.

#include <span>

namespace envelope {

// x: the given liquid (not changed); y: incipient vapour out; P: start value in,
// running iterate and result out.
void BubblePressure(std::span<const double> x, double T, std::span<double> y, double& P, double tolerance);

// y: the given vapour (not changed); x: incipient liquid out; P: result out
// (the value passed in is ignored).
void DewPressure(std::span<const double> y, double T, std::span<double> x, double& P, double tolerance);

} // namespace envelope
