#pragma once
// Isothermal two-phase flash: Wilson start, one Rachford-Rice Newton step and
// one successive-substitution update of the K-values per pass.

#include <cstdint>
#include <span>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

// Splits feed z of the mixture at (T, P), with the model's fugacity coefficients, into vapour y and liquid x with
// vapour fraction V. V is the caller's variable and holds the latest iterate at
// every moment. Nothing is reported: a numerical fault anywhere inside ends the
// flash at once and quietly, leaving V, x and y exactly as they stood. When V
// ends at exactly 0 or 1 the feed is one phase and both x and y receive z. The
// passes begun, and the work beneath them, are counted in work.
void IsothermalFlash(const Mixture& mixture, const CubicModel& model, std::span<const double> z, double T, double P,
                     std::span<double> y, std::span<double> x, double& V, double tolerance, std::int16_t maxPasses,
                     SolverWorkspace& work);

} // namespace envelope
