// Pressure of a given vapour fraction by bisection between 2 bar and a ceiling.

#include <gtest/gtest.h>

#include <cmath>

#include "equilibrium/quality_line.h"
#include "equilibrium_feed_test.h"

namespace envelope {
namespace {

class QualityLineTest : public FeedTest {
protected:
    // Vapour fraction with the search's own flash settings; fx and fy receive
    // the phases.
    double FlashV(double T, double P) { return FlashFeed(T, P, fy, fx, 0.0001, 100); }

    CompositionVector x = CompositionVector(3, 0.0);
    CompositionVector y = CompositionVector(3, 0.0);
    CompositionVector fx = CompositionVector(3, 0.0);
    CompositionVector fy = CompositionVector(3, 0.0);
};

TEST_F(QualityLineTest, FirstPressureTriedIsHalfwayBetween2BarAndTheCeiling)
{
    const double V16 = FlashV(450.0, 16.0);
    ASSERT_GT(V16, 0.1);
    ASSERT_LT(V16, 0.9);

    // Exact match, and a match within 0.001, both end at the first midpoint.
    double P = 30.0;
    QualityLinePressure(mixture, SoaveRedlichKwong, 450.0, V16, feed, x, y, P, work);
    EXPECT_EQ(P, 16.0);
    P = 30.0;
    QualityLinePressure(mixture, SoaveRedlichKwong, 450.0, V16 + 0.0009, feed, x, y, P, work);
    EXPECT_EQ(P, 16.0);

    // Outside 0.001 the search goes on past the first midpoint.
    P = 30.0;
    QualityLinePressure(mixture, SoaveRedlichKwong, 450.0, V16 + 0.002, feed, x, y, P, work);
    EXPECT_NE(P, 16.0);
    EXPECT_NEAR(FlashV(450.0, P), V16 + 0.002, 0.001);
}

TEST_F(QualityLineTest, CeilingOf2BarTriesOnlyThatPressure)
{
    const double V2 = FlashV(400.0, 2.0);
    ASSERT_GT(V2, 0.1);
    ASSERT_LT(V2, 0.9);

    double P = 2.0;
    QualityLinePressure(mixture, SoaveRedlichKwong, 400.0, V2 + 0.0005, feed, x, y, P, work);
    EXPECT_EQ(P, 2.0);

    P = 2.0;
    QualityLinePressure(mixture, SoaveRedlichKwong, 400.0, V2 + 0.01, feed, x, y, P, work);
    EXPECT_EQ(P, 0.0);
}

TEST_F(QualityLineTest, UnreachableTargetGivesZeroAfterTheBoundedNumberOfPasses)
{
    // No flash gives a negative vapour fraction, so every pass raises the
    // floor and the bracket closes on the 30 bar ceiling. The bracket is
    // 28 / 2^k bar wide after k passes, below 0.001 first at k = 15: the
    // last flash is at the 15th midpoint, 30 - 28 / 2^15 bar.
    double P = 30.0;
    QualityLinePressure(mixture, SoaveRedlichKwong, 450.0, -1.0, feed, x, y, P, work);
    EXPECT_EQ(P, 0.0);

    FlashV(450.0, 30.0 - 28.0 / 32768.0);
    EXPECT_EQ(x, fx);
    EXPECT_EQ(y, fy);
    FlashV(450.0, 30.0 - 28.0 / 65536.0);
    EXPECT_NE(x, fx);

    // A target above every vapour fraction the range offers closes the
    // bracket on the floor.
    P = 30.0;
    QualityLinePressure(mixture, SoaveRedlichKwong, 400.0, 0.9, feed, x, y, P, work);
    EXPECT_EQ(P, 0.0);
}

TEST_F(QualityLineTest, BracketThatCannotShrinkEndsTheSearch)
{
    // Near 1e17 bar neighbouring doubles are 16 bar apart, so the bracket
    // stops halving long before it is 0.001 bar wide. With a ceiling whose
    // last bit is odd, the midpoint of the floor and its neighbour rounds back
    // to the floor; the search must end there with no result instead of
    // trying the same pressure forever.
    double P = std::nextafter(1e17, 1e18);
    QualityLinePressure(mixture, SoaveRedlichKwong, 450.0, -1.0, feed, x, y, P, work);
    EXPECT_EQ(P, 0.0);
}

} // namespace
} // namespace envelope
