// CheckCondition over random mixtures of 2 to 6 components and random
// conditions: the mixtures of ReadPhysicalMixture (fuzz_support.h), the
// temperature from 1 to 10^4 K and the pressure from 10^-3 to 10^4 bar, both
// evenly in their logarithm: the range a user may ask for.
//
// Input layout: the mixture's, then 16-bit fractions of the temperature's
// and the pressure's ranges.
//
// The check must return within a second and never throw. Two phases: a
// vapour fraction strictly between 0 and 1, positive compositions that sum
// to one and add up to the feed. One phase: no vapour fraction and no
// compositions. A failure: a reason, and no numbers either.
#include <cmath>
#include <vector>

#include "condition/check.h"
#include "fuzz_support.h"

using namespace envelope;
using namespace envelope::fuzz;

namespace {

double Fraction16(std::int16_t value)
{
    return static_cast<std::uint16_t>(value) / 65535.0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const Mixture mix = ReadPhysicalMixture(in);
    const std::size_t count = mix.feed.size();
    const double T = condition::MinConditionTemperature *
                     std::pow(condition::MaxConditionTemperature / condition::MinConditionTemperature,
                              Fraction16(in.Int16()));
    const double P = condition::MinConditionPressure *
                     std::pow(condition::MaxConditionPressure / condition::MinConditionPressure,
                              Fraction16(in.Int16()));

    condition::ConditionCheck check;
    Require(ReturnsOrFaults([&] { check = condition::CheckCondition(mix, T, P); }),
            "the check raised the numerical fault instead of reporting a failure");
    switch (check.phases) {
    case condition::PointPhases::Two: {
        const double V = check.vapourFraction;
        Require(V > 0.0 && V < 1.0, "two phases with a vapour fraction outside (0, 1)");
        Require(check.feed.size() == count && check.liquid.size() == count && check.vapour.size() == count,
                "two phases without a composition for every component");
        double sumX = 0.0, sumY = 0.0, sumZ = 0.0;
        for (std::size_t i = 0; i < count; ++i) {
            const double x = check.liquid[i], y = check.vapour[i], z = check.feed[i];
            Require(x > 0.0 && y > 0.0 && std::isfinite(x) && std::isfinite(y), "a composition not positive");
            Require(std::fabs(z - (1.0 - V) * x - V * y) <= 1e-9, "the phases do not add up to the feed");
            sumX += x;
            sumY += y;
            sumZ += z;
        }
        Require(std::fabs(sumX - 1.0) <= 1e-9 && std::fabs(sumY - 1.0) <= 1e-9 && std::fabs(sumZ - 1.0) <= 1e-12,
                "a composition does not sum to one");
        Require(check.distance < 0.0, "two phases without a negative tangent-plane distance");
        break;
    }
    case condition::PointPhases::One:
        Require(std::isnan(check.vapourFraction) && check.liquid.empty() && check.vapour.empty(),
                "one phase with a vapour fraction or phase compositions");
        break;
    case condition::PointPhases::Failed:
        Require(!check.reason.empty(), "a failure without its reason");
        Require(std::isnan(check.vapourFraction) && check.liquid.empty() && check.vapour.empty(),
                "a failure with a vapour fraction or phase compositions");
        break;
    }
    return 0;
}
