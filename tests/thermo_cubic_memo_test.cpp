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
    memo.Enable();
    long long passes = 0;
    const auto direct = [&](std::array<double, 4>& a, std::array<double, 3>& re, std::array<double, 3>& im) {
        BairstowRoots(a, re, im, passes);
    };
    const auto memoised = [&](std::array<double, 4>& a, std::array<double, 3>& re, std::array<double, 3>& im) {
        memo.Solve(a, re, im, passes);
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
    // Coefficients of order 1e14: neither start of the iteration meets the
    // absolute test, and the root finder faults after 2000 passes.
    CubicRootMemo memo;
    memo.Enable();
    const std::array<double, 4> cubic{99808103093054.719, -52782204740366.156, -20683854767478.137, 100000000000000};
    std::array<double, 4> a = cubic;
    std::array<double, 3> re{}, im{};
    long long passes = 0;
    std::string first;
    try {
        memo.Solve(a, re, im, passes);
    } catch (const NumericalFault& fault) {
        first = fault.what();
    }
    ASSERT_FALSE(first.empty());
    EXPECT_EQ(passes, 2000);
    a = cubic;
    try {
        memo.Solve(a, re, im, passes);
        ADD_FAILURE() << "no fault from the memo";
    } catch (const NumericalFault& fault) {
        EXPECT_EQ(first, fault.what());
        EXPECT_EQ(fault.kind(), FaultKind::NotConverged);
    }
    EXPECT_EQ(passes, 2000);
    EXPECT_EQ(memo.Hits(), 1);
}

TEST(CubicRootMemo, OffUntilEnabled)
{
    CubicRootMemo memo;
    std::array<double, 4> a{-6, 11, -6, 1};
    std::array<double, 3> re{}, im{};
    long long passes = 0;
    memo.Solve(a, re, im, passes);
    a = {-6, 11, -6, 1};
    memo.Solve(a, re, im, passes);
    EXPECT_EQ(passes, 6); // three passes each time
    EXPECT_EQ(memo.Hits(), 0);
}
