#include "equilibrium/wilson_start.h"

#include <cmath>
#include <cstdint>

#include "thermo/wilson.h"

namespace envelope {

namespace {

constexpr double LowestTemperature = 10.0;    // K
constexpr double HighestTemperature = 5000.0; // K
constexpr int Bisections = 100;

// sum z_i K_i (bubble) or sum z_i / K_i (dew) with Wilson's K-values. Each
// K_i rises with T (1 + omega_i > 0), so the bubble sum rises and the dew sum
// falls; an exponential that overflows or underflows still orders right.
double WilsonSum(const Mixture& m, std::span<const double> z, double T, double P, bool bubble)
{
    double sum = 0.0;
    for (std::size_t i = 0; i < z.size(); ++i) {
        const long long c = static_cast<long long>(i);
        const double K = m.Pc(c) / P * std::exp(WilsonExponent(m.Tc(c), m.Omega(c), T));
        sum += bubble ? z[i] * K : z[i] / K;
    }
    return sum;
}

double WilsonTemperature(const Mixture& m, std::span<const double> z, double P, double fallback, bool bubble)
{
    // Below the answer the bubble sum is under 1 and the dew sum over 1.
    const auto tooCold = [&](double T) {
        const double sum = WilsonSum(m, z, T, P, bubble);
        return bubble ? sum < 1 : sum > 1;
    };
    double low = LowestTemperature;
    double high = HighestTemperature;
    if (!tooCold(low) || tooCold(high))
        return fallback;
    for (int k = 0; k < Bisections; ++k) {
        const double middle = (low + high) / 2;
        (tooCold(middle) ? low : high) = middle;
    }
    const double T = (low + high) / 2;
    return std::isfinite(T) ? T : fallback;
}

} // namespace

double WilsonBubbleTemperature(const Mixture& mixture, std::span<const double> z, double P, double fallback)
{
    return WilsonTemperature(mixture, z, P, fallback, true);
}

double WilsonDewTemperature(const Mixture& mixture, std::span<const double> z, double P, double fallback)
{
    return WilsonTemperature(mixture, z, P, fallback, false);
}

} // namespace envelope
