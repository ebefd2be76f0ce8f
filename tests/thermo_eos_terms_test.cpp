// Fugacity coefficients with the temperature terms kept by the caller across
// calls: every result must be the one a call that forms everything afresh
// gives, to the last bit, whatever the order of temperatures, phases and
// component counts, and after a fault.
#include <array>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "thermo/eos.h"
#include "thermo/eos_terms.h"
#include "thermo/numerical_fault.h"

using namespace envelope;

namespace {

struct Outcome {
    std::array<double, 3> phi{-1.0, -1.0, -1.0};
    bool faulted = false;
    bool operator==(const Outcome&) const = default;
};

Outcome Fresh(const Mixture& mixture, const std::vector<double>& x, double P, double T, std::int16_t phase)
{
    Outcome outcome;
    SolverWorkspace work;
    try {
        FugacityCoefficients(mixture, SoaveRedlichKwong, x, P, T, outcome.phi, phase, work);
    } catch (const NumericalFault&) {
        outcome.faulted = true;
    }
    return outcome;
}

Outcome Kept(const Mixture& mixture, const std::vector<double>& x, double P, double T, std::int16_t phase,
             TemperatureTerms& terms)
{
    Outcome outcome;
    SolverWorkspace work;
    try {
        FugacityCoefficients(mixture, SoaveRedlichKwong, x, P, T, outcome.phi, phase, terms, work);
    } catch (const NumericalFault&) {
        outcome.faulted = true;
    }
    return outcome;
}

class TemperatureTermsTest : public ::testing::Test {
protected:
    Outcome Fresh(const std::vector<double>& x, double P, double T, std::int16_t phase)
    {
        return ::Fresh(mixture, x, P, T, phase);
    }
    Outcome Kept(const std::vector<double>& x, double P, double T, std::int16_t phase, TemperatureTerms& terms)
    {
        return ::Kept(mixture, x, P, T, phase, terms);
    }

    // Calls with one kept set of terms, in the given order, each compared
    // with a fresh call.
    void ExpectSameAsFresh(const std::vector<double>& temperatures, TemperatureTerms& terms)
    {
        const std::vector<std::vector<double>> compositions{feed, {0.9, 0.05, 0.05}, {0.001, 0.01, 0.989}};
        for (double T : temperatures)
            for (double P : {2.0, 10.0, 45.0})
                for (const std::vector<double>& x : compositions)
                    for (std::int16_t phase : {LiquidPhase, VapourPhase}) {
                        SCOPED_TRACE(testing::Message() << "T = " << T << ", P = " << P << ", phase " << phase);
                        EXPECT_EQ(Fresh(x, P, T, phase), Kept(x, P, T, phase, terms));
                    }
    }

    const Mixture mixture = BuiltInMixture();
    const std::vector<double> feed = mixture.feed;
};

} // namespace

TEST_F(TemperatureTermsTest, KeptTermsGiveTheFreshResultsAtOneAndAtChangingTemperatures)
{
    TemperatureTerms terms;
    ExpectSameAsFresh({400.0}, terms);
    EXPECT_TRUE(terms.formed);
    EXPECT_EQ(terms.temperature, 400.0);
    // Each temperature in turn, back and forth: the terms of the one before
    // must never be used for the next.
    ExpectSameAsFresh({300.0, 400.0, 300.0, 550.0, 180.0, 400.0 + 1e-13}, terms);
    EXPECT_EQ(terms.temperature, 400.0 + 1e-13);
}

TEST_F(TemperatureTermsTest, AnotherMixtureFormsTheTermsAgain)
{
    TemperatureTerms terms;
    const std::vector<double> x{0.4, 0.6};
    EXPECT_EQ(Fresh(feed, 10.0, 350.0, LiquidPhase), Kept(feed, 10.0, 350.0, LiquidPhase, terms));

    // Fewer components at the same temperature.
    Mixture pair = mixture;
    for (auto* list : {&pair.criticalTemperature, &pair.criticalPressure, &pair.acentricFactor, &pair.feed})
        list->pop_back();
    const Outcome fresh = ::Fresh(pair, x, 10.0, 350.0, VapourPhase);
    EXPECT_FALSE(fresh.faulted);
    EXPECT_EQ(fresh, ::Kept(pair, x, 10.0, 350.0, VapourPhase, terms));
    EXPECT_EQ(terms.count, 2);

    // As many components, other critical constants.
    Mixture other = mixture;
    other.criticalTemperature[2] = 540.0;
    const Outcome changed = ::Fresh(other, feed, 10.0, 350.0, LiquidPhase);
    EXPECT_NE(changed, Fresh(feed, 10.0, 350.0, LiquidPhase));
    EXPECT_EQ(changed, ::Kept(other, feed, 10.0, 350.0, LiquidPhase, terms));
}

TEST_F(TemperatureTermsTest, AFaultWhileFormingLeavesTheTermsUnformedAndPhiUntouched)
{
    TemperatureTerms terms;
    // A negative temperature has no square root of its reduced temperature.
    const Outcome bad = Kept(feed, 10.0, -50.0, LiquidPhase, terms);
    EXPECT_TRUE(bad.faulted);
    EXPECT_EQ(bad, Fresh(feed, 10.0, -50.0, LiquidPhase));
    EXPECT_FALSE(terms.formed);
    // The same call faults again, and a good temperature afterwards is not
    // disturbed by the failed attempt.
    EXPECT_TRUE(Kept(feed, 10.0, -50.0, LiquidPhase, terms).faulted);
    ExpectSameAsFresh({400.0}, terms);
}

TEST_F(TemperatureTermsTest, AFaultAfterFormingKeepsTheTermsForTheNextCall)
{
    TemperatureTerms terms;
    // A selector of 3 leaves Z = 0 and faults after the terms are formed.
    const Outcome bad = Kept(feed, 10.0, 400.0, 3, terms);
    EXPECT_TRUE(bad.faulted);
    EXPECT_EQ(bad, Fresh(feed, 10.0, 400.0, 3));
    EXPECT_TRUE(terms.formed);
    ExpectSameAsFresh({400.0}, terms);
}
