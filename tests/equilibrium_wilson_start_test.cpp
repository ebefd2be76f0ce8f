// Wilson start temperatures: the bubble and dew sums are 1 there, the bubble
// temperature lies below the dew temperature, and a feed with no answer gets
// the fallback.
#include <cmath>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "equilibrium/wilson.h"
#include "equilibrium/wilson_start.h"

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

TEST(WilsonStart, NoTemperatureGivesTheFallback)
{
    // Wilson's K-values of this feed stay below 1 up to 5000 K at 10^6 bar.
    const Mixture m = BuiltInMixture();
    EXPECT_EQ(WilsonBubbleTemperature(m, m.feed, 1e6, 163.0), 163.0);
    EXPECT_EQ(WilsonDewTemperature(m, m.feed, 1e6, 412.0), 412.0);
}

} // namespace
} // namespace envelope
