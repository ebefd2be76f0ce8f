#include "condition/flash.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "condition/phase.h"
#include "condition/rachford_rice.h"
#include "thermo/numerical_fault.h"
#include "trace/dense_lu.h"

namespace envelope::condition {

namespace {

constexpr int SubstitutionSteps = 100;
// Substitution hands over to Newton after this many steps when not done.
constexpr int SubstitutionBeforeNewton = 12;
constexpr int AccelerateEvery = 5;
constexpr int NewtonSteps = 30;
constexpr int StepHalvings = 30;
// Converged: every |ln f_i(vapour) - ln f_i(liquid)| below this.
constexpr double Tolerance = 1e-10;
// Below this residual a Newton step that shrinks it is kept even where the
// Gibbs energy does not fall: its change is lost in rounding there.
constexpr double NearSolution = 1e-6;
// The phases are one when the sum of (ln K_i)^2 falls below this.
constexpr double Trivial = 1e-8;

double Largest(std::span<const double> v)
{
    double largest = 0.0;
    for (double x : v)
        largest = std::max(largest, std::fabs(x));
    return largest;
}

// The split at one set of K-values: vapour fraction, compositions, both
// phases and the residuals r_i = ln K_i + ln phi_i(y) - ln phi_i(x).
class Split {
public:
    Split(const Model& model, std::span<const double> z, double T, double P)
        : model_(&model), z_(z), T_(T), P_(P), c_(z.size()), K(c_), x(c_), y(c_), r(c_)
    {
    }

    // False when the Rachford-Rice equation has no root.
    bool At(std::span<const double> lnK, bool derivatives = false)
    {
        for (std::size_t i = 0; i < c_; ++i)
            K[i] = std::exp(lnK[i]);
        const std::optional<double> root = SolveRachfordRice(z_, K);
        if (!root)
            return false;
        beta = *root;
        SplitCompositions(z_, K, beta, x, y);
        EvaluatePhase(*model_, T_, P_, x, derivatives, liquid, work_);
        EvaluatePhase(*model_, T_, P_, y, derivatives, vapour, work_);
        liquidVolume = liquid.volume;
        vapourVolume = vapour.volume;
        for (std::size_t i = 0; i < c_; ++i)
            r[i] = Finite(lnK[i] + vapour.lnPhi[i] - liquid.lnPhi[i]);
        return true;
    }

    // From the vapour's mole numbers v (the liquid's are z - v).
    void AtMoles(std::span<const double> v, bool derivatives)
    {
        double sum = 0.0;
        for (double m : v)
            sum += m;
        beta = sum;
        std::vector<double> l(c_);
        for (std::size_t i = 0; i < c_; ++i) {
            l[i] = z_[i] - v[i];
            x[i] = l[i] / (1.0 - beta);
            y[i] = v[i] / beta;
        }
        EvaluatePhase(*model_, T_, P_, l, derivatives, liquid, work_);
        EvaluatePhase(*model_, T_, P_, v, derivatives, vapour, work_);
        liquidVolume = liquid.volume / (1.0 - beta);
        vapourVolume = vapour.volume / beta;
        for (std::size_t i = 0; i < c_; ++i)
            r[i] = Finite(std::log(y[i] / x[i]) + vapour.lnPhi[i] - liquid.lnPhi[i]);
    }

    // The reduced Gibbs energy of the split (both phases, pressure term out).
    double Gibbs() const
    {
        std::vector<double> l(c_), v(c_);
        for (std::size_t i = 0; i < c_; ++i) {
            l[i] = (1.0 - beta) * x[i];
            v[i] = beta * y[i];
        }
        return ReducedGibbsEnergy(l, liquid.lnPhi) + ReducedGibbsEnergy(v, vapour.lnPhi);
    }

