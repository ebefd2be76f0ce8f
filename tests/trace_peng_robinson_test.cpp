// The Peng-Robinson equation of state against published values and against
// itself: a textbook's compressibility factors, the vapour pressure that
// defines the acentric factor, the specified run's fugacity coefficients
// beside the tracer's, and traced envelopes that close where they must.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "envelope/case.h"
#include "thermo/eos.h"
#include "trace/criticality.h"
#include "trace/mixture_model.h"
#include "test_mixtures.h"
#include "trace/trace.h"

namespace envelope::trace {
namespace {

// A one-component "mixture" of two equal halves of the substance.
Mixture Pure(double Tc, double Pc, double omega)
{
    Mixture m;
    m.criticalTemperature = {Tc, Tc};
    m.criticalPressure = {Pc, Pc};
    m.acentricFactor = {omega, omega};
    m.feed = {0.5, 0.5};
    return m;
}

// R. Smith, Chemical Process Design and Integration, Wiley, Chichester 2005,
// Example 4.1 (p. 58): with Peng-Robinson, nitrogen (Tc 126.2 K, Pc 33.98 bar,
// w 0.037) at 273.15 K has Z = 0.9992, 0.9963 and 0.9727 at 1.013, 5 and 50
// bar, and benzene (Tc 562.05 K, Pc 48.95 bar, w 0.210) at 293.15 K and
// 1.013 bar has the liquid root Z = 0.0036094 and the vapour root 0.95177.
TEST(PengRobinson, ReproducesATextbooksCompressibilityFactors)
{
    const std::vector<double> n = {0.5, 0.5};
    PhaseState phase;
    const MixtureModel nitrogen(Pure(126.2, 33.98, 0.037), PengRobinson1976);
    const double pressures[] = {1.013, 5.0, 50.0}, published[] = {0.9992, 0.9963, 0.9727};
    for (int k = 0; k < 3; ++k) {
        nitrogen.Evaluate(273.15, pressures[k], n, RootKind::Vapour, false, phase);
        EXPECT_NEAR(phase.Z, published[k], 0.00005) << "at " << pressures[k] << " bar";
    }
    const MixtureModel benzene(Pure(562.05, 48.95, 0.210), PengRobinson1976);
    benzene.Evaluate(293.15, 1.013, n, RootKind::Liquid, false, phase);
    EXPECT_NEAR(phase.Z, 0.0036094, 0.0000005);
    benzene.Evaluate(293.15, 1.013, n, RootKind::Vapour, false, phase);
    EXPECT_NEAR(phase.Z, 0.95177, 0.000005);
}

// The pressure at which both roots of a pure fluid have the same fugacity,
// by bisection on the sign of ln phi_liquid - ln phi_vapour.
double VapourPressure(const MixtureModel& model, double T, double low, double high)
{
    const std::vector<double> n = {0.5, 0.5};
    PhaseState liquid, vapour;
    for (int pass = 0; pass < 80; ++pass) {
        const double P = std::sqrt(low * high);
        model.Evaluate(T, P, n, RootKind::Liquid, false, liquid);
        model.Evaluate(T, P, n, RootKind::Vapour, false, vapour);
        (liquid.lnPhi[0] > vapour.lnPhi[0] ? low : high) = P;
    }
    return std::sqrt(low * high);
}

// Both equations fit their temperature function to vapour pressures, so at
// Tr = 0.7 they nearly give back the acentric factor's definition,
// log10(P / Pc) = -1 - w: propane (Poling et al., Appendix A) and a fluid as
// acentric as n-dodecane, where the 1978 slope does better than the 1976 one.
TEST(PengRobinson, VapourPressureAtSevenTenthsOfTcMatchesTheAcentricFactor)
{
    const auto relativeError = [](const CubicModel& eos, double Tc, double Pc, double omega) {
        const MixtureModel model(Pure(Tc, Pc, omega), eos);
        const double P = VapourPressure(model, 0.7 * Tc, 1e-4 * Pc, 0.5 * Pc);
        return P / (Pc * std::pow(10.0, -1.0 - omega)) - 1.0;
    };
    EXPECT_NEAR(relativeError(PengRobinson1976, 369.83, 42.48, 0.152), 0.0, 0.01);
    EXPECT_NEAR(relativeError(SoaveRedlichKwong, 369.83, 42.48, 0.152), 0.0, 0.01);
    const double heavy76 = relativeError(PengRobinson1976, 658.0, 18.2, 0.576);
    const double heavy78 = relativeError(PengRobinson1978, 658.0, 18.2, 0.576);
    EXPECT_NEAR(heavy78, 0.0, 0.01);
    EXPECT_LT(std::fabs(heavy78), std::fabs(heavy76));
}

// The specified run's fugacity coefficients (the generic cubic solved by its
// own root finder) and the tracer's (from the Helmholtz energy) are two
// independent forms of one model: they agree for both equations of state, to
// the digits the run's root finder gives Z.
TEST(PengRobinson, RunAndTracerGiveTheSameFugacityCoefficients)
{
    Mixture mix = BuiltInMixture();
    mix.kij = {0.0, 0.02, 0.05, 0.02, 0.0, 0.01, 0.05, 0.01, 0.0};
    SolverWorkspace work;
    PhaseState phase;
    const std::vector<double> x = {0.3, 0.3, 0.4};
    struct State {
        double T, P;
    };
    for (const CubicModel* eos : {&SoaveRedlichKwong, &PengRobinson1976}) {
        const MixtureModel model(mix, *eos);
        for (const State s : {State{250.0, 5.0}, State{400.0, 10.0}, State{450.0, 40.0}})
            for (const std::int16_t selector : {LiquidPhase, VapourPhase}) {
                std::vector<double> phi(3);
                FugacityCoefficients(mix, *eos, x, s.P, s.T, phi, selector, work);
                model.Evaluate(s.T, s.P, x, selector == LiquidPhase ? RootKind::Liquid : RootKind::Vapour, false,
                               phase);
                for (int i = 0; i < 3; ++i)
                    EXPECT_NEAR(std::log(phi[i]), phase.lnPhi[i], 2e-3)
                        << EosName(eos->kind) << " at " << s.T << " K, " << s.P << " bar, component " << i;
            }
    }
}

// 99.9 % propane with 0.1 % n-butane (Poling et al., Appendix A) closes at
// propane's own critical point, where Peng-Robinson puts it. (A third
// component with no share of the feed keeps the tracer's reference ln K away
// from zero: without it the trace turns back early on a nearly pure binary,
// with either model.)
TEST(PengRobinson, NearlyPurePropaneEndsAtItsCriticalPoint)
{
    Mixture mix;
    mix.criticalTemperature = {369.83, 425.12, 568.6};
    mix.criticalPressure = {42.48, 37.96, 24.97};
    mix.acentricFactor = {0.152, 0.200, 0.4};
    mix.feed = {0.999, 0.001, 0.0};
    const TracedEnvelope e = TraceEnvelope(mix, PengRobinson1976);
    ASSERT_EQ(e.verdict.kind, Verdict::Complete) << e.verdict.reason;
    ASSERT_TRUE(e.critical.found);
    EXPECT_NEAR(e.critical.temperature, 369.83, 0.1);
    EXPECT_NEAR(e.critical.pressure, 42.48, 0.05);
    EXPECT_NEAR(e.cricondentherm.temperature, 369.83, 0.1);
    EXPECT_NEAR(e.cricondenbar.pressure, 42.48, 0.05);
}

// A nine-component natural gas with Peng-Robinson: a complete curve whose
// critical point satisfies that model's criticality conditions.
TEST(PengRobinson, TracesANaturalGasThroughItsCriticalPoint)
{
    const Mixture gas = test::NineComponentGas();
    const TracedEnvelope e = TraceEnvelope(gas, PengRobinson1976);
    ASSERT_EQ(e.verdict.kind, Verdict::Complete) << e.verdict.reason;
    ASSERT_TRUE(e.critical.found && e.cricondenbar.found && e.cricondentherm.found);
    EXPECT_GE(e.cricondenbar.pressure, e.critical.pressure);
    EXPECT_GE(e.cricondentherm.temperature, e.critical.temperature);

    const MixtureModel model(gas, PengRobinson1976);
    const CriticalityConditions at = Criticality(model, e.critical.temperature, e.criticalVolume, gas.feed);
    const CriticalityConditions warmer = Criticality(model, e.critical.temperature + 0.5, e.criticalVolume, gas.feed);
    EXPECT_LT(std::fabs(at.quadratic), 1e-3 * std::fabs(warmer.quadratic));
    EXPECT_LT(std::fabs(at.cubic), 1e-2 * std::fabs(warmer.cubic));
}

} // namespace
} // namespace envelope::trace
