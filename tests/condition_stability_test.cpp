// The stability test against the traced envelope, which finds the boundary
// by a method of its own: points a little inside the traced curve are
// unstable as one phase, points a little outside are stable, for the
// built-in case, the examples and a binary. Also the plain cases and the
// faults.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include <QDir>

#include "casefile/case_file.h"
#include "condition/stability.h"
#include "envelope/case.h"
#include "trace/trace.h"

#include "condition_trace_points.h"
#include "test_mixtures.h"

namespace envelope::condition {
namespace {

// Beside every traced point (condition_trace_points.h), the point inside
// must be unstable and the one outside stable. Returns how many points were
// checked.
int ExpectStabilityFollowsTheTrace(const Mixture& mixture, double minTemperature = 0.0)
{
    const trace::TracedEnvelope traced = trace::TraceEnvelope(mixture);
    EXPECT_EQ(traced.verdict.kind, trace::Verdict::Complete) << traced.verdict.reason;
    const Model model = ModelOf(mixture);
    int checked = 0;
    for (const test::BesideTrace& b : test::PointsBeside(traced, 0.005, minTemperature)) {
        const StabilityResult inside = TestStability(model, mixture, b.insideT, b.insideP);
        const StabilityResult outside = TestStability(model, mixture, b.outsideT, b.outsideP);
        EXPECT_EQ(inside.verdict, Stability::Unstable)
            << "inside: T " << b.insideT << " K, P " << b.insideP << " bar, distances "
            << inside.vapourTrial.distance << ", " << inside.liquidTrial.distance;
        EXPECT_EQ(outside.verdict, Stability::Stable)
            << "outside: T " << b.outsideT << " K, P " << b.outsideP << " bar, distances "
            << outside.vapourTrial.distance << ", " << outside.liquidTrial.distance;
        checked += 2;
    }
    return checked;
}

TEST(ConditionStability, FollowsTheTracedEnvelopeOfTheBuiltInCaseAndABinary)
{
    EXPECT_GT(ExpectStabilityFollowsTheTrace(BuiltInMixture()), 100);
    Mixture binary = test::MethaneButaneFromTable();
    binary.kij = {0, 0.02, 0.02, 0};
    EXPECT_GT(ExpectStabilityFollowsTheTrace(binary), 50);
}

TEST(ConditionStability, FollowsTheTracedEnvelopeOfTheExamples)
{
    const QDir examples(QStringLiteral(ENVELOPE_EXAMPLES_DIR));
    for (const test::ExampleCase& example : test::ConditionExamples) {
        SCOPED_TRACE(example.fileName);
        const CaseReading reading = ReadCaseFile(examples.filePath(QString::fromLatin1(example.fileName)));
        ASSERT_TRUE(reading.ok()) << reading.problem.toStdString();
        EXPECT_GT(ExpectStabilityFollowsTheTrace(reading.mixture, example.minTemperature), 40);
    }
}

TEST(ConditionStability, HotGasAndCompressedLiquidAreOnePhase)
{
    const Mixture mixture = BuiltInMixture();
    const StabilityResult gas = TestStability(ModelOf(mixture), mixture, 800.0, 1.0);
    EXPECT_EQ(gas.verdict, Stability::Stable);
    EXPECT_EQ(IsStable(mixture, 800.0, 1.0), true);
    // Cold and at high pressure the feed is liquid, on the smaller of the
    // cubic's roots where it has two.
    const StabilityResult liquid = TestStability(ModelOf(mixture), mixture, 250.0, 300.0);
    EXPECT_EQ(liquid.verdict, Stability::Stable);
    EXPECT_NE(liquid.feedPhase, PhaseLike::Vapour);
    // Inside the envelope, both trial phases find the split.
    const StabilityResult split = TestStability(ModelOf(mixture), mixture, 400.0, 10.0);
    EXPECT_EQ(split.verdict, Stability::Unstable);
    EXPECT_EQ(IsStable(mixture, 400.0, 10.0), false);
}

TEST(ConditionStability, UnusableInputIsAFaultOrNoAnswer)
{
    Mixture mixture = BuiltInMixture();
    EXPECT_THROW(TestStability(ModelOf(mixture), mixture, 0.0, 10.0), NumericalFault);
    EXPECT_THROW(TestStability(ModelOf(mixture), mixture, 300.0, NAN), NumericalFault);
    EXPECT_EQ(IsStable(mixture, -1.0, 10.0), std::nullopt);
    mixture.feed = {0.5, 0.5, 0.0};
    EXPECT_THROW(TestStability(ModelOf(mixture), mixture, 300.0, 10.0), NumericalFault);
    mixture.feed = {0.5, 0.5};
    EXPECT_EQ(IsStable(mixture, 300.0, 10.0), std::nullopt);
}

} // namespace
} // namespace envelope::condition
