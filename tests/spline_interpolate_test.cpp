#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "spline/spline.h"

namespace envelope {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();
const double Untouched = -7.0;

// A coefficient table as the run allocates it (rows 0-10, columns 0-4),
// prefilled so that every cell written can be told apart.
SplineCoefficients Table(std::size_t rows = 11, std::size_t columns = 5)
{
    SplineCoefficients C(rows, columns);
    for (std::size_t i = 0; i < rows; ++i)
        for (std::size_t j = 0; j < columns; ++j)
            C(static_cast<long long>(i), static_cast<long long>(j)) = Untouched;
    return C;
}

std::vector<double> Row(const SplineCoefficients& C, long long i)
{
    return {C(i, 0), C(i, 1), C(i, 2), C(i, 3)};
}

TEST(SplineInterpolate, WorkedNaturalExample)
{
    SplineCoefficients C = Table();
    SplineInterpolate(std::vector<double>{0, 1, 2, 99}, std::vector<double>{0, 1, 0, 99}, C, NaturalSpline);
    EXPECT_EQ(Row(C, 0), (std::vector<double>{-0.5, 0, 1.5, 0}));
    EXPECT_EQ(Row(C, 1), (std::vector<double>{0.5, -1.5, 0, 1}));
    EXPECT_EQ(Row(C, 2), std::vector<double>(4, Untouched));
    EXPECT_EQ(C(0, 4), Untouched);
}

TEST(SplineInterpolate, SingleEquationUsesTheLastRowValues)
{
    // h = (1, 2), right-hand side -9. Natural: diagonal 6, M = (0, -1.5, 0).
    // Not-a-knot: the last-row diagonal 12 stands, M(1) = -0.75, then
    // M(0) = -1.125 while M(2) is still 0, and then M(2) = 0.
    const std::vector<double> x{0, 1, 3, NaN};
    const std::vector<double> y{0, 1, 0, NaN};
    SplineCoefficients C = Table();
    SplineInterpolate(x, y, C, NaturalSpline);
    EXPECT_EQ(Row(C, 0), (std::vector<double>{-0.25, 0, 1.25, 0}));
    EXPECT_EQ(Row(C, 1), (std::vector<double>{0.125, -0.75, 0.5, 1}));

    SplineInterpolate(x, y, C, NotAKnotSpline);
    EXPECT_EQ(Row(C, 0), (std::vector<double>{0.0625, -0.5625, 1.5, 0}));
    EXPECT_EQ(Row(C, 1), (std::vector<double>{0.0625, -0.375, 0, 1}));
}

TEST(SplineInterpolate, StraightLineIsReproducedExactly)
{
    std::vector<double> x, y;
    for (int i = 0; i < 11; ++i) {
        x.push_back(i);
        y.push_back(2 * i + 1);
    }
    for (std::int16_t code : {NaturalSpline, ParabolicRunoutSpline, NotAKnotSpline}) {
        SplineCoefficients C = Table();
        SplineInterpolate(x, y, C, code);
        for (long long i = 0; i < 9; ++i)
            EXPECT_EQ(Row(C, i), (std::vector<double>{0, 0, 2, y[static_cast<std::size_t>(i)]})) << code;
    }
}

// Knots shaped like the run's: 11 entries, the last never read.
struct Knots {
    const char* name;
    std::vector<double> x, y;
};

const Knots IrregularKnots[] = {
    {"increasing", {2.0, 3.5, 7.25, 8.0, 12.0, 20.5, 21.0, 30.0, 33.3, 40.0, NaN},
     {150, 162, 190, 195, 214, 240, 241.5, 262, 266, 275, NaN}},
    {"decreasing", {60, 55.5, 49, 47, 40, 31, 30.2, 22, 15, 9, NaN},
     {380, 371, 360, 352, 341, 330, 329, 310, 295, 281, NaN}},
    {"turning", {10, 14, 19, 25, 32, 30, 24, 17, 11, 6, NaN},
     {200, 220, 245, 270, 300, 330, 350, 365, 372, 376, NaN}},
};

TEST(SplineInterpolate, CubicsJoinSmoothlyForEveryEndCondition)
{
    const long long n = 9;
    for (const Knots& k : IrregularKnots) {
        for (std::int16_t code : {NaturalSpline, ParabolicRunoutSpline, NotAKnotSpline}) {
            SCOPED_TRACE(testing::Message() << k.name << ", code " << code);
            SplineCoefficients C = Table();
            SplineInterpolate(k.x, k.y, C, code);

            // Value, slope and curvature of segment i at its far end.
            auto h = [&](long long i) { return k.x[i + 1] - k.x[i]; };
            auto value = [&](long long i) {
                return ((C(i, 0) * h(i) + C(i, 1)) * h(i) + C(i, 2)) * h(i) + C(i, 3);
            };
            auto slope = [&](long long i) { return (3 * C(i, 0) * h(i) + 2 * C(i, 1)) * h(i) + C(i, 2); };
            auto curvature = [&](long long i) { return 6 * C(i, 0) * h(i) + 2 * C(i, 1); };

            for (long long i = 0; i < n; ++i) {
                EXPECT_EQ(C(i, 3), k.y[i]);
                EXPECT_NEAR(value(i), k.y[i + 1], 1e-10 * std::fabs(k.y[i + 1]));
            }
            for (long long j = 1; j < n; ++j) {
                EXPECT_NEAR(curvature(j - 1), 2 * C(j, 1), 1e-10);
                EXPECT_NEAR(slope(j - 1), C(j, 2), 1e-10);
            }
            if (code == NaturalSpline) {
                EXPECT_EQ(C(0, 1), 0.0);
                EXPECT_NEAR(curvature(n - 1), 0.0, 1e-10);
            } else if (code == ParabolicRunoutSpline) {
                EXPECT_EQ(C(0, 0), 0.0);
                EXPECT_EQ(C(n - 1, 0), 0.0);
            } else {
                EXPECT_NEAR(C(0, 0), C(1, 0), 1e-12);
                EXPECT_NEAR(C(n - 2, 0), C(n - 1, 0), 1e-12);
            }

            // Rows 9 and 10 and column 4 stay the caller's; entry 10 plays no part.
            for (long long i = 0; i < 11; ++i)
                EXPECT_EQ(C(i, 4), Untouched);
            EXPECT_EQ(Row(C, 9), std::vector<double>(4, Untouched));
            EXPECT_EQ(Row(C, 10), std::vector<double>(4, Untouched));
            std::vector<double> x = k.x, y = k.y;
            x[10] = 1e6;
            y[10] = -5;
            SplineCoefficients other = Table();
            SplineInterpolate(x, y, other, code);
            EXPECT_TRUE(other == C);
        }
    }
}

TEST(SplineInterpolate, FaultsLeaveTheCallersTableUnchanged)
{
    const Knots& k = IrregularKnots[0];
    std::vector<double> equal = k.x;
    equal[4] = equal[3];
    const std::vector<double> shortX(k.x.begin(), k.x.begin() + 3);
    const std::vector<double> shortY(k.y.begin(), k.y.begin() + 9);
    std::vector<double> huge(32770), hugeY(32770);
    for (std::size_t i = 0; i < huge.size(); ++i)
        huge[i] = static_cast<double>(i);

    struct Case {
        const char* name;
        const std::vector<double>& x;
        const std::vector<double>& y;
        std::int16_t code;
        SplineCoefficients table;
    };
    const Case cases[] = {
        {"equal abscissae", equal, k.y, NaturalSpline, Table()},
        {"code 2", k.x, k.y, 2, Table()},
        {"code 0", k.x, k.y, 0, Table()},
        {"three entries", shortX, k.y, NaturalSpline, Table()},
        {"y too short", k.x, shortY, NaturalSpline, Table()},
        {"eight rows", k.x, k.y, NaturalSpline, Table(8, 5)},
        {"three columns", k.x, k.y, NaturalSpline, Table(11, 3)},
        {"32,768 segments", huge, hugeY, NaturalSpline, Table(32768, 4)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SplineCoefficients C = c.table;
        EXPECT_THROW(SplineInterpolate(c.x, c.y, C, c.code), NumericalFault);
        EXPECT_TRUE(C == c.table);
    }

    // One entry fewer gives 32,767 segments, the largest count.
    huge.pop_back();
    SplineCoefficients C = Table(32767, 4);
    SplineInterpolate(huge, hugeY, C, NaturalSpline);
    EXPECT_EQ(Row(C, 32766), (std::vector<double>{0, 0, 0, 0}));
}

} // namespace
} // namespace envelope
