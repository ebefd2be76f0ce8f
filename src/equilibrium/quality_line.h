#pragma once
// Pressure at which the flash of a feed gives a wanted vapour fraction.

#include <span>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

// Bisects on pressure between 2 bar and the caller's P. P: ceiling in; the
// pressure found, or 0 when none was found, out. x and y receive the last
// flash's compositions. z is a feed of the mixture; the flashes' work is
// counted in work.
void QualityLinePressure(const Mixture& mixture, const CubicModel& model, double T, double target,
                         std::span<const double> z, std::span<double> x, std::span<double> y, double& P,
                         SolverWorkspace& work);

} // namespace envelope
