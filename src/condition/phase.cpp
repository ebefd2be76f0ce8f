#include "condition/phase.h"

#include <cmath>
#include <utility>

namespace envelope::condition {

double ReducedGibbsEnergy(std::span<const double> n, std::span<const double> lnPhi)
{
    double total = 0.0;
    for (double v : n)
        total += v;
    double g = 0.0;
    for (std::size_t i = 0; i < n.size(); ++i)
        if (n[i] > 0.0)
            g += n[i] * (std::log(n[i] / total) + lnPhi[i]);
    return Finite(g);
}

PhaseLike EvaluatePhase(const Model& model, double T, double P, std::span<const double> n, bool derivatives,
                        trace::PhaseState& out, PhaseWork& work)
{
    model.Evaluate(T, P, n, trace::RootKind::Vapour, derivatives, out);
    model.Evaluate(T, P, n, trace::RootKind::Liquid, derivatives, work.other);
    if (work.other.Z == out.Z)
        return PhaseLike::Unknown;
    // Both roots at one composition: the ideal parts are equal, so the
    // residual parts decide.
    double vapour = 0.0, liquid = 0.0;
    for (std::size_t i = 0; i < n.size(); ++i) {
        vapour += n[i] * out.lnPhi[i];
        liquid += n[i] * work.other.lnPhi[i];
    }
    if (liquid < vapour) {
        std::swap(out, work.other);
        return PhaseLike::Liquid;
    }
    return PhaseLike::Vapour;
}

} // namespace envelope::condition
