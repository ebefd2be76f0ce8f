// Bubble and dew temperature of the built-in feed by bracketing and bisection.

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/saturation_temperature.h"
#include "equilibrium_feed_test.h"
#include "thermo/numerical_fault.h"

namespace envelope {
namespace {

class SaturationTemperatureTest : public FeedTest {
protected:
    // Vapour fraction of the feed at (T, P) with the searches' flash settings;
    // y and x receive the phases.
    double FlashV(double T, double P) { return FlashFeed(T, P, y, x, 0.00001, 50); }

    // Runs the bubble search at 2 bar from the guess: the flash at the result
    // lands in (0, 0.001], and the caller's vector holds that flash's vapour.
    void ExpectBubblePointFrom(double guess)
    {
        SCOPED_TRACE(guess);
        CompositionVector incipientVapour(3, 0.0);
        double T = guess;
        BubbleTemperature(mixture, SoaveRedlichKwong, feed, 2.0, incipientVapour, T, 0.001, work);
        const double V = FlashV(T, 2.0);
        EXPECT_GT(V, 0.0);
        EXPECT_LE(V, 0.001);
        EXPECT_NEAR(T, 162.2, 0.5);
        EXPECT_EQ(incipientVapour, y);
    }

    // The same for the dew search: [0.999, 1), and the flash's liquid.
    void ExpectDewPointFrom(double guess)
    {
        SCOPED_TRACE(guess);
        CompositionVector incipientLiquid(3, 0.0);
        double T = guess;
        DewTemperature(mixture, SoaveRedlichKwong, feed, 2.0, incipientLiquid, T, 0.001, work);
        const double V = FlashV(T, 2.0);
        EXPECT_GE(V, 1 - 0.001);
        EXPECT_LT(V, 1.0);
        EXPECT_NEAR(T, 412.7, 0.5);
        EXPECT_EQ(incipientLiquid, x);
    }

    CompositionVector x = CompositionVector(3, 0.0);
    CompositionVector y = CompositionVector(3, 0.0);
};

TEST_F(SaturationTemperatureTest, StartPointsAt2BarLandInTheBand)
{
    ExpectBubblePointFrom(163.0);
    ExpectDewPointFrom(412.0);
}

TEST_F(SaturationTemperatureTest, StartGuessInsideTheTwoPhaseRegionWalksOutToBothSides)
{
    // 300 K at 2 bar is two-phase: both searches must walk down to all
    // liquid and up to all vapour before bisecting.
    const double V = FlashV(300.0, 2.0);
    ASSERT_GT(V, 0.0);
    ASSERT_LT(V, 1.0);
    ExpectBubblePointFrom(300.0);
    ExpectDewPointFrom(300.0);
}

TEST_F(SaturationTemperatureTest, ZeroBandRunsToTheBisectionLimit)
{
    CompositionVector out(3, 0.0);

    // Nothing is accepted; the bubble search keeps its last midpoint, which
    // after 1001 halvings sits on the edge where the flash turns two-phase.
    double Tb = 163.0;
    BubbleTemperature(mixture, SoaveRedlichKwong, feed, 2.0, out, Tb, 0.0, work);
    EXPECT_NEAR(Tb, 162.2, 0.5);
    const double below = std::nextafter(Tb, 0.0);
    const double above = std::nextafter(Tb, 1000.0);
    if (FlashV(Tb, 2.0) == 0.0)
        EXPECT_GT(FlashV(above, 2.0), 0.0);
    else
        EXPECT_EQ(FlashV(below, 2.0), 0.0);

    double Td = 412.0;
    DewTemperature(mixture, SoaveRedlichKwong, feed, 2.0, out, Td, 0.0, work);
    EXPECT_EQ(Td, 0.0);
}

TEST_F(SaturationTemperatureTest, FeedThatNeverBracketsEndsWithTheFault)
{
    CompositionVector out(3, 0.0);

    // At 0 bar every flash faults before it writes V, so the walk down never
    // sees an all-liquid feed.
    double T = 163.0;
    EXPECT_THROW(BubbleTemperature(mixture, SoaveRedlichKwong, feed, 0.0, out, T, 0.001, work), NumericalFault);
    EXPECT_EQ(T, 163.0);
    T = 412.0;
    EXPECT_THROW(DewTemperature(mixture, SoaveRedlichKwong, feed, 0.0, out, T, 0.001, work), NumericalFault);

    // At 1e8 bar the feed is liquid at every temperature, so the walk up
    // never sees an all-vapour feed.
    ASSERT_EQ(FlashV(150.0, 1e8), 0.0);
    T = 163.0;
    EXPECT_THROW(BubbleTemperature(mixture, SoaveRedlichKwong, feed, 1e8, out, T, 0.001, work), NumericalFault);
    T = 412.0;
    EXPECT_THROW(DewTemperature(mixture, SoaveRedlichKwong, feed, 1e8, out, T, 0.001, work), NumericalFault);
}

} // namespace
} // namespace envelope
