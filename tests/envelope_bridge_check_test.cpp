// How far the spline bridge strays from the traced envelope, measured on
// made-up curves and on the run of a real mixture.
#include <gtest/gtest.h>

#include <cmath>

#include "envelope/bridge_check.h"
#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "envelope/traced_overlay.h"

#include "test_mixtures.h"

using namespace envelope;

namespace {

// A closed square curve from (100 K, 0 bar) to (200 K, 100 bar).
trace::TracedEnvelope Square()
{
    trace::TracedEnvelope envelope;
    envelope.verdict = {trace::Verdict::Complete, {}};
    envelope.points = {{100, 0}, {200, 0}, {200, 100}, {100, 100}};
    return envelope;
}

std::vector<trace::TracePoint> Bridge(const MemoryRun& run)
{
    std::vector<trace::TracePoint> points;
    for (const ChartPoint& point : run.chart.series(2).points)
        points.push_back({point.x, point.y});
    return points;
}

} // namespace

TEST(BridgeCheck, DistanceIsMeasuredInUnitsOfTheCurvesSpans)
{
    // 3 K beside the right edge of a 100 K span, and 1 bar above its middle.
    const BridgeDeviation deviation = MeasureBridge({{203, 50}, {150, 99}}, Square());
    ASSERT_TRUE(deviation.measured);
    EXPECT_NEAR(deviation.largest, 0.03, 1e-12);
    EXPECT_TRUE(deviation.IsEstimate());
    EXPECT_EQ(deviation.farthest.temperature, 203);
    EXPECT_NEAR(deviation.nearest.temperature, 200, 1e-12);
    EXPECT_NEAR(deviation.nearest.pressure, 50, 1e-12);

    EXPECT_FALSE(MeasureBridge({{201, 50}}, Square()).IsEstimate());
    // A point that is no number is as far off as can be.
    EXPECT_TRUE(MeasureBridge({{std::nan(""), 50}}, Square()).IsEstimate());
}

TEST(BridgeCheck, NothingIsMeasuredAgainstAnIncompleteTraceOrWithoutPoints)
{
    trace::TracedEnvelope stopped = Square();
    stopped.verdict = {trace::Verdict::Stopped, "no convergence"};
    EXPECT_FALSE(MeasureBridge({{400, 400}}, stopped).measured);
    EXPECT_FALSE(MeasureBridge({}, Square()).measured);
    EXPECT_FALSE(MeasureBridge({{400, 400}}, trace::TracedEnvelope{}).IsEstimate());
}

TEST(BridgeCheck, RealRuns)
{
    // The built-in case's bridge follows its traced envelope closely.
    const MemoryRun builtIn = RunInMemory(BuiltInMixture());
    const BridgeDeviation close = MeasureBridge(Bridge(builtIn), TracedEnvelopeOf(BuiltInMixture()));
    ASSERT_TRUE(close.measured);
    EXPECT_LT(close.largest, BridgeTolerance);

    // The binary's bridge cuts well inside its envelope.
    const Mixture binary = test::BuiltInWithoutMethane();
    const BridgeDeviation other = MeasureBridge(Bridge(RunInMemory(binary)), TracedEnvelopeOf(binary));
    EXPECT_TRUE(other.IsEstimate());
    EXPECT_GT(other.largest, 5 * BridgeTolerance);
}
