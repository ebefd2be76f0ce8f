#pragma once
// Wilson's correlation for starting K-values: K_i = (Pc_i / P) * e_i(T).

#include <cmath>
#include <cstdint>

#include "thermo/numerical_fault.h"
#include "thermo/mixture.h"

namespace envelope {

// ln(K_i P / Pc_i) = 5.37 (1 + w_i) (1 - Tc_i / T), formed as
// ((w_i + 1) * 5.37) * (1 - Tc_i / T) in plain arithmetic: a result that is
// not finite is for the caller to judge. The one form of the correlation for
// the run's searches, their start estimates and the traced envelope's start.
inline double WilsonExponent(double criticalTemperature, double omega, double T)
{
    return (omega + 1) * 5.37 * (1 - criticalTemperature / T);
}

// e_i = exp(5.37 (1 + w_i) (1 - Tc_i / T)). It faults when the exponent is
// not finite, which it is not exactly when one of its steps is not.
inline double WilsonFactor(const Mixture& mixture, std::int16_t i, double T)
{
    const double omega = mixture.Omega(i);
    return Finite(std::exp(Finite(WilsonExponent(mixture.Tc(i), omega, T))));
}

// The Wilson K-value (Pc_i / P) * e_i from a factor e_i already formed.
inline double WilsonKFromFactor(const Mixture& mixture, std::int16_t i, double P, double factor)
{
    return Finite(Finite(mixture.Pc(i) / P) * factor);
}

// The Wilson K-value of component i at (T, P).
inline double WilsonK(const Mixture& mixture, std::int16_t i, double T, double P)
{
    return WilsonKFromFactor(mixture, i, P, WilsonFactor(mixture, i, T));
}

} // namespace envelope
