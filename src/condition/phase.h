#pragma once
// One phase of given mole numbers at (T, P), on the root of the cubic with
// the lower Gibbs energy where the cubic has two physical roots.

#include <span>

#include "condition/model.h"

namespace envelope::condition {

// What the root a phase takes says about it.
enum class PhaseLike {
    Liquid,  // the smaller of two physical roots has the lower Gibbs energy
    Vapour,  // the larger one has
    Unknown, // the cubic has one physical root: no distinction at (T, P)
};

// The workspace of EvaluatePhase, reused from call to call.
struct PhaseWork {
    trace::PhaseState other;
};

// ln phi (and, when asked, its derivatives) of the phase with mole numbers n
// into out, on the root of lower Gibbs energy; returns which root it took.
// Faults of the model propagate.
PhaseLike EvaluatePhase(const Model& model, double T, double P, std::span<const double> n, bool derivatives,
                        trace::PhaseState& out, PhaseWork& work);

// sum_i n_i (ln n_i / N + ln phi_i): the reduced Gibbs energy of mixing and
// residual of the phase, the pressure term left out.
double ReducedGibbsEnergy(std::span<const double> n, std::span<const double> lnPhi);

} // namespace envelope::condition
