#pragma once
// Wilson's correlation for starting K-values: K_i = (Pc_i / P) * e_i(T).

#include <cmath>
#include <cstdint>

#include "thermo/numerical_fault.h"
#include "thermo/properties.h"

namespace envelope {

// e_i = exp(5.37 (1 + w_i) (1 - Tc_i / T)), the exponent formed as
// ((w_i + 1) * 5.37) * (1 - Tc_i / T).
inline double WilsonFactor(std::int16_t i, double T)
{
    const double exponent =
        Finite((At(AcentricFactor, i) + 1) * 5.37 * Finite(1 - Finite(At(CriticalTemperature, i) / T)));
    return Finite(std::exp(exponent));
}

// The Wilson K-value (Pc_i / P) * e_i from a factor e_i already formed.
inline double WilsonKFromFactor(std::int16_t i, double P, double factor)
{
    return Finite(Finite(At(CriticalPressure, i) / P) * factor);
}

// The Wilson K-value of component i at (T, P).
inline double WilsonK(std::int16_t i, double T, double P)
{
    return WilsonKFromFactor(i, P, WilsonFactor(i, T));
}

} // namespace envelope
