#pragma once
// Wilson's correlation for starting K-values: K_i = (Pc_i / P) * e_i(T).

#include <cmath>
#include <cstdint>

#include "thermo/numerical_fault.h"
#include "thermo/mixture.h"

namespace envelope {

// e_i = exp(5.37 (1 + w_i) (1 - Tc_i / T)), the exponent formed as
// ((w_i + 1) * 5.37) * (1 - Tc_i / T).
inline double WilsonFactor(const Mixture& mixture, std::int16_t i, double T)
{
    const double exponent = Finite((mixture.Omega(i) + 1) * 5.37 * Finite(1 - Finite(mixture.Tc(i) / T)));
    return Finite(std::exp(exponent));
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
