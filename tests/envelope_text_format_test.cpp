// The table texts: the two three-decimal patterns, the shortest form and the
// read-back rule that the spline knots depend on.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "envelope/text_format.h"
#include "thermo/numerical_fault.h"

namespace envelope {
namespace {

TEST(ThreeDecimals, BothPatternsOnWholeHalvesAndValuesBelowOne)
{
    EXPECT_EQ(FormatThreeDecimals(2.0), "2.");
    EXPECT_EQ(FormatThreeDecimals(2.5), "2.5");
    EXPECT_EQ(FormatThreeDecimals(0.5), ".5");
    EXPECT_EQ(FormatThreeDecimals(-1.5), "-1.5");
    EXPECT_EQ(FormatThreeDecimals(-0.5), "-.5");
    EXPECT_EQ(FormatThreeDecimals(0.0), ".");
    EXPECT_EQ(FormatThreeDecimals(1234567.0), "1234567.");
    EXPECT_EQ(FormatThreeDecimalsPadded(2.0), "002.");
    EXPECT_EQ(FormatThreeDecimalsPadded(2.5), "002.5");
    EXPECT_EQ(FormatThreeDecimalsPadded(0.5), "000.5");
    EXPECT_EQ(FormatThreeDecimalsPadded(0.0), "000.");
    EXPECT_EQ(FormatThreeDecimalsPadded(-1.5), "-001.5");
    EXPECT_EQ(FormatThreeDecimalsPadded(1234.5), "1234.5");
}

TEST(ThreeDecimals, RoundsTheExactBinaryValueToNearest)
{
    // 1.0005 is stored just below the half, 2.0005 and 0.0005 just above it.
    EXPECT_EQ(FormatThreeDecimals(1.0005), "1.");
    EXPECT_EQ(FormatThreeDecimals(2.0005), "2.001");
    EXPECT_EQ(FormatThreeDecimals(0.0005), ".001");
    EXPECT_EQ(FormatThreeDecimals(1.2345), "1.234");
    // Carries across the point and into a new integer digit.
    EXPECT_EQ(FormatThreeDecimals(0.9995), "1.");
    EXPECT_EQ(FormatThreeDecimals(999.9995), "1000.");
    EXPECT_EQ(FormatThreeDecimalsPadded(99.99951), "100.");
    EXPECT_EQ(FormatThreeDecimals(-2.0005), "-2.001");
}

TEST(ThreeDecimals, ExactHalvesRoundAwayFromZero)
{
    // Odd multiples of 1/16 are the only doubles exactly halfway between two
    // thousandths; rounding to even would give .062, 2.312 and .562.
    EXPECT_EQ(FormatThreeDecimals(0.0625), ".063");
    EXPECT_EQ(FormatThreeDecimals(2.3125), "2.313");
    EXPECT_EQ(FormatThreeDecimals(-0.0625), "-.063");
    EXPECT_EQ(FormatThreeDecimalsPadded(-2.3125), "-002.313");
    EXPECT_EQ(FormatThreeDecimals(1048576.4375), "1048576.438");
    // Up to the largest tie, 2^49 - 1/16, where 1000 times the value is no
    // longer exact in a double.
    EXPECT_EQ(FormatThreeDecimals(1099511627776.0625), "1099511627776.063");
    EXPECT_EQ(FormatThreeDecimals(-(0x1p49 - 0.0625)), "-562949953421311.938");
    EXPECT_EQ(FormatThreeDecimals(0x1p49 + 0.125), "562949953421312.125");
    // Neighbours of a half round to their nearer side.
    EXPECT_EQ(FormatThreeDecimals(std::nextafter(0.0625, 0.0)), ".062");
    EXPECT_EQ(FormatThreeDecimals(std::nextafter(0.0625, 1.0)), ".063");
}

TEST(ThreeDecimals, NegativeValueRoundingToZeroKeepsItsSign)
{
    EXPECT_EQ(FormatThreeDecimals(-0.0004), "-.");
    EXPECT_EQ(FormatThreeDecimalsPadded(-0.0004), "-000.");
    EXPECT_EQ(FormatThreeDecimals(-0.0005), "-.001");
    // Negative zero is zero.
    EXPECT_EQ(FormatThreeDecimals(-0.0), ".");
    // Read back, as the spline knots are: "-." has no digits and reads 0, and
    // "-000." reads zero.
    EXPECT_EQ(ReadLeadingNumber(FormatThreeDecimals(-0.0004)), 0.0);
    EXPECT_EQ(ReadLeadingNumber(FormatThreeDecimalsPadded(-0.0004)), 0.0);
}

TEST(ThreeDecimals, NonFiniteValueIsANumericalFault)
{
    EXPECT_THROW(FormatThreeDecimals(std::numeric_limits<double>::infinity()), NumericalFault);
    EXPECT_THROW(FormatThreeDecimalsPadded(std::numeric_limits<double>::quiet_NaN()), NumericalFault);
    EXPECT_THROW(FormatShortest(-std::numeric_limits<double>::infinity()), NumericalFault);
}

TEST(ShortestForm, FifteenSignificantDigitsWithoutTrailingZeros)
{
    EXPECT_EQ(FormatShortest(2.0), "2");
    EXPECT_EQ(FormatShortest(2.5), "2.5");
    EXPECT_EQ(FormatShortest(-1.5), "-1.5");
    EXPECT_EQ(FormatShortest(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatShortest(1.0 / 3.0), "0.333333333333333");
    EXPECT_EQ(FormatShortest(123456789012345.0), "123456789012345");
    EXPECT_EQ(FormatShortest(-0.0), "0");
    EXPECT_EQ(FormatShortest(1e15), "1e+15");
    EXPECT_EQ(FormatShortest(1e-5), "1e-05");
}

TEST(ReadBack, LeadingDecimalNumber)
{
    EXPECT_EQ(ReadLeadingNumber("002."), 2.0);
    EXPECT_EQ(ReadLeadingNumber(".5"), 0.5);
    EXPECT_EQ(ReadLeadingNumber("-.5"), -0.5);
    EXPECT_EQ(ReadLeadingNumber("-001.5"), -1.5);
    EXPECT_EQ(ReadLeadingNumber("+3"), 3.0);
    EXPECT_EQ(ReadLeadingNumber(" \t 12.25 bar"), 12.25);
    EXPECT_EQ(ReadLeadingNumber("1,5"), 1.0);
    EXPECT_EQ(ReadLeadingNumber("1.2.3"), 1.2);
    EXPECT_EQ(ReadLeadingNumber("0x10"), 0.0);
}

TEST(ReadBack, ExponentNeedsDigits)
{
    EXPECT_EQ(ReadLeadingNumber("1e3"), 1000.0);
    EXPECT_EQ(ReadLeadingNumber("1E-2x"), 0.01);
    EXPECT_EQ(ReadLeadingNumber("2.5e+1"), 25.0);
    EXPECT_EQ(ReadLeadingNumber("2e"), 2.0);
    EXPECT_EQ(ReadLeadingNumber("2e+"), 2.0);
    EXPECT_EQ(ReadLeadingNumber("1e-999"), 0.0);
    EXPECT_THROW(ReadLeadingNumber("1e999"), NumericalFault);
    EXPECT_THROW(ReadLeadingNumber("-1e400"), NumericalFault);
}

TEST(ReadBack, NoLeadingNumberReadsZero)
{
    // The heading row reads as 0 bar at 0 degrees.
    EXPECT_EQ(ReadLeadingNumber(""), 0.0);
    EXPECT_EQ(ReadLeadingNumber("."), 0.0);
    EXPECT_EQ(ReadLeadingNumber("-."), 0.0);
    EXPECT_EQ(ReadLeadingNumber("P (bar)"), 0.0);
    EXPECT_EQ(ReadLeadingNumber("e5"), 0.0);
    EXPECT_EQ(ReadLeadingNumber("- 5"), 0.0);
}

TEST(ReadBack, TablePressureTextsSurviveTheRoundTrip)
{
    // The bubble rows carry "00#.###" read back and written in the shortest form:
    // the leading zeros go, the value stays that of the rounded text.
    EXPECT_EQ(FormatShortest(ReadLeadingNumber(FormatThreeDecimalsPadded(2.0))), "2");
    EXPECT_EQ(FormatShortest(ReadLeadingNumber(FormatThreeDecimalsPadded(2.5))), "2.5");
    EXPECT_EQ(FormatShortest(ReadLeadingNumber(FormatThreeDecimalsPadded(7.12349))), "7.123");
    EXPECT_EQ(FormatShortest(ReadLeadingNumber(FormatThreeDecimalsPadded(0.0625))), "0.063");
    for (double v = -300.0; v < 300.0; v += 0.7071) {
        const double back = ReadLeadingNumber(FormatThreeDecimals(v));
        EXPECT_LE(std::fabs(back - v), 0.0005 + 1e-12) << v;
        EXPECT_EQ(ReadLeadingNumber(FormatShortest(back)), back) << v;
        EXPECT_EQ(ReadLeadingNumber(FormatThreeDecimalsPadded(v)), back) << v;
    }
}

} // namespace
} // namespace envelope
