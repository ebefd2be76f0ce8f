// The tracer's own equation-of-state code: the closed-form cubic, the
// analytic derivatives of ln phi against finite differences at random states,
// and the criticality conditions at a pure component's critical point and
// with a component absent.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "envelope/case.h"
#include "thermo/numerical_fault.h"
#include "trace/criticality.h"
#include "trace/cubic_roots.h"
#include "trace/mixture_model.h"

namespace envelope::trace {
namespace {

TEST(TraceCubic, RootsSolveTheCubicInBothRegimes)
{
    // (Z - 0.05)(Z - 0.3)(Z - 0.65) has three roots; a complex pair leaves one.
    const CubicRoots three = CompressibilityRoots(-1.0, 0.05 * 0.3 + 0.05 * 0.65 + 0.3 * 0.65, -0.05 * 0.3 * 0.65);
    ASSERT_EQ(three.count, 3);
    EXPECT_NEAR(three.root[0], 0.05, 1e-14);
    EXPECT_NEAR(three.root[1], 0.3, 1e-14);
    EXPECT_NEAR(three.root[2], 0.65, 1e-14);
    // (Z - 0.9)(Z^2 - 0.1 Z + 0.2): the quadratic has no real root.
    const CubicRoots one = CompressibilityRoots(-1.0, 0.2 + 0.09, -0.18);
    ASSERT_EQ(one.count, 1);
    EXPECT_NEAR(one.root[0], 0.9, 1e-14);
    // Peng-Robinson's cubic has another square term: (Z - 0.1)(Z - 0.4)(Z - 0.9).
    const CubicRoots general = CompressibilityRoots(-1.4, 0.04 + 0.09 + 0.36, -0.036);
    ASSERT_EQ(general.count, 3);
    EXPECT_NEAR(general.root[0], 0.1, 1e-14);
    EXPECT_NEAR(general.root[2], 0.9, 1e-14);
}

// Each model with the critical compressibility factor of its cubic: 1/3 for
// SRK, 0.3074 for Peng-Robinson (0.307 in Peng and Robinson, 1976).
struct ModelCase {
    const CubicModel* model;
    double criticalZ;
};
void PrintTo(const ModelCase& c, std::ostream* out)
{
    *out << EosName(c.model->kind);
}
class EachModel : public ::testing::TestWithParam<ModelCase> {};
INSTANTIATE_TEST_SUITE_P(BothModels, EachModel,
                         ::testing::Values(ModelCase{&SoaveRedlichKwong, 1.0 / 3.0},
                                           ModelCase{&PengRobinson1976, 0.3074}),
                         [](const auto& info) { return std::string(EosName(info.param.model->kind)); });

// Random states of a four-component mixture with interaction parameters, in
// both roots: every analytic derivative against a central difference.
TEST_P(EachModel, AnalyticDerivativesMatchFiniteDifferences)
{
    Mixture mix = BuiltInMixture();
    mix.criticalTemperature.push_back(425.1);
    mix.criticalPressure.push_back(37.96);
    mix.acentricFactor.push_back(0.2);
    mix.feed = {0.1, 0.15, 0.5, 0.25};
    mix.kij.assign(16, 0.0);
    mix.kij[0 * 4 + 2] = mix.kij[2 * 4 + 0] = 0.04;
    mix.kij[1 * 4 + 3] = mix.kij[3 * 4 + 1] = -0.02;
    const MixtureModel model(mix, *GetParam().model);
    std::mt19937 random(7);
    std::uniform_real_distribution<double> unit(0.05, 1.0), temperature(200.0, 600.0), pressure(1.0, 80.0);
    PhaseState base, plus, minus;
    for (int trial = 0; trial < 40; ++trial) {
        const double T = temperature(random), P = pressure(random);
        std::vector<double> n(4);
        for (double& v : n)
            v = unit(random);
        const RootKind kind = trial % 2 ? RootKind::Liquid : RootKind::Vapour;
        model.Evaluate(T, P, n, kind, true, base);
        const auto close = [](double analytic, double numeric, double scale) {
            return std::fabs(analytic - numeric) <= 1e-6 * (std::fabs(numeric) + scale);
        };
        const double hT = 1e-6 * T, hP = 1e-6 * P;
        model.Evaluate(T + hT, P, n, kind, false, plus);
        model.Evaluate(T - hT, P, n, kind, false, minus);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(close(base.dT[i], (plus.lnPhi[i] - minus.lnPhi[i]) / (2 * hT), 1.0 / T))
                << "d/dT, component " << i << " at T " << T << " P " << P;
        model.Evaluate(T, P + hP, n, kind, false, plus);
        model.Evaluate(T, P - hP, n, kind, false, minus);
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(close(base.dP[i], (plus.lnPhi[i] - minus.lnPhi[i]) / (2 * hP), 1.0 / P))
                << "d/dP, component " << i << " at T " << T << " P " << P;
        for (int j = 0; j < 4; ++j) {
            std::vector<double> up = n, down = n;
            const double h = 1e-6 * n[j];
            up[j] += h;
            down[j] -= h;
            model.Evaluate(T, P, up, kind, false, plus);
            model.Evaluate(T, P, down, kind, false, minus);
            for (int i = 0; i < 4; ++i)
                EXPECT_TRUE(close(base.dn[i * 4 + j], (plus.lnPhi[i] - minus.lnPhi[i]) / (2 * h), 1.0))
                    << "d/dn_" << j << ", component " << i << " at T " << T << " P " << P;
        }
        // ln phi is that of the mole fractions: scaling the mole numbers
        // changes nothing, and the Gibbs-Duhem sum vanishes.
        std::vector<double> twice = n;
        for (double& v : twice)
            v *= 2.0;
        model.Evaluate(T, P, twice, kind, false, plus);
        for (int i = 0; i < 4; ++i) {
            EXPECT_NEAR(plus.lnPhi[i], base.lnPhi[i], 1e-12);
            double gibbsDuhem = 0.0;
            for (int k = 0; k < 4; ++k)
                gibbsDuhem += n[k] * base.dn[k * 4 + i];
            EXPECT_NEAR(gibbsDuhem, 0.0, 1e-9);
        }
        // The pressure from the volume returns the pressure given.
        EXPECT_NEAR(model.Pressure(T, base.volume, n), P, 1e-9 * P);
    }
}

// Two copies of one component behave as the pure substance, whose critical
// point has the model's critical Z at (Tc, Pc) up to the rounding of Omega_a
// and Omega_b: there the quadratic and the cubic form vanish, and 2 % away in
// temperature they do not.
TEST_P(EachModel, CriticalityVanishesAtThePureCriticalPoint)
{
    Mixture pure;
    pure.criticalTemperature = {305.43, 305.43};
    pure.criticalPressure = {48.84, 48.84};
    pure.acentricFactor = {0.0986, 0.0986};
    pure.feed = {0.4, 0.6};
    const MixtureModel model(pure, *GetParam().model);
    const std::vector<double> n = {0.4, 0.6};
    const double Vc = GetParam().criticalZ * GasConstant * 305.43 / 48.84;
    const CriticalityConditions at = Criticality(model, 305.43, Vc, n);
    const CriticalityConditions off = Criticality(model, 1.02 * 305.43, 1.1 * Vc, n);
    EXPECT_NEAR(at.quadratic, 0.0, 1e-4);
    EXPECT_NEAR(at.cubic, 0.0, 1e-3 * std::fabs(Criticality(model, 305.43, 1.1 * Vc, n).cubic));
    EXPECT_GT(off.quadratic, 0.05);

    // The Hessian of A/RT: its analytic entries against differences of the
    // cubic form's second-order counterpart, the pressure's Maxwell relation
    // for a pure fluid: d2(A/RT)/dn2 at fixed V is -(V^2/n^3)(dP/dv)/(RT).
    std::vector<double> Q(4);
    const double T = 320.0, V = 2.5 * Vc;
    model.HelmholtzHessian(T, V, n, Q);
    const double h = 1e-6 * V;
    const double dPdV = (model.Pressure(T, V + h, n) - model.Pressure(T, V - h, n)) / (2 * h);
    const double sum = Q[0] * 0.16 + 2 * Q[1] * 0.24 + Q[3] * 0.36; // along the feed: n Q n
    EXPECT_NEAR(sum, -V * V * dPdV / (GasConstant * T), 1e-6 * std::fabs(sum));
}

// A component absent from the feed takes no part: the conditions are those
// of the mixture without it, and one Newton step on them from a pure
// component's critical point, or 0.3 K below it, moves T by as much.
TEST(TraceModel, AnAbsentComponentLeavesTheCriticalityConditionsAlone)
{
    const Mixture mix = BuiltInMixture();
    Mixture two = mix;
    for (auto* list : {&two.criticalTemperature, &two.criticalPressure, &two.acentricFactor})
        list->pop_back();
    const CriticalityConditions a = Criticality(MixtureModel(mix, SoaveRedlichKwong), 250.0, 1e-4, std::vector<double>{0.4, 0.6, 0.0});
    const CriticalityConditions b = Criticality(MixtureModel(two, SoaveRedlichKwong), 250.0, 1e-4, std::vector<double>{0.4, 0.6});
    EXPECT_NEAR(a.quadratic, b.quadratic, 1e-12 * std::fabs(b.quadratic));
    EXPECT_NEAR(a.cubic, b.cubic, 1e-12 * std::fabs(b.cubic));
    const double Vc = GasConstant * 305.43 / (3.0 * 48.84);
    const std::vector<double> ethane = {0.0, 1.0, 0.0};
    EXPECT_LT(DistanceToCritical(MixtureModel(mix, SoaveRedlichKwong), 305.43, Vc, ethane).temperature, 1e-5);
    EXPECT_NEAR(DistanceToCritical(MixtureModel(mix, SoaveRedlichKwong), 305.13, Vc, ethane).temperature, 0.3 / 305.13, 2e-4);
}

TEST(TraceModel, UnusableConstantsFault)
{
    Mixture mix = BuiltInMixture();
    mix.criticalPressure[1] = 0.0;
    EXPECT_THROW((MixtureModel{mix, SoaveRedlichKwong}), NumericalFault);
    mix = BuiltInMixture();
    mix.acentricFactor[2] = std::nan("");
    EXPECT_THROW((MixtureModel{mix, SoaveRedlichKwong}), NumericalFault);
    mix = BuiltInMixture();
    mix.kij = {0.0, 0.1, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0}; // k_01 without k_10
    EXPECT_THROW((MixtureModel{mix, SoaveRedlichKwong}), NumericalFault);
}

} // namespace
} // namespace envelope::trace
