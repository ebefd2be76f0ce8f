#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>
#include <limits>
#include <vector>

#include "spline/tridiagonal.h"

namespace envelope {
namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// A system with one row per initializer: sub-diagonal, diagonal,
// super-diagonal, right-hand side.
TridiagonalSystem System(std::initializer_list<std::initializer_list<double>> rows)
{
    TridiagonalSystem A(rows.size(), 4);
    long long r = 0;
    for (const auto& row : rows) {
        long long c = 0;
        for (double v : row)
            A(r, c++) = v;
        ++r;
    }
    return A;
}

TEST(SolveLinearSystem, ReducesTheWorkedSystemInPlace)
{
    // The outer entries A(0,0), A(2,2) and the spare row 3 are never read.
    TridiagonalSystem A = System({{NaN, 2, 1, 3}, {1, 2, 1, 4}, {1, 2, NaN, 3}, {NaN, NaN, NaN, NaN}});
    std::vector<double> X(3, -7.0);
    SolveLinearSystem(A, X);

    for (double u : X)
        EXPECT_NEAR(u, 1.0, 1e-15);
    EXPECT_EQ(A(1, 0), 0.5);
    EXPECT_EQ(A(1, 1), 1.5);
    EXPECT_NEAR(A(2, 0), 2.0 / 3.0, 1e-15);
    EXPECT_NEAR(A(2, 1), 4.0 / 3.0, 1e-15);
    EXPECT_EQ(A(0, 2), 1.0);
    EXPECT_EQ(A(1, 2), 1.0);
    for (long long i = 0; i < 3; ++i)
        EXPECT_EQ(A(i, 3), X[static_cast<std::size_t>(i)]);
    EXPECT_TRUE(std::isnan(A(3, 1)));
}

TEST(SolveLinearSystem, SingleEquationIsOneDivision)
{
    TridiagonalSystem A = System({{NaN, 4, NaN, 3}});
    std::vector<double> X(1);
    SolveLinearSystem(A, X);
    EXPECT_EQ(X[0], 0.75);
}

TEST(SolveLinearSystem, ZeroPivotFaultsWithoutTouchingTheSolution)
{
    // A zero first pivot (solvable with a row exchange), a zero reduced pivot
    // and a lone 0/0 equation all fault; X keeps the caller's values.
    const TridiagonalSystem cases[] = {
        System({{0, 0, 1, 1}, {1, 1, 0, 2}}),
        System({{0, 1, 1, 2}, {1, 1, 1, 3}, {1, 1, 0, 2}}),
        System({{0, 0, 0, 0}}),
    };
    for (TridiagonalSystem A : cases) {
        std::vector<double> X(A.rows(), -7.0);
        EXPECT_THROW(SolveLinearSystem(A, X), NumericalFault);
        EXPECT_EQ(X, std::vector<double>(A.rows(), -7.0));
    }
}

TEST(SolveLinearSystem, SizeFromSolutionFaultsWhenOutOfRange)
{
    std::vector<double> none;
    TridiagonalSystem one = System({{0, 1, 0, 1}});
    EXPECT_THROW(SolveLinearSystem(one, none), NumericalFault);

    std::vector<double> two(2);
    EXPECT_THROW(SolveLinearSystem(one, two), NumericalFault); // A has too few rows

    // 32,767 equations is the largest count; one more faults before A changes.
    TridiagonalSystem large(32768, 4);
    for (long long i = 0; i < 32768; ++i) {
        large(i, 1) = 4;
        large(i, 3) = 4;
    }
    const TridiagonalSystem before = large;
    std::vector<double> tooMany(32768);
    EXPECT_THROW(SolveLinearSystem(large, tooMany), NumericalFault);
    EXPECT_TRUE(large == before);

    std::vector<double> most(32767);
    SolveLinearSystem(large, most);
    EXPECT_EQ(most.front(), 1.0);
    EXPECT_EQ(most.back(), 1.0);
}

} // namespace
} // namespace envelope
