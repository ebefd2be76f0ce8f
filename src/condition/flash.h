#pragma once
// The two-phase split of a feed z at (T, P) that the stability test found
// unstable (Michelsen, Fluid Phase Equilib. 9 (1982) 21-40): successive
// substitution on ln K_i = ln phi_i(x) - ln phi_i(y), each step's vapour
// fraction from the Rachford-Rice equation, accelerated every fifth step by
// extrapolation along the dominant eigenvalue of the iteration; then, where
// substitution is slow, Newton steps on the Gibbs energy in the vapour's
// mole numbers, each cut back until the Gibbs energy falls. Every phase
// takes the root of the cubic with the lower Gibbs energy. Every loop is
// bounded.

#include <span>
#include <string>
#include <vector>

#include "condition/model.h"
#include "condition/stability.h"

namespace envelope::condition {

struct FlashResult {
    bool converged = false;
    double vapourFraction = 0.0;
    // Liquid x and vapour y; the vapour is the phase of the larger molar
    // volume.
    std::vector<double> liquid, vapour;
    int iterations = 0;
    // Why it did not converge.
    std::string reason;
};

// The split of z from the K-values exp(lnK). Model faults propagate.
FlashResult TwoPhaseFlash(const Model& model, std::span<const double> z, double T, double P,
                          std::vector<double> lnK);

// The K-values a flash starts from after an unstable test: from the trial
// phase(s) of negative distance, y/x of the vapour-like against the
// liquid-like one, or either against the feed.
std::vector<double> FlashStartLnK(const StabilityResult& stability);

} // namespace envelope::condition
