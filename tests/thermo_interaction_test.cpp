// Mixtures other than the built-in one in the equation of state: binary
// interaction parameters in the cross term, and component counts up to the
// largest a calculation holds.
#include <cmath>
#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "thermo/eos.h"
#include "thermo/mixture.h"
#include "thermo/numerical_fault.h"

using namespace envelope;

namespace {

// The built-in mixture with k_ij = 0.05 between the first and the third
// component and 0.03 between the second and the third.
Mixture WithInteractions()
{
    Mixture mixture = BuiltInMixture();
    mixture.kij = {0.0, 0.0, 0.05, 0.0, 0.0, 0.03, 0.05, 0.03, 0.0};
    return mixture;
}

std::vector<double> Phi(const Mixture& mixture, const std::vector<double>& x, double P, double T,
                        std::int16_t phase)
{
    std::vector<double> phi(x.size(), -1.0);
    SolverWorkspace work;
    FugacityCoefficients(mixture, SoaveRedlichKwong, x, P, T, phi, phase, work);
    return phi;
}

// The same coefficients written out from the textbook form of the model, with
// the phase's root of the cubic found by Newton's method: from above the
// largest root for the vapour, from Z = B (below the smallest root, where the
// cubic is -2 B^2) for the liquid. Only the mixture's data is shared with the
// code under test.
std::vector<double> IndependentPhi(const Mixture& m, const std::vector<double>& x, double P, double T,
                                   std::int16_t phase)
{
    const double R = 8.314e-5;
    const std::size_t n = x.size();
    std::vector<double> a(n), b(n);
    for (std::size_t i = 0; i < n; ++i) {
        const double w = m.acentricFactor[i];
        const double kappa = 0.48 + 1.574 * w - 0.176 * w * w;
        const double root = 1 + kappa * (1 - std::sqrt(T / m.criticalTemperature[i]));
        a[i] = 0.42748 * std::pow(R * m.criticalTemperature[i], 2) / m.criticalPressure[i] * root * root;
        b[i] = 0.08664 * R * m.criticalTemperature[i] / m.criticalPressure[i];
    }
    const auto aij = [&](std::size_t i, std::size_t j) {
        return std::sqrt(a[i] * a[j]) * (1 - m.kij[i * n + j]);
    };
    double am = 0, bm = 0;
    for (std::size_t i = 0; i < n; ++i) {
        bm += x[i] * b[i];
        for (std::size_t j = 0; j < n; ++j)
            am += x[i] * x[j] * aij(i, j);
    }
    const double A = am * P / std::pow(R * T, 2), B = bm * P / (R * T);
    double Z = phase == VapourPhase ? 2.0 : B;
    for (int k = 0; k < 200; ++k) {
        const double f = ((Z - 1) * Z + (A - B - B * B)) * Z - A * B;
        const double df = (3 * Z - 2) * Z + (A - B - B * B);
        Z -= f / df;
    }
    std::vector<double> phi(n);
    for (std::size_t i = 0; i < n; ++i) {
        double s = 0;
        for (std::size_t j = 0; j < n; ++j)
            s += x[j] * aij(i, j);
        phi[i] = std::exp(b[i] / bm * (Z - 1) - std::log(Z - B) -
                          A / B * (2 * s / am - b[i] / bm) * std::log(1 + B / Z));
    }
    return phi;
}

} // namespace

TEST(InteractionParameters, ZeroValuesGiveTheResultWithoutThemBitForBit)
{
    const Mixture plain = BuiltInMixture();
    Mixture zeros = plain;
    zeros.kij.assign(9, 0.0);
    for (double T : {250.0, 400.0, 550.0})
        for (double P : {2.0, 10.0, 40.0})
            for (std::int16_t phase : {LiquidPhase, VapourPhase})
                EXPECT_EQ(Phi(zeros, plain.feed, P, T, phase), Phi(plain, plain.feed, P, T, phase))
                    << T << " K, " << P << " bar, phase " << phase;
}

TEST(InteractionParameters, EnterTheCrossTermOfTheMixingRule)
{
    const Mixture mixture = WithInteractions();
    const Mixture plain = BuiltInMixture();
    // 400 K and 10 bar: three real roots, so both selectors have their own.
    for (std::int16_t phase : {LiquidPhase, VapourPhase}) {
        const std::vector<double> phi = Phi(mixture, mixture.feed, 10, 400, phase);
        const std::vector<double> expected = IndependentPhi(mixture, mixture.feed, 10, 400, phase);
        const std::vector<double> without = Phi(plain, plain.feed, 10, 400, phase);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(phi[i], expected[i], 1e-5 * expected[i]) << "phase " << phase << ", component " << i;
            // Weaker attraction between the light and the heavy components:
            // each escapes the liquid more readily than without k_ij.
            if (phase == LiquidPhase && i < 2) {
                EXPECT_GT(phi[i], without[i] * 1.02) << i;
            }
        }
    }
}

TEST(InteractionParameters, AnAsymmetricPairFaults)
{
    // The coefficients' formula assumes k_ij = k_ji; other values would give
    // coefficients of no mixture at all.
    Mixture mixture = WithInteractions();
    mixture.kij[1] = 0.02; // k_01; k_10 stays 0
    std::vector<double> phi(3);
    SolverWorkspace work;
    EXPECT_THROW(FugacityCoefficients(mixture, SoaveRedlichKwong, mixture.feed, 10, 400, phi, VapourPhase, work),
                 NumericalFault);
}

TEST(ComponentCount, UpToTwentyComponentsAndNoMore)
{
    // Twenty components: the built-in three repeated, and two more. Their
    // coefficients match the independent evaluation.
    Mixture twenty;
    const Mixture base = BuiltInMixture();
    for (std::size_t i = 0; i < MaxComponentCount; ++i) {
        twenty.criticalTemperature.push_back(base.criticalTemperature[i % 3] + static_cast<double>(i));
        twenty.criticalPressure.push_back(base.criticalPressure[i % 3]);
        twenty.acentricFactor.push_back(base.acentricFactor[i % 3]);
        twenty.feed.push_back(1.0 / MaxComponentCount);
    }
    twenty.kij.assign(MaxComponentCount * MaxComponentCount, 0.0);
    for (std::int16_t phase : {LiquidPhase, VapourPhase}) {
        const std::vector<double> phi = Phi(twenty, twenty.feed, 20, 420, phase);
        const std::vector<double> expected = IndependentPhi(twenty, twenty.feed, 20, 420, phase);
        for (std::size_t i = 0; i < MaxComponentCount; ++i)
            EXPECT_NEAR(phi[i], expected[i], 1e-5 * expected[i]) << "phase " << phase << ", component " << i;
    }

    // One more does not fit the working arrays: the fault, not an overrun.
    Mixture more = twenty;
    more.criticalTemperature.push_back(400);
    more.criticalPressure.push_back(40);
    more.acentricFactor.push_back(0.1);
    std::vector<double> x(MaxComponentCount + 1, 1.0 / (MaxComponentCount + 1));
    std::vector<double> phi(x.size());
    SolverWorkspace work;
    EXPECT_THROW(FugacityCoefficients(more, SoaveRedlichKwong, x, 20, 420, phi, VapourPhase, work), NumericalFault);
}
