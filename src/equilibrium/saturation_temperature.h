#pragma once
// Bubble and dew temperature of a feed at fixed pressure, by bracketing the
// two-phase region with flashes and bisecting into a thin vapour-fraction band.

#include <span>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

// Feed z of the mixture, flashed with the model. T: start guess in, result out. y receives the
// incipient vapour of the last flash. The flashes' work is counted in work.
void BubbleTemperature(const Mixture& mixture, const CubicModel& model, std::span<const double> z, double P,
                       std::span<double> y, double& T, double w, SolverWorkspace& work);

// T: start guess in, result out (0 K when the bisection limit is reached).
// x receives the incipient liquid of the last flash.
void DewTemperature(const Mixture& mixture, const CubicModel& model, std::span<const double> z, double P,
                    std::span<double> x, double& T, double w, SolverWorkspace& work);

} // namespace envelope
