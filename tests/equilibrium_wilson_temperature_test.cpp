// Wilson's bubble and dew temperature estimates: they solve their sums, and
// the saturation temperatures of the equation of state lie within a few bracket
// steps of them, so the start searches begin near their answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "envelope/case.h"
#include "equilibrium/flash.h"
#include "equilibrium/wilson.h"
#include "equilibrium/wilson_temperature.h"
#include "thermo/composition.h"

namespace envelope {
namespace {

double FlashV(const Mixture& mixture, double T, double P)
{
    CompositionVector x(mixture.feed.size(), 0.0), y(mixture.feed.size(), 0.0);
    double V = -1.0;
    SolverWorkspace work;
    IsothermalFlash(mixture, mixture.feed, T, P, y, x, V, 1e-5, 50, work);
    return V;
}

Mixture Binary()
{
    Mixture m = BuiltInMixture();
    for (auto* list : {&m.criticalTemperature, &m.criticalPressure, &m.acentricFactor})
        list->erase(list->begin());
    m.componentNames.erase(m.componentNames.begin());
    m.feed = {0.3, 0.7};
    return m;
}

// A lean natural gas, methane to n-pentane.
Mixture LeanGas()
{
    Mixture m;
    m.componentNames = {"methane", "ethane", "propane", "n-butane", "n-pentane"};
    m.criticalTemperature = {190.56, 305.32, 369.83, 425.12, 469.7};
    m.criticalPressure = {45.99, 48.72, 42.48, 37.96, 33.7};
    m.acentricFactor = {0.011, 0.099, 0.152, 0.2, 0.252};
    m.feed = {0.85, 0.07, 0.04, 0.025, 0.015};
    return m;
}

TEST(WilsonTemperature, SolvesItsSumsAndLiesWithinTwentyKelvinOfTheSaturationTemperature)
{
    constexpr double P = 2.0;
    for (const Mixture& mixture : {BuiltInMixture(), Binary(), LeanGas()}) {
        SCOPED_TRACE(mixture.componentNames.front() + " .. " + mixture.componentNames.back());
        const double Tb = WilsonBubbleTemperature(mixture, mixture.feed, P);
        const double Td = WilsonDewTemperature(mixture, mixture.feed, P);
        ASSERT_LT(Tb, Td);
        double bubbleSum = 0.0, dewSum = 0.0;
        for (std::int16_t i = 0; i < mixture.Count(); ++i) {
            bubbleSum += mixture.feed[static_cast<std::size_t>(i)] * WilsonK(mixture, i, Tb, P);
            dewSum += mixture.feed[static_cast<std::size_t>(i)] / WilsonK(mixture, i, Td, P);
        }
        EXPECT_NEAR(bubbleSum, 1.0, 1e-9);
        EXPECT_NEAR(dewSum, 1.0, 1e-9);

        // The feed is all liquid 20 K below the bubble estimate and boils 20 K
        // above it; it is all vapour 20 K above the dew estimate and not yet
        // 20 K below it.
        EXPECT_EQ(FlashV(mixture, Tb - 20.0, P), 0.0);
        EXPECT_GT(FlashV(mixture, Tb + 20.0, P), 0.0);
        EXPECT_EQ(FlashV(mixture, Td + 20.0, P), 1.0);
        EXPECT_LT(FlashV(mixture, Td - 20.0, P), 1.0);
    }
}

TEST(WilsonTemperature, NoRootGivesTheNearerEndOfTheRangeInsteadOfAFault)
{
    // At a pressure so high, no temperature up to 10 000 K brings either sum
    // to 1; the hot end is the nearer.
    const Mixture mixture = BuiltInMixture();
    EXPECT_EQ(WilsonBubbleTemperature(mixture, mixture.feed, 1e12), 10000.0);
    EXPECT_EQ(WilsonDewTemperature(mixture, mixture.feed, 1e12), 10000.0);
}

} // namespace
} // namespace envelope
