#pragma once
// A cubic equation of state (thermo/cubic_model.h): fugacity coefficients of
// one phase of a mixture.

#include <cstdint>
#include <span>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

inline constexpr std::int16_t LiquidPhase = 1; // smallest positive real root
inline constexpr std::int16_t VapourPhase = 2; // largest positive real root

// phi[i] receives the fugacity coefficient of component i of the mixture's
// phase with mole fractions x at pressure P (bar) and temperature T (K), as
// the model gives it. x is
// used as given. Any selector other than LiquidPhase or VapourPhase leaves
// Z = 0 and faults. Entries of phi written before a fault keep their new
// values. The call and its root finder's passes are counted in work.
void FugacityCoefficients(const Mixture& mixture, const CubicModel& model, std::span<const double> x, double P,
                          double T, std::span<double> phi, std::int16_t phase, SolverWorkspace& work);

// Largest and smallest root with a real part > 0 and an imaginary part of
// exactly 0. Neither output is written when no root qualifies.
void ExtremeRealRoots(std::span<const double> re, std::span<const double> im, double& largest,
                      double& smallest);

} // namespace envelope
