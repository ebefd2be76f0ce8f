// The memo of cubic roots must answer every cubic exactly as the root finder
// does, whether the answer is stored, replaced by another cubic's or new.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <string>

#include <gtest/gtest.h>

#include "thermo/bairstow.h"
#include "thermo/cubic_memo.h"
#include "thermo/numerical_fault.h"

using namespace envelope;

namespace {

struct Outcome {
    std::array<double, 4> a{};
    std::array<double, 3> re{};
    std::array<double, 3> im{};
    std::string fault; // empty when the call returned
};

template <class Solver>
Outcome Solve(const std::array<double, 4>& cubic, Solver solver)
{
    Outcome outcome;
    outcome.a = cubic;
    try {
        solver(outcome.a, outcome.re, outcome.im);
    } catch (const NumericalFault& fault) {
        outcome.fault = fault.what();
    }
    return outcome;
}

// Bit for bit; after a fault only the fault itself counts.
void ExpectSame(const Outcome& expected, const Outcome& actual)
{
    ASSERT_EQ(expected.fault, actual.fault);
    if (!expected.fault.empty())
        return;
    for (std::size_t k = 0; k < 4; ++k)
        EXPECT_EQ(std::bit_cast<std::uint64_t>(expected.a[k]), std::bit_cast<std::uint64_t>(actual.a[k])) << k;
    for (std::size_t k = 0; k < 3; ++k) {
        EXPECT_EQ(std::bit_cast<std::uint64_t>(expected.re[k]), std::bit_cast<std::uint64_t>(actual.re[k])) << k;
        EXPECT_EQ(std::bit_cast<std::uint64_t>(expected.im[k]), std::bit_cast<std::uint64_t>(actual.im[k])) << k;
    }
}

} // namespace

TEST(CubicRootMemo, AnswersLikeTheRootFinderWhenCubicsRepeatAndReplaceEachOther)
{
    // More distinct cubics than the memo has room for, over the range of the
    // equation of state's A and B and beyond (quick ones, restarted ones and
    // faulting ones), each solved twice in two rounds: later cubics take the
    // slots of earlier ones, and some answers of the second round come from
    // the memo.
    CubicRootMemo memo;
    const auto direct = [](std::array<double, 4>& a, std::array<double, 3>& re, std::array<double, 3>& im) {
        BairstowRoots(a, re, im);
    };
    const auto memoised = [&](std::array<double, 4>& a, std::array<double, 3>& re, std::array<double, 3>& im) {
        memo.Solve(a, re, im);
    };
    int faults = 0;
    for (int round = 0; round < 2; ++round) {
        for (int i = 0; i < 80; ++i) {
            for (int j = 0; j < 80; ++j) {
                const double A = 1e-4 * std::pow(2e5, i / 79.0);
                const double B = 1e-4 * std::pow(1e4, j / 79.0);
                const std::array<double, 4> cubic{-A * B, A - B * (1 + B), -1.0, 1.0};
                SCOPED_TRACE(testing::Message() << "A = " << A << ", B = " << B << ", round " << round);
                const Outcome expected = Solve(cubic, direct);
                faults += !expected.fault.empty();
                ExpectSame(expected, Solve(cubic, memoised));
                ExpectSame(expected, Solve(cubic, memoised)); // at once again: from the memo
            }
        }
    }
    EXPECT_GT(faults, 0);
    EXPECT_GE(memo.Hits(), 2 * 6400);
    EXPECT_LT(memo.Misses(), 2 * 6400); // some of the second round were still stored
}

TEST(CubicRootMemo, RepeatedFaultIsRaisedAgainWithoutIterating)
{
    // From r = s = 1 the first pass of Z^3 - Z^2 - 2Z + 0.5 divides by a zero
    // determinant.
    CubicRootMemo memo;
    std::array<double, 4> a{0.5, -2.0, -1.0, 1.0};
    std::array<double, 3> re{}, im{};
    std::string first;
    try {
        memo.Solve(a, re, im);
    } catch (const NumericalFault& fault) {
        first = fault.what();
    }
    ASSERT_FALSE(first.empty());
    a = {0.5, -2.0, -1.0, 1.0};
    const long long passes = BairstowPassCount();
    try {
        memo.Solve(a, re, im);
        ADD_FAILURE() << "no fault from the memo";
    } catch (const NumericalFault& fault) {
        EXPECT_EQ(first, fault.what());
    }
    EXPECT_EQ(BairstowPassCount(), passes);
    EXPECT_EQ(memo.Hits(), 1);
}
