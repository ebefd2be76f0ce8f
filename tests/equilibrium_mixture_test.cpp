// The flash of mixtures other than the built-in one: more components, fewer,
// and interaction parameters.
#include <cmath>
#include <cstddef>
#include <vector>

#include <gtest/gtest.h>

#include "equilibrium/flash.h"
#include "thermo/composition.h"
#include "thermo/eos.h"
#include "thermo/mixture.h"

using namespace envelope;

namespace {

// Methane to n-octane, with published critical constants.
Mixture FiveComponents()
{
    Mixture m;
    m.componentNames = {"methane", "ethane", "propane", "n-butane", "n-octane"};
    m.criticalTemperature = {190.6, 305.4, 369.8, 425.1, 568.7};
    m.criticalPressure = {46.0, 48.8, 42.5, 38.0, 24.9};
    m.acentricFactor = {0.011, 0.099, 0.152, 0.200, 0.399};
    m.feed = {0.3, 0.1, 0.1, 0.1, 0.4};
    return m;
}

struct Split {
    double V = -1.0;
    std::vector<double> x, y;
};

Split Flash(const Mixture& mixture, double T, double P)
{
    Split s;
    s.x.assign(mixture.feed.size(), -1.0);
    s.y.assign(mixture.feed.size(), -1.0);
    SolverWorkspace work;
    IsothermalFlash(mixture, SoaveRedlichKwong, mixture.feed, T, P, s.y, s.x, s.V, 1e-8, 200, work);
    return s;
}

// A two-phase result in equilibrium that balances the feed.
void ExpectEquilibrium(const Mixture& mixture, const Split& s, double T, double P)
{
    ASSERT_GT(s.V, 0.0);
    ASSERT_LT(s.V, 1.0);
    EXPECT_NEAR(SumVector(s.x), 1, 1e-12);
    EXPECT_NEAR(SumVector(s.y), 1, 1e-12);
    std::vector<double> phiL(s.x.size()), phiV(s.y.size());
    SolverWorkspace work;
    FugacityCoefficients(mixture, SoaveRedlichKwong, s.x, P, T, phiL, LiquidPhase, work);
    FugacityCoefficients(mixture, SoaveRedlichKwong, s.y, P, T, phiV, VapourPhase, work);
    for (std::size_t i = 0; i < s.x.size(); ++i) {
        EXPECT_NEAR(s.x[i] * phiL[i], s.y[i] * phiV[i], 1e-5 * s.y[i] * phiV[i]) << i;
        EXPECT_NEAR(s.V * s.y[i] + (1 - s.V) * s.x[i], mixture.feed[i], 1e-6) << i;
    }
}

} // namespace

TEST(MixtureFlash, FiveComponentsSplitIntoPhasesInEquilibrium)
{
    const Mixture mixture = FiveComponents();
    const Split s = Flash(mixture, 380, 15);
    ExpectEquilibrium(mixture, s, 380, 15);
    // Lighter components go to the vapour, in the order of their volatility.
    for (std::size_t i = 0; i + 1 < 5; ++i)
        EXPECT_GT(s.y[i] / s.x[i], s.y[i + 1] / s.x[i + 1]) << i;
}

TEST(MixtureFlash, IdenticalCopiesOfAComponentShareItsAmount)
{
    // Each component of the five split into four identical copies, a quarter
    // of the feed each: twenty components that are physically the five.
    const Mixture five = FiveComponents();
    Mixture twenty;
    for (std::size_t i = 0; i < 5; ++i)
        for (int copy = 0; copy < 4; ++copy) {
            twenty.criticalTemperature.push_back(five.criticalTemperature[i]);
            twenty.criticalPressure.push_back(five.criticalPressure[i]);
            twenty.acentricFactor.push_back(five.acentricFactor[i]);
            twenty.feed.push_back(five.feed[i] / 4);
        }
    ASSERT_EQ(twenty.Count(), static_cast<std::int16_t>(MaxComponentCount));
    const Split s5 = Flash(five, 380, 15);
    const Split s20 = Flash(twenty, 380, 15);
    ExpectEquilibrium(twenty, s20, 380, 15);
    EXPECT_NEAR(s20.V, s5.V, 1e-7);
    for (std::size_t i = 0; i < 20; ++i) {
        EXPECT_NEAR(s20.x[i] * 4, s5.x[i / 4], 1e-7) << i;
        EXPECT_NEAR(s20.y[i] * 4, s5.y[i / 4], 1e-7) << i;
    }
}

TEST(MixtureFlash, TwoComponentsAndInteractionParameters)
{
    Mixture binary = FiveComponents();
    for (auto* list : {&binary.criticalTemperature, &binary.criticalPressure, &binary.acentricFactor})
        *list = {(*list)[0], (*list)[4]};
    binary.feed = {0.4, 0.6};
    const Split plain = Flash(binary, 400, 30);
    ExpectEquilibrium(binary, plain, 400, 30);

    // A positive k_ij weakens the attraction between methane and octane:
    // methane dissolves less in the liquid.
    binary.kij = {0.0, 0.05, 0.05, 0.0};
    const Split weaker = Flash(binary, 400, 30);
    ExpectEquilibrium(binary, weaker, 400, 30);
    EXPECT_LT(weaker.x[0], plain.x[0] - 0.005);
}