    const Model* model_;
    std::span<const double> z_;
    double T_, P_;
    std::size_t c_;
    double beta = 0.0;
    // Molar volumes of the phases.
    double liquidVolume = 0.0, vapourVolume = 0.0;
    std::vector<double> K, x, y, r;
    trace::PhaseState liquid, vapour;
    PhaseWork work_;
};

double SumOfSquares(std::span<const double> v)
{
    double s = 0.0;
    for (double x : v)
        s += x * x;
    return s;
}

// Newton on the Gibbs energy in the vapour's mole numbers v, from the split
// s (0 < beta < 1); true when it converged.
bool NewtonOnGibbs(Split& s, int& iterations)
{
    const std::size_t c = s.c_;
    std::vector<double> v(c), H(c * c), step(c), trial(c);
    for (std::size_t i = 0; i < c; ++i)
        v[i] = s.beta * s.y[i];
    trace::DenseLu lu;
    s.AtMoles(v, true);
    for (int n = 0; n < NewtonSteps; ++n) {
        if (Largest(s.r) < Tolerance)
            return true;
        ++iterations;
        const double b = s.beta;
        for (std::size_t i = 0; i < c; ++i) {
            const double l = s.z_[i] - v[i];
            step[i] = -s.r[i];
            for (std::size_t j = 0; j < c; ++j)
                H[i * c + j] = s.vapour.dn[i * c + j] + s.liquid.dn[i * c + j] - 1.0 / b - 1.0 / (1.0 - b) +
                               (i == j ? 1.0 / v[i] + 1.0 / l : 0.0);
        }
        if (!lu.Factor(H, c))
            return false;
        lu.Solve(step);
        // The longest step that keeps every mole number inside (0, z_i).
        double length = 1.0;
        for (std::size_t i = 0; i < c; ++i) {
            if (!std::isfinite(step[i]))
                return false;
            if (v[i] + step[i] <= 0.0)
                length = std::min(length, 0.9 * v[i] / -step[i]);
            else if (v[i] + step[i] >= s.z_[i])
                length = std::min(length, 0.9 * (s.z_[i] - v[i]) / step[i]);
        }
        // A step is kept where the Gibbs energy falls, or, near the
        // solution, where the residuals do.
        const double before = s.Gibbs(), residual = Largest(s.r);
        bool accepted = false;
        for (int halving = 0; halving < StepHalvings && !accepted; ++halving, length *= 0.5) {
            for (std::size_t i = 0; i < c; ++i)
                trial[i] = v[i] + length * step[i];
            s.AtMoles(trial, true);
            accepted = s.Gibbs() < before || (residual < NearSolution && Largest(s.r) < residual);
        }
        if (!accepted)
            return false;
        v = trial;
    }
    return Largest(s.r) < Tolerance;
}

} // namespace

std::vector<double> FlashStartLnK(const StabilityResult& stability)
{
    const std::vector<double>& z = stability.feed;
    const auto negative = [](const TrialPhase& t) {
        return t.outcome != TrialOutcome::Trivial && t.distance < -NegativeDistance;
    };
    const bool vapour = negative(stability.vapourTrial), liquid = negative(stability.liquidTrial);
    const bool purer = !vapour && !liquid && negative(stability.purerTrial);
    std::vector<double> lnK(z.size());
    for (std::size_t i = 0; i < z.size(); ++i) {
        const double y = vapour ? stability.vapourTrial.composition[i]
                                : purer ? stability.purerTrial.composition[i] : z[i];
        const double x = liquid ? stability.liquidTrial.composition[i] : z[i];
        lnK[i] = std::log(y) - std::log(x);
    }
    return lnK;
}

FlashResult TwoPhaseFlash(const Model& model, std::span<const double> z, double T, double P, std::vector<double> lnK)
{
    FlashResult result;
    const std::size_t c = z.size();
    Split s(model, z, T, P);
    const auto fail = [&](const char* reason) {
        result.reason = reason;
        return result;
    };
    if (!s.At(lnK))
        return fail("the K-values leave no two-phase split");
    std::vector<double> previousStep, step(c);
    bool converged = Largest(s.r) < Tolerance;
    for (int n = 0; !converged && n < SubstitutionSteps; ++n) {
        if (SumOfSquares(lnK) < Trivial)
            return fail("the phases became one (trivial solution)");
        if (n >= SubstitutionBeforeNewton && s.beta > 0.0 && s.beta < 1.0)
            break;
        ++result.iterations;
        for (std::size_t i = 0; i < c; ++i)
            step[i] = -s.r[i];
        std::vector<double> next(lnK);
        for (std::size_t i = 0; i < c; ++i)
            next[i] += step[i];
        if (!s.At(next))
            return fail("the K-values leave no two-phase split");
        // Every fifth step, the extrapolation along the dominant eigenvalue
        // lambda of the iteration: ln K + step lambda / (1 - lambda), kept
        // only where it leaves smaller residuals.
        if ((n + 1) % AccelerateEvery == 0 && !previousStep.empty()) {
            double num = 0.0, den = 0.0;
            for (std::size_t i = 0; i < c; ++i) {
                num += step[i] * step[i];
                den += previousStep[i] * step[i];
            }
            const double lambda = den != 0.0 ? num / den : 0.0;
            if (lambda > 0.0 && lambda < 1.0) {
                const double residual = Largest(s.r);
                const Split plain = s;
                std::vector<double> far(next);
                for (std::size_t i = 0; i < c; ++i)
                    far[i] += step[i] * lambda / (1.0 - lambda);
                if (s.At(far) && Largest(s.r) < residual)
                    next = far;
                else
                    s = plain;
            }
        }
        previousStep = step;
        lnK = next;
        converged = Largest(s.r) < Tolerance;
    }
    if (!converged) {
        if (!(s.beta > 0.0 && s.beta < 1.0))
            return fail("substitution did not converge to a split with both phases present");
        converged = NewtonOnGibbs(s, result.iterations);
        if (!converged)
            return fail("the flash did not converge");
    }
    if (!(s.beta > 0.0 && s.beta < 1.0))
        return fail("the vapour fraction lies outside (0, 1): one phase");
    result.converged = true;
    result.vapourFraction = s.beta;
    result.liquid = s.x;
    result.vapour = s.y;
    // The vapour is the phase of the larger molar volume.
    if (s.liquidVolume > s.vapourVolume) {
        std::swap(result.liquid, result.vapour);
        result.vapourFraction = 1.0 - s.beta;
    }
    return result;
}

} // namespace envelope::condition
