// Wilson start temperatures: the bubble and dew sums are 1 there, the bubble
// temperature lies below the dew temperature, the saturation temperatures of
// the equation of state lie within a few bracket steps of them, and a feed
// with no answer gets the fallback.
#include <cmath>
#include <string>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "equilibrium/flash.h"
#include "thermo/wilson.h"
#include "equilibrium/wilson_start.h"
#include "thermo/composition.h"

#include "test_mixtures.h"

namespace envelope {
namespace {

double Sum(const Mixture& m, double T, double P, bool bubble)
{
    double sum = 0.0;
    for (std::int16_t i = 0; i < m.Count(); ++i)
        sum += bubble ? m.Z(i) * WilsonK(m, i, T, P) : m.Z(i) / WilsonK(m, i, T, P);
    return sum;
}

TEST(WilsonStart, SumsAreOneAtTheBubbleAndDewTemperatures)
{
    const Mixture m = BuiltInMixture();
    for (double P : {2.0, 20.0}) {
        const double bubble = WilsonBubbleTemperature(m, m.feed, P, -1.0);
        const double dew = WilsonDewTemperature(m, m.feed, P, -1.0);
        EXPECT_NEAR(Sum(m, bubble, P, true), 1.0, 1e-6) << P;
        EXPECT_NEAR(Sum(m, dew, P, false), 1.0, 1e-6) << P;
        EXPECT_LT(bubble, dew);
    }
}

double FlashV(const Mixture& mixture, double T, double P)
{
    CompositionVector x(mixture.feed.size(), 0.0), y(mixture.feed.size(), 0.0);
    double V = -1.0;
    SolverWorkspace work;
    IsothermalFlash(mixture, SoaveRedlichKwong, mixture.feed, T, P, y, x, V, 1e-5, 50, work);
    return V;
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

TEST(WilsonStart, LiesWithinTwentyKelvinOfTheSaturationTemperatures)
{
    constexpr double P = 2.0;
    for (const Mixture& mixture : {BuiltInMixture(), test::BuiltInWithoutMethane(), LeanGas()}) {
        SCOPED_TRACE(mixture.componentNames.front() + " .. " + mixture.componentNames.back());
        const double Tb = WilsonBubbleTemperature(mixture, mixture.feed, P, -1.0);
        const double Td = WilsonDewTemperature(mixture, mixture.feed, P, -1.0);
        ASSERT_LT(Tb, Td);

        // The feed is all liquid 20 K below the bubble estimate and boils 20 K
        // above it; it is all vapour 20 K above the dew estimate and not yet
        // 20 K below it.
        EXPECT_EQ(FlashV(mixture, Tb - 20.0, P), 0.0);
        EXPECT_GT(FlashV(mixture, Tb + 20.0, P), 0.0);
        EXPECT_EQ(FlashV(mixture, Td + 20.0, P), 1.0);
        EXPECT_LT(FlashV(mixture, Td - 20.0, P), 1.0);
    }
}

TEST(WilsonStart, NoTemperatureGivesTheFallback)
{
    // Wilson's K-values of this feed stay below 1 up to 5000 K at 10^6 bar.
    const Mixture m = BuiltInMixture();
    EXPECT_EQ(WilsonBubbleTemperature(m, m.feed, 1e6, 163.0), 163.0);
    EXPECT_EQ(WilsonDewTemperature(m, m.feed, 1e6, 412.0), 412.0);
}

} // namespace
} // namespace envelope
