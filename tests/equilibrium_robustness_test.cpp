// Robustness of the flash against extreme iteration controls: the work of one
// call stays bounded whatever pass limit the caller gives.
#include <cstdint>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "equilibrium/flash.h"

using namespace envelope;

namespace {

struct FlashResult {
    double V = -1.0;
    std::vector<double> x = std::vector<double>(3, -1.0);
    std::vector<double> y = std::vector<double>(3, -1.0);
    long long passes = 0;
};

FlashResult Flash(double T, double P, double tolerance, std::int16_t maxPasses)
{
    const Mixture mixture = BuiltInMixture();
    FlashResult result;
    SolverWorkspace work;
    IsothermalFlash(mixture, SoaveRedlichKwong, mixture.feed, T, P, result.y, result.x, result.V, tolerance,
                    maxPasses, work);
    result.passes = work.counters.flashPasses;
    return result;
}

} // namespace

// A tolerance of 0 is never met, so the pass limit alone ends these flashes.
// With the largest 16-bit limit the flash would run 32767 passes of two cubic
// solves each: at 698 K and 1.86 bar, where nearly every cubic needs the
// root finder's restart, that is 65 million root-finder passes, about a second
// even in an optimised build. It stops at 1000 passes, ten times the most any
// caller asks for, and returns exactly what a limit of 1000 gives (at 500 K
// and 1 bar: one phase).
TEST(FlashRobustness, HugePassLimitStopsAtOneThousandPasses)
{
    for (const auto& [T, P] : {std::pair{698.0, 1.862645149230957}, std::pair{500.0, 1.0}}) {
        const FlashResult capped = Flash(T, P, 0.0, INT16_MAX);
        const FlashResult bound = Flash(T, P, 0.0, 1000);
        EXPECT_EQ(capped.passes, 1000) << T << " K";
        EXPECT_EQ(bound.passes, 1000) << T << " K";
        EXPECT_EQ(capped.V, bound.V) << T << " K";
        EXPECT_EQ(capped.x, bound.x) << T << " K";
        EXPECT_EQ(capped.y, bound.y) << T << " K";
    }
}

// Limits below the bound are honoured exactly.
TEST(FlashRobustness, SmallerPassLimitsAreHonoured)
{
    EXPECT_EQ(Flash(300, 10, 0.0, 7).passes, 7);
    EXPECT_EQ(Flash(300, 10, 0.0, 999).passes, 999);
}
