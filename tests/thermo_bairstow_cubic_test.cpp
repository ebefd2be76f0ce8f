// The root finder on cubics, where the equation of state's cubic Z^3 - Z^2 +
// ... takes a path of its own: every root, every deflated coefficient and
// every pass count must be the ones a plain transcription of the method gives,
// to the last bit, and the numerical checks must still fire.
#include <array>
#include <cmath>
#include <cstdint>
#include <initializer_list>
#include <vector>

#include <gtest/gtest.h>

#include "thermo/bairstow.h"
#include "thermo/numerical_fault.h"

using namespace envelope;

namespace {

struct CubicResult {
    std::array<double, 4> a{};
    std::array<double, 3> re{};
    std::array<double, 3> im{};
    long long passes = 0;
    bool faulted = false; // a value on the way was not finite
};

// The method written out for degree 3 with nothing but plain doubles: one
// quadratic factor from r = s = 1 (again from r = s = 0 when 1000 passes do not
// meet the test), deflation, then the linear remainder. It stops at the first
// value that is not finite, where the root finder raises the fault.
CubicResult Reference(const std::array<double, 4>& coefficients)
{
    CubicResult result;
    std::array<double, 4>& a = result.a;
    a = coefficients;
    std::array<double, 4> b{};
    std::array<double, 4> c{};
    double r = 1.0;
    double s = 1.0;
    const auto finite = [&](std::initializer_list<double> values) {
        for (double v : values)
            result.faulted = result.faulted || !std::isfinite(v);
        return !result.faulted;
    };
    const auto unconverged = [&] { return std::fabs(b[1]) > 1e-5 || std::fabs(b[0]) > 1e-5; };
    const auto iterate = [&] {
        b[1] = 1.0;
        for (int passes = 0; unconverged() && passes < 1000; ++passes) {
            b[3] = a[3];
            b[2] = a[2] + r * b[3];
            b[1] = a[1] + r * b[2] + s * b[3];
            b[0] = a[0] + r * b[1] + s * b[2];
            c[3] = b[3];
            c[2] = b[2] + r * c[3];
            c[1] = b[1] + r * c[2] + s * c[3];
            const double det = c[2] * c[2] - c[3] * c[1];
            const double dr = (b[0] * c[3] - b[1] * c[2]) / det;
            const double ds = (b[1] * c[1] - b[0] * c[2]) / det;
            r = r + dr;
            s = s + ds;
            if (!finite({b[2], b[1], b[0], c[2], c[1], det, dr, ds, r, s}))
                return false;
            ++result.passes;
        }
        return !unconverged();
    };
    if (!iterate() && !result.faulted) {
        r = 0.0;
        s = 0.0;
        if (!iterate())
            result.faulted = true;
    }
    if (result.faulted)
        return result;
    a[0] = b[2];
    a[1] = b[3];
    const double d = r * r + 4 * s;
    if (d >= 0) {
        result.re[0] = (r + std::sqrt(d)) / 2;
        result.re[1] = (r - std::sqrt(d)) / 2;
    } else {
        result.re[0] = r / 2;
        result.re[1] = r / 2;
        result.im[0] = std::sqrt(-d) / 2;
        result.im[1] = -std::sqrt(-d) / 2;
    }
    result.re[2] = -a[0] / a[1];
    finite({d, result.re[0], result.re[1], result.im[0], result.im[1], result.re[2]});
    return result;
}

CubicResult Solve(const std::array<double, 4>& coefficients)
{
    CubicResult result;
    result.a = coefficients;
    result.re.fill(-99.0);
    result.im.fill(-99.0);
    try {
        BairstowRoots(result.a, result.re, result.im, result.passes);
    } catch (const NumericalFault&) {
        result.faulted = true;
    }
    return result;
}

// Bit for bit: the same doubles, not merely close ones. After a fault only the
// passes made before it are compared.
void ExpectSameResult(const CubicResult& expected, const CubicResult& actual)
{
    EXPECT_EQ(expected.passes, actual.passes);
    ASSERT_EQ(expected.faulted, actual.faulted);
    if (expected.faulted)
        return;
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(expected.re[k], actual.re[k]) << "root " << k;
        EXPECT_EQ(expected.im[k], actual.im[k]) << "root " << k;
    }
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(expected.a[k], actual.a[k]) << "coefficient " << k;
}

// A and B of the equation of state over the range a run reaches and beyond,
// logarithmically spaced.
std::vector<double> Range(double from, double to, int count)
{
    std::vector<double> values;
    for (int k = 0; k < count; ++k)
        values.push_back(from * std::pow(to / from, k / (count - 1.0)));
    return values;
}

} // namespace

TEST(BairstowCubic, EquationOfStateCubicsMatchThePlainMethodBitForBit)
{
    int restarted = 0;
    int fewPasses = 0;
    int faulted = 0;
    for (double A : Range(1e-4, 20.0, 36)) {
        for (double B : Range(1e-4, 1.0, 36)) {
            const std::array<double, 4> cubic{-A * B, A - B * (1 + B), -1.0, 1.0};
            SCOPED_TRACE(testing::Message() << "A = " << A << ", B = " << B);
            const CubicResult expected = Reference(cubic);
            ExpectSameResult(expected, Solve(cubic));
            restarted += !expected.faulted && expected.passes > 1000;
            fewPasses += !expected.faulted && expected.passes < 10;
            faulted += expected.faulted;
        }
    }
    // The grid reaches the quickly converging cubics, the ones that need the
    // restart from r = s = 0 and ones where the iteration runs into a fault.
    EXPECT_GT(restarted, 0);
    EXPECT_GT(fewPasses, 0);
    EXPECT_GT(faulted, 0);
}

TEST(BairstowCubic, OtherCubicsMatchThePlainMethodBitForBit)
{
    // Leading coefficients other than (1, -1): the general path.
    for (const std::array<double, 4>& cubic : {std::array<double, 4>{-6, 11, -6, 1}, std::array<double, 4>{0.01, 0.3, -1, 2},
                                              std::array<double, 4>{-0.002, 0.05, -1.5, 1}, std::array<double, 4>{1, 0, 0, 1}}) {
        SCOPED_TRACE(testing::Message() << cubic[0] << ", " << cubic[1] << ", " << cubic[2] << ", " << cubic[3]);
        ExpectSameResult(Reference(cubic), Solve(cubic));
    }
}

TEST(BairstowCubic, EquationOfStateCubicStillFaultsOnAZeroDeterminant)
{
    // From r = s = 1 the first pass of Z^3 - Z^2 - 2Z + a0 has c[2] = 1 and
    // c[1] = 1, so det = 0 and the correction divides by zero.
    std::array<double, 4> a{0.5, -2.0, -1.0, 1.0};
    std::array<double, 3> re{}, im{};
    long long passes = 0;
    EXPECT_THROW(BairstowRoots(a, re, im, passes), NumericalFault);
    EXPECT_EQ(passes, 0);
}
