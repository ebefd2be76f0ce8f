// The checks that raise the numerical fault.
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "thermo/numerical_fault.h"
#include "envelope/case.h"
#include "thermo/mixture.h"

using namespace envelope;

TEST(NumericalFault, FiniteRejectsInfinitiesAndNaN)
{
    EXPECT_EQ(Finite(1.5), 1.5);
    EXPECT_EQ(Finite(std::numeric_limits<double>::denorm_min()), std::numeric_limits<double>::denorm_min());
    volatile double zero = 0.0;
    EXPECT_THROW(Finite(1.0 / zero), NumericalFault);
    EXPECT_THROW(Finite(zero / zero), NumericalFault);
    EXPECT_THROW(Finite(std::exp(1000.0)), NumericalFault);
    EXPECT_THROW(Finite(std::log(zero)), NumericalFault);
}

TEST(NumericalFault, SixteenBitCountsOverflow)
{
    EXPECT_EQ(Count16(32767), 32767);
    EXPECT_EQ(Count16(-32768), -32768);
    EXPECT_THROW(Count16(32768), NumericalFault);
    EXPECT_THROW(Count16(-32769), NumericalFault);

    std::int16_t count = 32766;
    Increment16(count);
    EXPECT_EQ(count, 32767);
    EXPECT_THROW(Increment16(count), NumericalFault);
    EXPECT_EQ(count, 32767);
}

TEST(NumericalFault, IndexOutsideTheBoundsFaults)
{
    std::vector<double> v{1, 2, 3};
    At(v, 2) = 9;
    EXPECT_EQ(v[2], 9);
    EXPECT_THROW(At(v, 3), NumericalFault);
    EXPECT_THROW(At(v, -1), NumericalFault);

    // A mixture's component data: an index at the component count faults.
    const Mixture mixture = BuiltInMixture();
    ASSERT_EQ(mixture.Count(), 3);
    EXPECT_EQ(mixture.Pc(2), 24.97);
    EXPECT_EQ(mixture.Kij(2, 1), 0.0);
    EXPECT_THROW(mixture.Tc(3), NumericalFault);
    EXPECT_THROW(mixture.Pc(3), NumericalFault);
    EXPECT_THROW(mixture.Omega(3), NumericalFault);
    EXPECT_THROW(mixture.Z(3), NumericalFault);
    EXPECT_THROW(mixture.Kij(3, 0), NumericalFault);
    EXPECT_THROW(mixture.Kij(0, 3), NumericalFault);
    EXPECT_THROW(mixture.Tc(-1), NumericalFault);
}
