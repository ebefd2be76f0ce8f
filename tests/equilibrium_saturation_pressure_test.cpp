// Bubble and dew pressure of the built-in feed by successive substitution with
// secant steps, and the faults that end searches which cannot succeed.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>

#include "equilibrium/saturation_pressure.h"
#include "equilibrium_feed_test.h"
#include "thermo/wilson.h"
#include "thermo/composition.h"
#include "thermo/eos.h"
#include "thermo/numerical_fault.h"

namespace envelope {
namespace {

class SaturationPressureTest : public FeedTest {
protected:
    double FlashV(double T, double P)
    {
        CompositionVector x(3, 0.0);
        CompositionVector y(3, 0.0);
        return FlashFeed(T, P, y, x, 0.00001, 50);
    }

    CompositionVector out = CompositionVector(3, 0.0);
};

TEST_F(SaturationPressureTest, PointsAreOnTheEdgeOfTheTwoPhaseRegion)
{
    // Bubble point: the feed boils just below the pressure found and is all
    // liquid just above it.
    double Pb = 10.0;
    BubblePressure(mixture, SoaveRedlichKwong, feed, 300.0, out, Pb, 0.00001, work);
    EXPECT_NEAR(Pb, 25.0, 1.0);
    EXPECT_NEAR(SumVector(out), 1.0, 1e-12);
    EXPECT_GT(out[0], 5 * feed[0]); // the bubble is rich in the light component
    EXPECT_GT(FlashV(300.0, 0.98 * Pb), 0.0);
    EXPECT_EQ(FlashV(300.0, 1.02 * Pb), 0.0);

    // Dew point: the feed condenses just above the pressure found and is all
    // vapour just below it.
    double Pd = 0.0;
    DewPressure(mixture, SoaveRedlichKwong, feed, 450.0, out, Pd, 0.00001, work);
    EXPECT_NEAR(Pd, 4.5, 1.0);
    EXPECT_NEAR(SumVector(out), 1.0, 1e-12);
    EXPECT_GT(out[2], feed[2]); // the drop is rich in the heavy component
    EXPECT_LT(FlashV(450.0, 1.02 * Pd), 1.0);
    EXPECT_EQ(FlashV(450.0, 0.98 * Pd), 1.0);
}

TEST_F(SaturationPressureTest, FirstTestPassingReturnsAtOnceWithTheRaisedPressure)
{
    // A tolerance no sum can miss: the search returns after the fugacity
    // update at the start pressure, having already moved P by 5 %.
    double Pb = 10.0;
    BubblePressure(mixture, SoaveRedlichKwong, feed, 300.0, out, Pb, 10.0, work);
    EXPECT_EQ(work.counters.fugacityCalls, 2);
    EXPECT_EQ(Pb, 10.0 * 1.05);
    EXPECT_NEAR(SumVector(out), 1.0, 1e-12);

    // The dew search starts from the Wilson dew pressure.
    double wilsonSum = 0.0;
    for (std::int16_t i = 0; i < 3; ++i)
        wilsonSum += feed[i] / (WilsonFactor(mixture, i, 450.0) * mixture.criticalPressure[i]);
    double Pd = 123.0;
    DewPressure(mixture, SoaveRedlichKwong, feed, 450.0, out, Pd, 10.0, work);
    EXPECT_DOUBLE_EQ(Pd, 1.05 / wilsonSum);
}

TEST_F(SaturationPressureTest, DewPressureIgnoresTheIncomingPressure)
{
    CompositionVector other(3, 0.0);
    double fromLow = 2.0;
    double fromHigh = 1000.0;
    DewPressure(mixture, SoaveRedlichKwong, feed, 480.0, out, fromLow, 0.00001, work);
    DewPressure(mixture, SoaveRedlichKwong, feed, 480.0, other, fromHigh, 0.00001, work);
    EXPECT_EQ(fromLow, fromHigh);
    EXPECT_EQ(out, other);
}

TEST_F(SaturationPressureTest, GivenPhaseIsUsedAsItStands)
{
    // The fugacity model sees the fractions as given, so a liquid that sums
    // to 1.01 has another bubble pressure than the normalised feed.
    const CompositionVector scaled{0.101, 0.1515, 0.7575};
    CompositionVector scaledCopy = scaled;
    double Pscaled = 10.0;
    BubblePressure(mixture, SoaveRedlichKwong, scaledCopy, 300.0, out, Pscaled, 0.00001, work);
    double Pfeed = 10.0;
    BubblePressure(mixture, SoaveRedlichKwong, feed, 300.0, out, Pfeed, 0.00001, work);
    EXPECT_EQ(scaledCopy, scaled);
    EXPECT_GT(std::fabs(Pscaled - Pfeed), 0.1);
}

TEST_F(SaturationPressureTest, TrivialSolutionPastTheCriticalPointIsAFault)
{
    // The last genuine bubble point below the critical point (about 553 K),
    // where the incipient vapour still differs clearly from the feed ...
    double P = 49.4;
    ASSERT_NO_THROW(BubblePressure(mixture, SoaveRedlichKwong, feed, 546.0, out, P, 0.00001, work));
    EXPECT_NEAR(P, 47.9, 1.0);
    EXPECT_GT(out[0], 1.3 * feed[0]);

    // ... and the next step of the march, where the search slides onto the
    // trivial solution (vapour = liquid) at a pressure far off the envelope.
    EXPECT_THROW(BubblePressure(mixture, SoaveRedlichKwong, feed, 554.0, out, P, 0.00001, work), NumericalFault);
    P = 47.8;
    EXPECT_THROW(BubblePressure(mixture, SoaveRedlichKwong, feed, 560.0, out, P, 0.00001, work), NumericalFault);
    EXPECT_NE(P, 47.8); // the caller's variable was the running iterate

    P = 0.0;
    EXPECT_THROW(DewPressure(mixture, SoaveRedlichKwong, feed, 553.0, out, P, 0.00001, work), NumericalFault);
    EXPECT_THROW(DewPressure(mixture, SoaveRedlichKwong, feed, 560.0, out, P, 0.00001, work), NumericalFault);
}

TEST_F(SaturationPressureTest, SearchThatNeverConvergesEndsWithTheFault)
{
    // At 300 K the secant on the dew condition wanders without settling and
    // without a fault of its own; the search must give up within its pass
    // limit (each pass makes two fugacity calls).
    double P = 0.0;
    EXPECT_THROW(DewPressure(mixture, SoaveRedlichKwong, feed, 300.0, out, P, 0.00001, work), NumericalFault);
    EXPECT_LE(work.counters.fugacityCalls, 2 + 2 * 1000);
}

} // namespace
} // namespace envelope
