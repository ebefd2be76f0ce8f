#pragma once
// Start guesses for the saturation-temperature searches from Wilson's
// correlation: the bubble temperature at which sum z_i K_i = 1 and the dew
// temperature at which sum z_i / K_i = 1, at a given pressure.

#include <span>

#include "thermo/mixture.h"

namespace envelope {

// The Wilson bubble temperature of feed z at P, in K; fallback when no
// temperature between 10 and 5000 K gives the sum 1.
double WilsonBubbleTemperature(const Mixture& mixture, std::span<const double> z, double P, double fallback);

// The Wilson dew temperature of feed z at P, in K; fallback likewise.
double WilsonDewTemperature(const Mixture& mixture, std::span<const double> z, double P, double fallback);

} // namespace envelope
