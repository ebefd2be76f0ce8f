// The traced envelope against independent results: the saturation searches,
// the criticality conditions, a near-pure fluid's vapour-pressure curve,
// finite differences of the curve equations, and a dense trace's extremes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "envelope/case.h"
#include "equilibrium/saturation_pressure.h"
#include "thermo/composition.h"
#include "thermo/numerical_fault.h"
#include "thermo/workspace.h"
#include "trace/criticality.h"
#include "trace/curve_system.h"
#include "trace/mixture_model.h"
#include "test_mixtures.h"
#include "trace/trace.h"

namespace envelope::trace {
namespace {

class BuiltInTrace : public ::testing::Test {
protected:
    static void SetUpTestSuite() { envelope = new TracedEnvelope(TraceEnvelope(BuiltInMixture())); }
    static void TearDownTestSuite() { delete envelope; }
    static TracedEnvelope* envelope;
};
TracedEnvelope* BuiltInTrace::envelope = nullptr;

TEST_F(BuiltInTrace, RunsFromDewToBubbleAtOneBarThroughTheCriticalPoint)
{
    const TracedEnvelope& e = *envelope;
    ASSERT_EQ(e.verdict.kind, Verdict::Complete) << e.verdict.reason;
    ASSERT_GT(e.points.size(), 20u);
    EXPECT_EQ(e.points.front().phase, TracePhase::Dew);
    EXPECT_EQ(e.points.back().phase, TracePhase::Bubble);
    EXPECT_NEAR(e.points.front().pressure, 1.0, 1e-12);
    EXPECT_NEAR(e.points.back().pressure, 1.0, 1e-12);
    // Dew points, the critical point, then bubble points.
    const auto critical = std::find_if(e.points.begin(), e.points.end(),
                                       [](const TracePoint& p) { return p.phase == TracePhase::Critical; });
    ASSERT_NE(critical, e.points.end());
    EXPECT_TRUE(std::all_of(e.points.begin(), critical, [](const TracePoint& p) { return p.phase == TracePhase::Dew; }));
    EXPECT_TRUE(
        std::all_of(critical + 1, e.points.end(), [](const TracePoint& p) { return p.phase == TracePhase::Bubble; }));
    ASSERT_TRUE(e.critical.found && e.cricondenbar.found && e.cricondentherm.found);
    EXPECT_EQ(critical->temperature, e.critical.temperature);
    EXPECT_EQ(critical->pressure, e.critical.pressure);
    EXPECT_GE(e.cricondenbar.pressure, e.critical.pressure);
    EXPECT_GE(e.cricondentherm.temperature, e.critical.temperature);
}

// The traced curve passes through the bubble and dew pressures that the
// saturation searches find at the traced temperatures, on the branches'
// lower parts where those searches are used.
TEST_F(BuiltInTrace, PassesThroughTheSaturationSearchesPoints)
{
    const Mixture mix = BuiltInMixture();
    const CompositionVector feed = mix.feed;
    SolverWorkspace work;
    int bubbles = 0, dews = 0;
    for (const TracePoint& p : envelope->points) {
        CompositionVector other(3, 0.0);
        double P = 0.0;
        if (p.phase == TracePhase::Bubble && p.pressure > 2.0 && p.pressure < 30.0 && bubbles++ % 4 == 0) {
            P = 0.9 * p.pressure;
            BubblePressure(mix, SoaveRedlichKwong, feed, p.temperature, other, P, 0.00001, work);
        } else if (p.phase == TracePhase::Dew && p.pressure > 2.0 && p.pressure < 20.0 && dews++ % 2 == 0) {
            DewPressure(mix, SoaveRedlichKwong, feed, p.temperature, other, P, 0.00001, work);
        } else {
            continue;
        }
        // The searches' root finder gives Z to four or five digits, which
        // moves a liquid's ln phi by up to about 1e-3 and a vapour's by less.
        const double tolerance = p.phase == TracePhase::Bubble ? 2e-3 : 3e-4;
        EXPECT_NEAR(P, p.pressure, tolerance * p.pressure) << "at T = " << p.temperature;
    }
    EXPECT_GT(bubbles, 10);
    EXPECT_GT(dews, 3);
}

// At the reported critical point the Heidemann-Khalil conditions hold:
// both forms are small beside their values half a kelvin away.
TEST_F(BuiltInTrace, CriticalityConditionsHoldAtTheCriticalPoint)
{
    const Mixture mix = BuiltInMixture();
    const MixtureModel model(mix, SoaveRedlichKwong);
    const TracedEnvelope& e = *envelope;
    ASSERT_GT(e.criticalVolume, 0.0);
    const CriticalityConditions at = Criticality(model, e.critical.temperature, e.criticalVolume, mix.feed);
    const CriticalityConditions warmer = Criticality(model, e.critical.temperature + 0.5, e.criticalVolume, mix.feed);
    const CriticalityConditions denser =
        Criticality(model, e.critical.temperature, 0.98 * e.criticalVolume, mix.feed);
    EXPECT_LT(std::fabs(at.quadratic), 1e-3 * std::fabs(warmer.quadratic));
    EXPECT_LT(std::fabs(at.cubic), 1e-3 * std::fabs(denser.cubic));
    // The volume is the feed's at the reported temperature and pressure.
    EXPECT_NEAR(model.Pressure(e.critical.temperature, e.criticalVolume, mix.feed), e.critical.pressure,
                1e-8 * e.critical.pressure);
}

// The cricondenbar and cricondentherm are the extremes of a dense trace.
TEST_F(BuiltInTrace, ExtremesAreThoseOfADenseTrace)
{
    TraceOptions dense;
    dense.maxStep = 0.01;
    dense.maxPoints = 10000;
    const TracedEnvelope fine = TraceEnvelope(BuiltInMixture(), dense);
    ASSERT_EQ(fine.verdict.kind, Verdict::Complete) << fine.verdict.reason;
    ASSERT_GT(fine.points.size(), 5 * envelope->points.size() / 2);
    double Pmax = 0.0, Tmax = 0.0;
    for (const TracePoint& p : fine.points) {
        Pmax = std::max(Pmax, p.pressure);
        Tmax = std::max(Tmax, p.temperature);
    }
    EXPECT_LE(Pmax, envelope->cricondenbar.pressure * (1 + 1e-10));
    EXPECT_NEAR(Pmax, envelope->cricondenbar.pressure, 1e-4 * Pmax);
    EXPECT_LE(Tmax, envelope->cricondentherm.temperature * (1 + 1e-10));
    EXPECT_NEAR(Tmax, envelope->cricondentherm.temperature, 1e-5 * Tmax);
    // The characteristic points do not depend on the step.
    EXPECT_NEAR(fine.critical.temperature, envelope->critical.temperature, 1e-6 * Tmax);
    EXPECT_NEAR(fine.critical.pressure, envelope->critical.pressure, 1e-6 * Pmax);
    EXPECT_NEAR(fine.cricondenbar.temperature, envelope->cricondenbar.temperature, 1e-6 * Tmax);
    EXPECT_NEAR(fine.cricondentherm.pressure, envelope->cricondentherm.pressure, 1e-5 * Pmax);
}

// The Jacobian of the curve equations against central differences, at random
// points around the built-in mixture's curve, on both sides of the critical
// point and for a phase fraction inside (0, 1).
TEST(TraceCurve, JacobianMatchesFiniteDifferences)
{
    const Mixture mix = BuiltInMixture();
    const MixtureModel model(mix, SoaveRedlichKwong);
    std::mt19937 random(11);
    std::uniform_real_distribution<double> lnK(-3.0, 3.0), T(250.0, 500.0), P(1.0, 40.0);
    for (double beta : {1.0, 0.0, 0.4}) {
        CurveSystem system(model, mix.feed, beta);
        system.SetYVapour(beta != 0.0);
        for (int trial = 0; trial < 12; ++trial) {
            std::vector<double> X = {lnK(random), lnK(random), lnK(random), std::log(T(random)), std::log(P(random))};
            const std::size_t fixed = trial % 5;
            std::vector<double> g(5), J(25), gUp(5), gDown(5), unused(25);
            system.Evaluate(X, fixed, g, J);
            for (std::size_t k = 0; k < 5; ++k) {
                std::vector<double> up = X, down = X;
                up[k] += 1e-6;
                down[k] -= 1e-6;
                system.Evaluate(up, fixed, gUp, unused);
                system.Evaluate(down, fixed, gDown, unused);
                for (std::size_t i = 0; i < 4; ++i) {
                    const double numeric = (gUp[i] - gDown[i]) / 2e-6;
                    EXPECT_NEAR(J[i * 5 + k], numeric, 1e-6 * (1 + std::fabs(numeric)))
                        << "beta " << beta << " row " << i << " column " << k;
                }
            }
        }
    }
}

// A fluid that is all but pure: the trace lies on the component's vapour
// pressure curve and its critical point is the component's.
TEST(TraceNearPure, CollapsesOntoTheVapourPressureCurve)
{
    Mixture mix = BuiltInMixture();
    mix.feed = {1e-7, 1.0 - 1e-7, 0.0};
    const TracedEnvelope e = TraceEnvelope(mix);
    ASSERT_EQ(e.verdict.kind, Verdict::Complete) << e.verdict.reason;
    Mixture pure;
    pure.criticalTemperature = {305.43, 305.43};
    pure.criticalPressure = {48.84, 48.84};
    pure.acentricFactor = {0.0986, 0.0986};
    pure.feed = {0.5, 0.5};
    const MixtureModel model(pure, SoaveRedlichKwong);
    const std::vector<double> n = {0.5, 0.5};
    PhaseState liquid, vapour;
    int checked = 0;
    for (const TracePoint& p : e.points) {
        if (p.temperature > 300.0)
            continue;
        // Equal fugacities of the pure fluid's two roots at the traced pressure.
        model.Evaluate(p.temperature, p.pressure, n, RootKind::Liquid, false, liquid);
        model.Evaluate(p.temperature, p.pressure, n, RootKind::Vapour, false, vapour);
        ASSERT_LT(liquid.Z, vapour.Z) << "one root only at T = " << p.temperature;
        EXPECT_NEAR(liquid.lnPhi[0], vapour.lnPhi[0], 1e-4) << "at T = " << p.temperature;
        ++checked;
    }
    EXPECT_GT(checked, 10);
    EXPECT_NEAR(e.critical.temperature, 305.43, 0.02);
    EXPECT_NEAR(e.critical.pressure, 48.84, 0.01);
    EXPECT_NEAR(e.cricondenbar.pressure, 48.84, 0.01);
    EXPECT_NEAR(e.cricondentherm.temperature, 305.43, 0.02);
}

// The Heidemann-Khalil conditions at a reported critical point, beside their
// values half a kelvin warmer.
void ExpectCritical(const Mixture& mix, const TracedEnvelope& e)
{
    ASSERT_TRUE(e.critical.found);
    const MixtureModel model(mix, SoaveRedlichKwong);
    const CriticalityConditions at = Criticality(model, e.critical.temperature, e.criticalVolume, mix.feed);
    const CriticalityConditions warmer = Criticality(model, e.critical.temperature + 0.5, e.criticalVolume, mix.feed);
    EXPECT_LT(std::fabs(at.quadratic), 1e-3 * std::fabs(warmer.quadratic));
    EXPECT_LT(std::fabs(at.cubic), 1e-2 * std::fabs(warmer.cubic));
}

TEST(TraceMixtures, TracesANaturalGasAndABinaryWithAnInteractionParameter)
{
    const Mixture gas = test::NineComponentGas();
    const TracedEnvelope g = TraceEnvelope(gas);
    EXPECT_EQ(g.verdict.kind, Verdict::Complete) << g.verdict.reason;
    EXPECT_TRUE(g.critical.found && g.cricondenbar.found && g.cricondentherm.found);
    // A lean gas: the critical point lies left of the cricondentherm, on the
    // bubble side of the highest pressure.
    EXPECT_LT(g.critical.temperature, g.cricondentherm.temperature);
    ExpectCritical(gas, g);

    Mixture binary;
    binary.criticalTemperature = {304.2, 617.7};
    binary.criticalPressure = {73.8, 21.1};
    binary.acentricFactor = {0.225, 0.49};
    binary.feed = {0.5, 0.5};
    binary.kij = {0.0, 0.1, 0.1, 0.0};
    const TracedEnvelope b = TraceEnvelope(binary);
    EXPECT_EQ(b.verdict.kind, Verdict::Complete) << b.verdict.reason;
    ExpectCritical(binary, b);
}

TEST(TraceMixtures, UnusableMixtureFaultsAndAnUnfinishedTraceSaysWhere)
{
    Mixture mix = BuiltInMixture();
    mix.feed = {0.0, 0.0, 0.0};
    EXPECT_THROW(TraceEnvelope(mix), NumericalFault);
    mix.feed = {0.5, 0.5};
    EXPECT_THROW(TraceEnvelope(mix), NumericalFault);

    TraceOptions shortTrace;
    shortTrace.maxPoints = 6;
    const TracedEnvelope e = TraceEnvelope(BuiltInMixture(), shortTrace);
    EXPECT_EQ(e.verdict.kind, Verdict::Stopped);
    EXPECT_EQ(e.points.size(), 6u);
    EXPECT_NE(e.verdict.reason.find("point limit"), std::string::npos) << e.verdict.reason;
    EXPECT_NE(e.verdict.reason.find("P = "), std::string::npos) << e.verdict.reason;
    EXPECT_FALSE(e.critical.found);
}

} // namespace
} // namespace envelope::trace
