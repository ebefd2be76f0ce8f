// Isothermal flash: two-phase convergence, single-phase feeds, skipped
// components and the quiet ending on a numerical fault.
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "equilibrium_feed_test.h"
#include "equilibrium/flash.h"
#include "thermo/composition.h"
#include "thermo/eos.h"

using namespace envelope;

namespace {

class FlashTest : public FeedTest {
protected:
    std::vector<double> x = std::vector<double>(3, -1.0);
    std::vector<double> y = std::vector<double>(3, -1.0);
    double V = -1.0;
};

} // namespace

TEST_F(FlashTest, TwoPhaseResultIsInEquilibriumAndBalancesTheFeed)
{
    IsothermalFlash(mixture, SoaveRedlichKwong, feed, 400, 10, y, x, V, 1e-5, 50, work);
    ASSERT_GT(V, 0);
    ASSERT_LT(V, 1);
    EXPECT_NEAR(SumVector(x), 1, 1e-12);
    EXPECT_NEAR(SumVector(y), 1, 1e-12);

    std::vector<double> phiL(3), phiV(3);
    FugacityCoefficients(mixture, SoaveRedlichKwong, x, 10, 400, phiL, LiquidPhase, work);
    FugacityCoefficients(mixture, SoaveRedlichKwong, y, 10, 400, phiV, VapourPhase, work);
    for (std::size_t i = 0; i < 3; ++i) {
        // Equal fugacities and the material balance, to about the tolerance.
        EXPECT_NEAR(x[i] * phiL[i], y[i] * phiV[i], 1e-4 * y[i] * phiV[i]) << i;
        EXPECT_NEAR(V * y[i] + (1 - V) * x[i], feed[i], 1e-4) << i;
    }
    // The light components go to the vapour, the heavy one stays liquid.
    EXPECT_GT(y[0], x[0]);
    EXPECT_LT(y[2], x[2]);
}

TEST_F(FlashTest, SingleLiquidAndSingleVapourGiveBothPhasesEqualToTheFeed)
{
    IsothermalFlash(mixture, SoaveRedlichKwong, feed, 250, 50, y, x, V, 1e-5, 50, work); // compressed liquid
    EXPECT_EQ(V, 0);
    EXPECT_EQ(x, feed);
    EXPECT_EQ(y, feed);

    IsothermalFlash(mixture, SoaveRedlichKwong, feed, 600, 1, y, x, V, 1e-5, 50, work); // superheated vapour
    EXPECT_EQ(V, 1);
    EXPECT_EQ(x, feed);
    EXPECT_EQ(y, feed);
}

TEST_F(FlashTest, NoPassRunsWhenTheToleranceIsOneOrThePassLimitIsZero)
{
    IsothermalFlash(mixture, SoaveRedlichKwong, feed, 400, 10, y, x, V, 1.0, 50, work);
    EXPECT_EQ(V, 0.5);
    EXPECT_EQ(x, std::vector<double>(3, -1.0));
    EXPECT_EQ(y, std::vector<double>(3, -1.0));

    work = SolverWorkspace();
    IsothermalFlash(mixture, SoaveRedlichKwong, feed, 400, 10, y, x, V, 1e-5, 0, work);
    EXPECT_EQ(work.counters.flashPasses, 0);
    EXPECT_EQ(V, 0.5);
    EXPECT_EQ(x, std::vector<double>(3, -1.0));
}

TEST_F(FlashTest, PassLimitBoundsTheIterations)
{
    IsothermalFlash(mixture, SoaveRedlichKwong, feed, 400, 10, y, x, V, 0.0, 7, work); // a tolerance of 0 is never met
    EXPECT_EQ(work.counters.flashPasses, 7);
    EXPECT_GT(V, 0);
    EXPECT_LT(V, 1);
}

TEST_F(FlashTest, ComponentAbsentFromTheFeedKeepsZeroInBothPhases)
{
    const std::vector<double> binary{0.0, 0.2, 0.8};
    IsothermalFlash(mixture, SoaveRedlichKwong, binary, 380, 5, y, x, V, 1e-5, 50, work);
    ASSERT_GT(V, 0);
    ASSERT_LT(V, 1);
    EXPECT_EQ(x[0], 0.0);
    EXPECT_EQ(y[0], 0.0);
    EXPECT_NEAR(SumVector(x), 1, 1e-12);
}

TEST_F(FlashTest, FaultEndsTheFlashQuietlyWithOutputsAsTheyStood)
{
    // The trivial solution: three identical components at their critical
    // point have Wilson K-values of exactly 1, so the first Newton step is
    // 0/0 and faults before V is written; x and y are untouched.
    Mixture identical = mixture;
    identical.criticalTemperature = {400, 400, 400};
    identical.criticalPressure = {40, 40, 40};
    identical.acentricFactor = {0.1, 0.1, 0.1};
    IsothermalFlash(identical, SoaveRedlichKwong, feed, 400, 40, y, x, V, 1e-5, 50, work);
    EXPECT_EQ(V, 0.5);
    EXPECT_EQ(x, std::vector<double>(3, -1.0));
    EXPECT_EQ(y, std::vector<double>(3, -1.0));

    // A fault beneath the flash (a negative temperature makes the square
    // root of the reduced temperature invalid) does not escape either.
    EXPECT_NO_THROW(IsothermalFlash(mixture, SoaveRedlichKwong, feed, -5, 10, y, x, V, 1e-5, 50, work));

    // A liquid vector shorter than the component count faults at its first
    // missing entry: V already holds the first Newton step, the entries
    // before the missing one are written.
    std::vector<double> shortX(2, -1.0);
    EXPECT_NO_THROW(IsothermalFlash(mixture, SoaveRedlichKwong, feed, 400, 10, y, shortX, V, 1e-5, 50, work));
    EXPECT_NE(V, 0.5);
    EXPECT_GT(V, 0);
    EXPECT_LT(V, 1);
    EXPECT_GT(shortX[0], 0);
    EXPECT_GT(shortX[1], 0);
}
