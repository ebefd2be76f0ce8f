#pragma once
// Check a condition: is the feed at (T, P) one phase or two, and how much of
// it is vapour? The stability test decides; only an unstable feed is
// flashed, and a split is reported only when the flash converged and its
// result passes every check below, recomputed from the numbers reported.
// Anything else is a failure, with its reason, never a guess.

#include <limits>
#include <span>
#include <string>
#include <vector>

#include "condition/model.h"
#include "condition/phase.h"

namespace envelope::condition {

enum class PointPhases {
    One,
    Two,
    Failed, // the check could not be made or not verified: see reason
};

struct ConditionCheck {
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
    PointPhases phases = PointPhases::Failed;
    // For one phase: the root the feed takes (Unknown where the cubic has
    // one root only).
    PhaseLike onePhase = PhaseLike::Unknown;
    // For two phases: the vapour's share of the feed, in (0, 1); NaN otherwise.
    double vapourFraction = std::numeric_limits<double>::quiet_NaN();
    // The feed (normalised), and for two phases the liquid and the vapour;
    // mole fractions in the mixture's component order.
    std::vector<double> feed, liquid, vapour;
    // The least tangent-plane distance the stability test found (negative
    // for two phases).
    double distance = std::numeric_limits<double>::quiet_NaN();
    // Why the check failed; empty otherwise.
    std::string reason;
};

// The check with the model given (of the mixture's components) for the
// mixture's feed. Never throws: a fault of the model, a bad feed or
// condition, an undecided stability test or a flash that did not converge
// or did not verify are a Failed check.
ConditionCheck CheckCondition(const Model& model, const Mixture& mixture, double T, double P);

// The same with the cubic model given (SRK unless another is) bound to the
// mixture's components.
ConditionCheck CheckCondition(const Mixture& mixture, double T, double P,
                              const CubicModel& eos = SoaveRedlichKwong);

// The range of a condition a user may ask for.
inline constexpr double MinConditionTemperature = 1.0;   // K
inline constexpr double MaxConditionTemperature = 1e4;   // K
inline constexpr double MinConditionPressure = 1e-3;     // bar
inline constexpr double MaxConditionPressure = 1e4;      // bar

// What is wrong with a condition a user gives (a value not finite or out of
// the range above), in words; empty when it can be checked.
std::string ConditionInputProblem(double T, double P);

} // namespace envelope::condition
