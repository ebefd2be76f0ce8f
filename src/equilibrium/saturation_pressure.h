#pragma once
// Bubble and dew pressure at fixed temperature: Wilson start, successive
// substitution on the fugacity coefficients and secant steps on the sum of the
// incipient phase.

#include <span>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

// x: the given liquid of the mixture (not changed); y: incipient vapour out; P:
// start value in, running iterate and result out. The work is counted in work.
void BubblePressure(const Mixture& mixture, const CubicModel& model, std::span<const double> x, double T,
                    std::span<double> y, double& P, double tolerance, SolverWorkspace& work);

// y: the given vapour of the mixture (not changed); x: incipient liquid out;
// P: result out (the value passed in is ignored).
void DewPressure(const Mixture& mixture, const CubicModel& model, std::span<const double> y, double T,
                 std::span<double> x, double& P, double tolerance, SolverWorkspace& work);

} // namespace envelope
