#pragma once
// Is a mixture of feed z at (T, P) stable as one phase? Michelsen's test of
// the tangent-plane distance (Fluid Phase Equilib. 9 (1982) 1-19): the feed
// is unstable when some trial phase w has
//
//   TPD(w) = sum_i w_i (ln w_i + ln phi_i(w) - ln z_i - ln phi_i(z)) < 0.
//
// Two trial phases start from Wilson's K-values, one vapour-like
// (W_i = z_i K_i) and one liquid-like (W_i = z_i / K_i); when neither finds
// a negative distance, one trial a component starts with it nearly pure
// (a dense phase of one light component, say). Each minimises
// the modified distance in the mole numbers W,
//
//   tm(W) = 1 + sum_i W_i (ln W_i + ln phi_i(W) - ln z_i - ln phi_i(z) - 1),
//
// whose stationary points are those of TPD and whose value is negative only
// where TPD is: first by successive substitution,
// ln W_i <- ln z_i + ln phi_i(z) - ln phi_i(W), then by Newton steps in
// alpha_i = 2 sqrt(W_i) with a Levenberg safeguard, every step accepted
// only where tm falls. A trial that heads for the feed itself (the trivial
// solution) stops there. Every loop is bounded.

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "condition/model.h"
#include "condition/phase.h"

namespace envelope::condition {

enum class TrialOutcome {
    Trivial,      // the trial phase came back to the feed
    Stationary,   // converged to a stationary point other than the feed
    NotConverged, // neither, within the iteration limit
};

struct TrialPhase {
    TrialOutcome outcome = TrialOutcome::NotConverged;
    // TPD of the last trial composition, and that composition (normalised).
    double distance = 0.0;
    std::vector<double> composition;
    int iterations = 0;
};

enum class Stability {
    Stable,    // no trial phase found a negative distance, and each converged
    Unstable,  // a trial phase has a negative distance: two phases or more
    Undecided, // no negative distance, but a trial did not converge
};

struct StabilityResult {
    Stability verdict = Stability::Undecided;
    TrialPhase vapourTrial, liquidTrial;
    // Where neither of those found a negative distance: the last of the
    // nearly pure trials, the first with a negative distance if one has.
    TrialPhase purerTrial{TrialOutcome::Trivial, 0.0, {}, 0};
    // The root the feed takes as one phase.
    PhaseLike feedPhase = PhaseLike::Unknown;
    // The feed as mole fractions (normalised).
    std::vector<double> feed;
};

// A distance below -NegativeDistance is negative; closer to zero it is the
// rounding of a trial phase at (or next to) the feed.
inline constexpr double NegativeDistance = 1e-10;

// The test for the mixture's feed at (T, P). The feed must be positive and
// finite, T and P positive and finite: otherwise, or when the model faults,
// NumericalFault.
StabilityResult TestStability(const Model& model, const Mixture& mixture, double T, double P);

// The same with the mixture's own model: true for stable, false for
// unstable, nothing when the test could not decide or could not be made.
std::optional<bool> IsStable(const Mixture& mixture, double T, double P);

// The mixture's feed as positive mole fractions summing to one; a feed of
// the wrong length, or with a fraction not finite or not above zero, raises
// NumericalFault.
std::vector<double> NormalisedFeed(const Mixture& mixture);

// Wilson's ln K_i at (T, P), the program's correlation.
std::vector<double> WilsonLnK(const Mixture& mixture, double T, double P);

} // namespace envelope::condition
