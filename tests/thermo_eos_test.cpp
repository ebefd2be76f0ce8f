// Soave-Redlich-Kwong fugacity coefficients, root selection and the
// composition-vector operations.
#include <array>
#include <cmath>
#include <vector>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "thermo/bairstow.h"
#include "thermo/composition.h"
#include "thermo/eos.h"
#include "thermo/numerical_fault.h"

using namespace envelope;

namespace {

class FugacityCoefficientsTest : public ::testing::Test {
protected:
    std::vector<double> Phi(double P, double T, std::int16_t phase, const std::vector<double>& x)
    {
        std::vector<double> phi(3, -1.0);
        FugacityCoefficients(mixture, SoaveRedlichKwong, x, P, T, phi, phase, work);
        return phi;
    }

    const Mixture mixture = BuiltInMixture();
    const CompositionVector feed = mixture.feed;
    SolverWorkspace work;
};

} // namespace

TEST_F(FugacityCoefficientsTest, ThreeRealRootsGiveDistinctLiquidAndVapourCoefficients)
{
    const std::vector<double> liquid = Phi(10, 400, LiquidPhase, feed);
    EXPECT_EQ(work.counters.rootFinderPasses, 5);
    EXPECT_EQ(work.counters.fugacityCalls, 1);
    const std::vector<double> vapour = Phi(10, 400, VapourPhase, feed);

    EXPECT_GT(liquid[0], 1);
    EXPECT_GT(liquid[1], 1);
    EXPECT_LT(liquid[2], 0.2);
    for (double phi : vapour) {
        EXPECT_GT(phi, 0.3);
        EXPECT_LT(phi, 3);
    }
    // Liquid-vapour K-values of the light components are far above 1, of the
    // heavy one far below: the liquid root, not the middle one, was used.
    EXPECT_GT(liquid[0] / vapour[0], 5);
    EXPECT_LT(liquid[2] / vapour[2], 0.5);
}

TEST_F(FugacityCoefficientsTest, OneRealRootServesBothSelectors)
{
    EXPECT_EQ(Phi(10, 300, LiquidPhase, feed), Phi(10, 300, VapourPhase, feed));
    // Vapour-like cubic with a complex pair of small modulus next to the
    // start of the iteration: no spurious small real root may be taken as
    // the liquid root.
    const std::vector<double> liquid = Phi(2, 550, LiquidPhase, feed);
    EXPECT_EQ(liquid, Phi(2, 550, VapourPhase, feed));
    for (double phi : liquid)
        EXPECT_NEAR(phi, 1, 0.05);
}

TEST_F(FugacityCoefficientsTest, TendsToTheIdealGasAtLowPressure)
{
    // At low pressure every phase tends to an ideal gas: phi -> 1.
    for (double phi : Phi(0.001, 600, VapourPhase, feed))
        EXPECT_NEAR(phi, 1, 1e-3);
}

TEST_F(FugacityCoefficientsTest, FaultsAndPartialWrites)
{
    std::vector<double> phi(3, -1.0);
    EXPECT_THROW(FugacityCoefficients(mixture, SoaveRedlichKwong, feed, 10, 400, phi, 3, work),
                 NumericalFault); // Z = 0
    EXPECT_EQ(phi, std::vector<double>(3, -1.0));

    const std::vector<double> zero(3, 0.0);
    EXPECT_THROW(FugacityCoefficients(mixture, SoaveRedlichKwong, zero, 10, 400, phi, LiquidPhase, work),
                 NumericalFault);

    std::vector<double> shortPhi(2, -1.0);
    EXPECT_THROW(FugacityCoefficients(mixture, SoaveRedlichKwong, feed, 10, 400, shortPhi, LiquidPhase, work),
                 NumericalFault);
    // The entries before the one that does not exist keep their new values.
    EXPECT_GT(shortPhi[0], 1);
    EXPECT_GT(shortPhi[1], 1);

    const std::vector<double> shortX{0.1, 0.15};
    EXPECT_THROW(FugacityCoefficients(mixture, SoaveRedlichKwong, shortX, 10, 400, phi, LiquidPhase, work),
                 NumericalFault);

    // A mixture whose critical pressures stop one short of its component
    // count reads index 3 of a three-entry list.
    Mixture ragged = mixture;
    ragged.criticalTemperature.push_back(400);
    ragged.acentricFactor.push_back(0.2);
    std::vector<double> fourPhi(4);
    EXPECT_THROW(FugacityCoefficients(ragged, SoaveRedlichKwong, std::vector<double>{0.25, 0.25, 0.25, 0.25}, 10, 400,
                                      fourPhi, LiquidPhase, work),
                 NumericalFault);
}

TEST(ExtremeRealRoots, PicksStrictlyPositiveRootsWithExactlyZeroImaginaryPart)
{
    double largest = -7, smallest = -7;
    ExtremeRealRoots(std::array{0.2, -0.1, 0.5}, std::array{0.0, 0.0, 0.3}, largest, smallest);
    EXPECT_EQ(largest, 0.2);
    EXPECT_EQ(smallest, 0.2);

    ExtremeRealRoots(std::array{0.9, 0.08, 0.01}, std::array{0.0, 0.0, 0.0}, largest, smallest);
    EXPECT_EQ(largest, 0.9);
    EXPECT_EQ(smallest, 0.01);

    largest = smallest = -7;
    ExtremeRealRoots(std::array{0.5, 0.7}, std::array{1e-300, -1e-300}, largest, smallest);
    EXPECT_EQ(largest, -7);
    EXPECT_EQ(smallest, -7);

    ExtremeRealRoots(std::array{0.0, -0.3, -2.0}, std::array{0.0, 0.0, 0.0}, largest, smallest);
    EXPECT_EQ(largest, -7);
    EXPECT_EQ(smallest, -7);
}

TEST(CompositionVector, SumNormalizeAndCopy)
{
    std::vector<double> v{1, 1, 2};
    EXPECT_EQ(SumVector(v), 4);
    NormalizeVector(v);
    EXPECT_EQ(v, (std::vector<double>{0.25, 0.25, 0.5}));

    std::vector<double> zero(3, 0.0);
    EXPECT_THROW(NormalizeVector(zero), NumericalFault);

    std::vector<double> target(3, 0.0);
    const std::vector<double> source{1, 2, 3, 4, 5};
    CopyVector(target, source);
    EXPECT_EQ(target, (std::vector<double>{1, 2, 3}));
    EXPECT_EQ(source, (std::vector<double>{1, 2, 3, 4, 5}));

    std::vector<double> longTarget(4, 0.0);
    EXPECT_THROW(CopyVector(longTarget, std::vector<double>{1, 2, 3}), NumericalFault);
}
