// The checks that raise the numerical fault.
#include <array>
#include <cmath>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

#include "thermo/numerical_fault.h"
#include "thermo/properties.h"

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

    // The property tables hold exactly three entries.
    EXPECT_EQ(CriticalTemperature.size(), 3u);
    EXPECT_THROW(At(CriticalPressure, 3), NumericalFault);
}
