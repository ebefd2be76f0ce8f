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

#include "test_mixtures.h"

namespace envelope::condition {
namespace {

// Around every traced point but the ends, two points moved by Offset along
// the curve's normal in (ln T, ln P): the one inside must be unstable, the
// one outside stable. The trace runs up the dew curve, through the critical
// point and down the bubble curve, so the inside lies to the left of its
// direction. The direction is the chord between the point's neighbours;
// where it turns by more than MaxTurn radians from one chord to the next,
// the point is left out. Points below minTemperature are left out too.
// Returns how many points were checked.
int ExpectStabilityFollowsTheTrace(const Mixture& mixture, double minTemperature = 0.0)
{
    constexpr double Offset = 0.005, MaxTurn = 0.3;
    const trace::TracedEnvelope traced = trace::TraceEnvelope(mixture);
    EXPECT_EQ(traced.status, trace::TraceStatus::Complete) << traced.reason;
    const Model model = ModelOf(mixture);
    int checked = 0;
    for (std::size_t i = 1; i + 1 < traced.points.size(); ++i) {
        const trace::TracePoint &before = traced.points[i - 1], &point = traced.points[i],
                                &after = traced.points[i + 1];
        if (point.temperature < minTemperature)
            continue;
        const double t0 = std::log(point.temperature), p0 = std::log(point.pressure);
        const double ax = t0 - std::log(before.temperature), ay = p0 - std::log(before.pressure);
        const double bx = std::log(after.temperature) - t0, by = std::log(after.pressure) - p0;
        if (std::fabs(std::atan2(ax * by - ay * bx, ax * bx + ay * by)) > MaxTurn)
            continue;
        const double dx = ax + bx, dy = ay + by, length = std::hypot(dx, dy);
        for (const double side : {1.0, -1.0}) {
            const double T = std::exp(t0 - side * Offset * dy / length);
            const double P = std::exp(p0 + side * Offset * dx / length);
            const StabilityResult result = TestStability(model, mixture, T, P);
            EXPECT_EQ(result.verdict, side > 0 ? Stability::Unstable : Stability::Stable)
                << (side > 0 ? "inside" : "outside") << ": T " << T << " K, P " << P << " bar, traced point ("
                << point.temperature << ", " << point.pressure << "); distances " << result.vapourTrial.distance
                << ", " << result.liquidTrial.distance;
            ++checked;
        }
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
    // The CO2-rich liquid splits into two liquids (by the equation of
    // state; CO2 itself freezes there) below about 110 K, beside a bubble
    // curve the tracer follows down to 69 K: that mixture is compared above
    // the triple point of CO2, 216.58 K.
    const struct {
        const char* name;
        double minTemperature;
    } cases[] = {{"natural-gas.json", 0.0}, {"gas-condensate.json", 0.0}, {"co2-rich.json", 216.58}};
    for (const auto& example : cases) {
        SCOPED_TRACE(example.name);
        const CaseReading reading = ReadCaseFile(examples.filePath(QString::fromLatin1(example.name)));
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
