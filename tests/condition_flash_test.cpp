// The two-phase flash and the whole check: the Rachford-Rice solution, the
// split inside the traced envelopes (material balance, equal fugacities by
// the model itself), the vapour fraction running to 0 at the bubble curve
// and to 1 at the dew curve, one phase outside, and failures reported as
// such.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <QDir>

#include "casefile/case_file.h"
#include "condition/check.h"
#include "condition/rachford_rice.h"
#include "envelope/case.h"
#include "trace/trace.h"

#include "condition_trace_points.h"
#include "test_mixtures.h"

namespace envelope::condition {
namespace {

double RachfordRiceResidual(const std::vector<double>& z, const std::vector<double>& K, double beta)
{
    double f = 0.0;
    for (std::size_t i = 0; i < z.size(); ++i)
        f += z[i] * (K[i] - 1.0) / (1.0 + beta * (K[i] - 1.0));
    return f;
}

TEST(ConditionRachfordRice, SolvesBetweenItsPolesAndRefusesOneSidedKValues)
{
    // Equal parts with K = 2 and 1/2 split in half.
    EXPECT_NEAR(*SolveRachfordRice(std::vector{0.5, 0.5}, std::vector{2.0, 0.5}), 0.5, 1e-15);
    // The root may lie beyond 1 (the K-values make a vapour), though inside
    // the poles -20 and 2.
    const std::vector<double> z{0.99, 0.01}, K{1.05, 0.5};
    const double beyond = *SolveRachfordRice(z, K);
    EXPECT_GT(beyond, 1.0);
    EXPECT_LT(beyond, 2.0);
    EXPECT_NEAR(RachfordRiceResidual(z, K, beyond), 0.0, 1e-15);
    // K-values twelve decades apart, with a trace component close to 1.
    const std::vector<double> z3{0.3, 0.4, 0.3}, K3{1e12, 1.0 + 1e-9, 1e-12};
    const double beta = *SolveRachfordRice(z3, K3);
    std::vector<double> x(3), y(3);
    SplitCompositions(z3, K3, beta, x, y);
    EXPECT_NEAR(x[0] + x[1] + x[2], 1.0, 1e-12);
    EXPECT_NEAR(y[0] + y[1] + y[2], 1.0, 1e-12);
    // No root when every K lies on one side of 1, or a K is not a number.
    EXPECT_FALSE(SolveRachfordRice(std::vector{0.5, 0.5}, std::vector{2.0, 1.5}));
    EXPECT_FALSE(SolveRachfordRice(std::vector{0.5, 0.5}, std::vector{0.9, 0.5}));
    EXPECT_FALSE(SolveRachfordRice(std::vector{0.5, 0.5}, std::vector<double>{2.0, NAN}));
}

// ln f_i / P = ln x_i + ln phi_i of a phase, from the model on the root of
// lower Gibbs energy, chosen here on its own.
std::vector<double> LnFugacity(const Model& model, double T, double P, const std::vector<double>& x)
{
    trace::PhaseState liquid, vapour;
    model.Evaluate(T, P, x, trace::RootKind::Liquid, false, liquid);
    model.Evaluate(T, P, x, trace::RootKind::Vapour, false, vapour);
    double gLiquid = 0.0, gVapour = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        gLiquid += x[i] * liquid.lnPhi[i];
        gVapour += x[i] * vapour.lnPhi[i];
    }
    const std::vector<double>& lnPhi = gLiquid < gVapour ? liquid.lnPhi : vapour.lnPhi;
    std::vector<double> lnF(x.size());
    for (std::size_t i = 0; i < x.size(); ++i)
        lnF[i] = std::log(x[i]) + lnPhi[i];
    return lnF;
}

// Beside every traced point, the point inside splits: the phases add up to
// the feed, their fugacities are equal and the vapour is the lighter phase;
// the point outside is one phase. Returns the splits checked.
int ExpectSplitsInsideTheTrace(const Mixture& mixture, double minTemperature = 0.0)
{
    const trace::TracedEnvelope traced = trace::TraceEnvelope(mixture);
    const Model model = ModelOf(mixture);
    int checked = 0;
    for (const test::BesideTrace& b : test::PointsBeside(traced, 0.005, minTemperature)) {
        EXPECT_EQ(CheckCondition(model, mixture, b.outsideT, b.outsideP).phases, PointPhases::One)
            << "T " << b.outsideT << " K, P " << b.outsideP << " bar";
        const ConditionCheck c = CheckCondition(model, mixture, b.insideT, b.insideP);
        EXPECT_EQ(c.phases, PointPhases::Two) << "T " << b.insideT << " K, P " << b.insideP << " bar: " << c.reason;
        if (c.phases != PointPhases::Two)
            continue;
        EXPECT_GT(c.vapourFraction, 0.0);
        EXPECT_LT(c.vapourFraction, 1.0);
        EXPECT_LT(c.distance, 0.0);
        const std::vector<double> lnFL = LnFugacity(model, b.insideT, b.insideP, c.liquid);
        const std::vector<double> lnFV = LnFugacity(model, b.insideT, b.insideP, c.vapour);
        double sumX = 0.0, sumY = 0.0;
        for (std::size_t i = 0; i < c.feed.size(); ++i) {
            EXPECT_NEAR(c.feed[i], (1.0 - c.vapourFraction) * c.liquid[i] + c.vapourFraction * c.vapour[i], 1e-12);
            EXPECT_NEAR(lnFL[i], lnFV[i], 1e-9) << "component " << i;
            sumX += c.liquid[i];
            sumY += c.vapour[i];
        }
        EXPECT_NEAR(sumX, 1.0, 1e-12);
        EXPECT_NEAR(sumY, 1.0, 1e-12);
        ++checked;
    }
    return checked;
}

TEST(ConditionFlash, SplitsInsideTheTracedEnvelopes)
{
    EXPECT_GT(ExpectSplitsInsideTheTrace(BuiltInMixture()), 50);
    Mixture binary = test::MethaneButaneFromTable();
    binary.kij = {0, 0.02, 0.02, 0};
    EXPECT_GT(ExpectSplitsInsideTheTrace(binary), 30);
    const QDir examples(QStringLiteral(ENVELOPE_EXAMPLES_DIR));
    for (const test::ExampleCase& example : test::ConditionExamples) {
        SCOPED_TRACE(example.fileName);
        const CaseReading reading = ReadCaseFile(examples.filePath(QString::fromLatin1(example.fileName)));
        ASSERT_TRUE(reading.ok()) << reading.problem.toStdString();
        EXPECT_GT(ExpectSplitsInsideTheTrace(reading.mixture, example.minTemperature), 20);
    }
}

// Approaching a traced point from inside, the vapour fraction runs to 0 at a
// bubble point and to 1 at a dew point, in proportion to the distance.
TEST(ConditionFlash, VapourFractionRunsToZeroAtTheBubbleCurveAndToOneAtTheDewCurve)
{
    for (const Mixture& mixture : {BuiltInMixture(), test::MethaneButaneFromTable()}) {
        const trace::TracedEnvelope traced = trace::TraceEnvelope(mixture);
        const Model model = ModelOf(mixture);
        const std::vector<test::BesideTrace> far = test::PointsBeside(traced, 1e-2),
                                             mid = test::PointsBeside(traced, 1e-3),
                                             near = test::PointsBeside(traced, 1e-4);
        int checked = 0;
        for (std::size_t i = 0; i < far.size(); ++i) {
            // Away from the critical point, where the curves meet.
            if (std::fabs(std::log(far[i].point.temperature / traced.critical.temperature)) < 0.05)
                continue;
            const bool dew = far[i].point.phase == trace::TracePhase::Dew;
            double share[3];
            int k = 0;
            for (const test::BesideTrace* b : {&far[i], &mid[i], &near[i]}) {
                const ConditionCheck c = CheckCondition(model, mixture, b->insideT, b->insideP);
                ASSERT_EQ(c.phases, PointPhases::Two) << "T " << b->insideT << " K, P " << b->insideP << " bar";
                // The share of the phase that appears at the curve.
                share[k++] = dew ? 1.0 - c.vapourFraction : c.vapourFraction;
            }
            EXPECT_LT(share[1], 0.2 * share[0]) << "T " << far[i].point.temperature << " K";
            EXPECT_LT(share[2], 0.2 * share[1]) << "T " << far[i].point.temperature << " K";
            EXPECT_GT(share[2], 0.0);
            ++checked;
        }
        EXPECT_GT(checked, 20);
    }
}

TEST(ConditionCheck, OnePhaseOutsideAndFailuresReportedAsSuch)
{
    const Mixture mixture = BuiltInMixture();
    const ConditionCheck gas = CheckCondition(mixture, 700.0, 5.0);
    EXPECT_EQ(gas.phases, PointPhases::One);
    EXPECT_NE(gas.onePhase, PhaseLike::Liquid);
    EXPECT_TRUE(std::isnan(gas.vapourFraction));
    EXPECT_TRUE(gas.liquid.empty() && gas.vapour.empty());
    const ConditionCheck liquid = CheckCondition(mixture, 250.0, 300.0);
    EXPECT_EQ(liquid.phases, PointPhases::One);
    EXPECT_NE(liquid.onePhase, PhaseLike::Vapour);
    // What cannot be checked is a failure with its reason, never a phase
    // count: a temperature of zero, a feed with a zero, a component without
    // a critical pressure.
    for (const ConditionCheck& failed :
         {CheckCondition(mixture, 0.0, 10.0), CheckCondition([&] {
              Mixture m = mixture;
              m.feed = {0.5, 0.5, 0.0};
              return m;
          }(), 400.0, 10.0),
          CheckCondition([&] {
              Mixture m = mixture;
              m.criticalPressure[1] = 0.0;
              return m;
          }(), 400.0, 10.0)}) {
        EXPECT_EQ(failed.phases, PointPhases::Failed);
        EXPECT_FALSE(failed.reason.empty());
        EXPECT_TRUE(std::isnan(failed.vapourFraction));
    }
}

} // namespace
} // namespace envelope::condition
