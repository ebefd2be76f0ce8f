#include "condition/stability.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "thermo/numerical_fault.h"
#include "thermo/wilson.h"
#include "trace/dense_lu.h"

namespace envelope::condition {

namespace {

// Successive substitution first: at most this many steps, fewer when it
// converges slowly (the residual shrinking by less than SlowRatio a step).
constexpr int SubstitutionSteps = 20;
constexpr double SlowRatio = 0.6;
constexpr int NewtonSteps = 40;
// Levenberg retries of one Newton step before the trial gives up.
constexpr int StepRetries = 12;
// Converged: every |ln W_i + ln phi_i(W) - d_i| below this.
constexpr double Tolerance = 1e-10;
// A trial composition whose sum of squared ln(w_i / z_i) is below the first
// has reached the feed; a converged one below the second is the feed.
constexpr double AtFeed = 1e-12;
constexpr double ConvergedAtFeed = 1e-8;
// Below this residual a Newton step that shrinks it is kept even where tm
// does not fall: its change is lost in rounding there.
constexpr double NearSolution = 1e-6;
// ln W is kept within this, so that W, its logarithm and tm stay finite.
constexpr double LnWLimit = 500.0;
// The share of its component in a nearly pure trial phase.
constexpr double NearlyPure = 0.9;

// One trial phase at (T, P) against the feed's d_i = ln z_i + ln phi_i(z).
class Trial {
public:
    Trial(const Model& model, double T, double P, std::span<const double> lnZ, std::span<const double> d)
        : model_(model), T_(T), P_(P), lnZ_(lnZ), d_(d), c_(d.size()), W_(c_), w_(c_), g_(c_), H_(c_ * c_),
          step_(c_)
    {
    }

    TrialPhase Run(std::vector<double> lnW)
    {
        TrialPhase result;
        // The start's amount is scaled to one: substitution takes only its
        // composition, and Wilson's K-values far from one would otherwise
        // make it absurdly large or small.
        const double top = *std::max_element(lnW.begin(), lnW.end());
        double sum = 0.0;
        for (double v : lnW)
            sum += std::exp(v - top);
        for (double& v : lnW)
            v = Clamp(v - top - std::log(sum));
        Evaluate(lnW, false);
        double previous = Residual();
        int iteration = 0;
        bool converged = previous < Tolerance;
        // Successive substitution while it converges briskly.
        while (!converged && !AtTheFeed(lnW) && iteration < SubstitutionSteps) {
            for (std::size_t i = 0; i < c_; ++i)
                lnW[i] = Clamp(lnW[i] - g_[i]);
            Evaluate(lnW, false);
            ++iteration;
            const double residual = Residual();
            converged = residual < Tolerance;
            if (iteration >= 3 && residual > SlowRatio * previous)
                break;
            previous = residual;
        }
        // Then Newton steps in alpha = 2 sqrt(W), each accepted where tm falls
        // (or, near the solution, where the residuals do); lambda I is added
        // to the Hessian until one is.
        double lambda = 0.0;
        int newton = 0;
        std::vector<double> next(c_);
        while (!converged && !AtTheFeed(lnW) && newton < NewtonSteps) {
            const double tm = Evaluate(lnW, true), residual = Residual();
            if (residual < Tolerance) {
                converged = true;
                break;
            }
            ++newton;
            bool accepted = false;
            for (int retry = 0; retry < StepRetries && !accepted; ++retry) {
                if (!NewtonStep(lambda, next)) {
                    lambda = std::max(10.0 * lambda, 1e-3);
                    continue;
                }
                const Saved saved{W_, w_, g_, lnTotal_, phase_};
                const double nextTm = Evaluate(next, false);
                if (nextTm < tm || (residual < NearSolution && Residual() < residual)) {
                    accepted = true;
                    lnW = next;
                    lambda = lambda > 1e-3 ? 0.1 * lambda : 0.0;
                } else {
                    W_ = saved.W;
                    w_ = saved.w;
                    g_ = saved.g;
                    lnTotal_ = saved.lnTotal;
                    phase_ = saved.phase;
                    lambda = std::max(10.0 * lambda, 1e-3);
                }
            }
            if (!accepted)
                break;
            converged = Residual() < Tolerance;
        }
        result.iterations = iteration + newton;
        result.composition = w_;
        double distance = 0.0, fromFeed = 0.0;
        for (std::size_t i = 0; i < c_; ++i) {
            const double lnw = lnW[i] - lnTotal_;
            distance += w_[i] * (lnw + phase_.lnPhi[i] - d_[i]);
            fromFeed += (lnw - lnZ_[i]) * (lnw - lnZ_[i]);
        }
        result.distance = Finite(distance);
        if (fromFeed < AtFeed || (converged && fromFeed < ConvergedAtFeed))
            result.outcome = TrialOutcome::Trivial;
        else
            result.outcome = converged ? TrialOutcome::Stationary : TrialOutcome::NotConverged;
        return result;
    }

private:
    struct Saved {
        std::vector<double> W, w, g;
        double lnTotal;
        trace::PhaseState phase;
    };

    static double Clamp(double lnW) { return std::clamp(lnW, -LnWLimit, LnWLimit); }

    // ln phi at W = exp(lnW), g_i = ln W_i + ln phi_i - d_i; returns tm.
    // The model sees the composition w = W / sum W (ln phi does not depend
    // on the amount), whose sum is formed from the logarithms, so that W far
    // below or above one neither underflows nor overflows; its derivatives
    // in the mole numbers are those at W times sum W.
    double Evaluate(std::span<const double> lnW, bool derivatives)
    {
        const double top = *std::max_element(lnW.begin(), lnW.end());
        double sum = 0.0;
        for (std::size_t i = 0; i < c_; ++i)
            sum += std::exp(lnW[i] - top);
        lnTotal_ = top + std::log(sum);
        for (std::size_t i = 0; i < c_; ++i) {
            w_[i] = std::exp(lnW[i] - lnTotal_);
            W_[i] = std::exp(lnW[i]);
        }
        EvaluatePhase(model_, T_, P_, w_, derivatives, phase_, work_);
        double excess = 0.0;
        for (std::size_t i = 0; i < c_; ++i) {
            g_[i] = lnW[i] + phase_.lnPhi[i] - d_[i];
            excess += w_[i] * (g_[i] - 1.0);
        }
        return Finite(1.0 + std::exp(lnTotal_) * excess);
    }

    double Residual() const
    {
        double largest = 0.0;
        for (double v : g_)
            largest = std::max(largest, std::fabs(v));
        return largest;
    }

    bool AtTheFeed(std::span<const double> lnW) const
    {
        double fromFeed = 0.0;
        for (std::size_t i = 0; i < c_; ++i)
            fromFeed += (lnW[i] - lnTotal_ - lnZ_[i]) * (lnW[i] - lnTotal_ - lnZ_[i]);
        return fromFeed < AtFeed;
    }

    // The step (H + lambda I) d alpha = -gradient, with
    // gradient_i = sqrt(W_i) g_i and
    // H_ij = delta_ij + sqrt(W_i W_j) dln phi_i/dW_j = delta_ij + sqrt(w_i w_j) dln phi_i/dw_j,
    // from the derivatives of the last evaluation; false when the system is
    // singular.
    bool NewtonStep(double lambda, std::span<double> next)
    {
        for (std::size_t i = 0; i < c_; ++i) {
            const double si = std::sqrt(w_[i]);
            step_[i] = -std::sqrt(W_[i]) * g_[i];
            for (std::size_t j = 0; j < c_; ++j)
                H_[i * c_ + j] = si * std::sqrt(w_[j]) * phase_.dn[i * c_ + j] + (i == j ? 1.0 + lambda : 0.0);
        }
        if (!lu_.Factor(H_, c_))
            return false;
        lu_.Solve(step_);
        for (std::size_t i = 0; i < c_; ++i) {
            const double alpha = 2.0 * std::sqrt(W_[i]) + step_[i];
            if (!std::isfinite(alpha))
                return false;
            // W = alpha^2 / 4, whatever the sign of alpha.
            next[i] = Clamp(2.0 * std::log(std::max(std::fabs(alpha), DBL_MIN) / 2.0));
        }
        return true;
    }

    const Model& model_;
    double T_, P_;
    std::span<const double> lnZ_, d_;
    std::size_t c_;
    // The trial phase's amounts W, its composition w and ln sum W.
    std::vector<double> W_, w_, g_, H_, step_;
    double lnTotal_ = 0.0;
    trace::PhaseState phase_;
    PhaseWork work_;
    trace::DenseLu lu_;
};

} // namespace

std::vector<double> NormalisedFeed(const Mixture& mixture)
{
    const std::size_t count = mixture.criticalTemperature.size();
    if (count < MinComponentCount || count > MaxComponentCount || mixture.feed.size() != count)
        RaiseNumericalFault(FaultKind::BadInput, "mixture component count");
    double sum = 0.0;
    for (double z : mixture.feed) {
        if (!(z > 0.0) || !std::isfinite(z))
            RaiseNumericalFault(FaultKind::BadInput, "feed fraction not above zero");
        sum += z;
    }
    std::vector<double> z(mixture.feed);
    for (double& v : z)
        v = Finite(v / Finite(sum));
    return z;
}

std::vector<double> WilsonLnK(const Mixture& mixture, double T, double P)
{
    std::vector<double> lnK(mixture.criticalTemperature.size());
    for (std::size_t i = 0; i < lnK.size(); ++i)
        lnK[i] = std::log(std::max(WilsonK(mixture, Count16(static_cast<long long>(i)), T, P), DBL_MIN));
    return lnK;
}

StabilityResult TestStability(const Model& model, const Mixture& mixture, double T, double P)
{
    if (!(T > 0.0) || !(P > 0.0) || !std::isfinite(T) || !std::isfinite(P))
        RaiseNumericalFault(FaultKind::BadInput, "temperature or pressure not above zero");
    StabilityResult result;
    result.feed = NormalisedFeed(mixture);
    const std::vector<double>& z = result.feed;
    const std::size_t c = z.size();
    if (model.Size() != c)
        RaiseNumericalFault(FaultKind::BadInput, "model and mixture differ in size");

    trace::PhaseState feedPhase;
    PhaseWork work;
    result.feedPhase = EvaluatePhase(model, T, P, z, false, feedPhase, work);
    std::vector<double> lnZ(c), d(c);
    for (std::size_t i = 0; i < c; ++i) {
        lnZ[i] = std::log(z[i]);
        d[i] = lnZ[i] + feedPhase.lnPhi[i];
    }
    const std::vector<double> lnK = WilsonLnK(mixture, T, P);
    std::vector<double> vapourStart(c), liquidStart(c);
    for (std::size_t i = 0; i < c; ++i) {
        vapourStart[i] = lnZ[i] + lnK[i];
        liquidStart[i] = lnZ[i] - lnK[i];
    }
    Trial trial(model, T, P, lnZ, d);
    result.vapourTrial = trial.Run(vapourStart);
    result.liquidTrial = trial.Run(liquidStart);

    const auto negative = [](const TrialPhase& t) {
        return t.outcome != TrialOutcome::Trivial && t.distance < -NegativeDistance;
    };
    // Wilson's trials both miss a second phase of a composition unlike
    // either, such as a dense liquid of the lightest component below its
    // critical temperature: then each component in turn starts a trial
    // nearly pure.
    if (!negative(result.vapourTrial) && !negative(result.liquidTrial)) {
        for (std::size_t k = 0; k < c && !negative(result.purerTrial); ++k) {
            std::vector<double> start(c);
            for (std::size_t i = 0; i < c; ++i)
                start[i] = i == k ? std::log(NearlyPure) : std::log((1.0 - NearlyPure) / static_cast<double>(c - 1));
            result.purerTrial = trial.Run(start);
        }
    }
    if (negative(result.vapourTrial) || negative(result.liquidTrial) || negative(result.purerTrial))
        result.verdict = Stability::Unstable;
    else if (result.vapourTrial.outcome == TrialOutcome::NotConverged ||
             result.liquidTrial.outcome == TrialOutcome::NotConverged)
        result.verdict = Stability::Undecided;
    else
        result.verdict = Stability::Stable;
    return result;
}

std::optional<bool> IsStable(const Mixture& mixture, double T, double P)
{
    try {
        const StabilityResult result = TestStability(ModelOf(mixture), mixture, T, P);
        if (result.verdict == Stability::Undecided)
            return std::nullopt;
        return result.verdict == Stability::Stable;
    } catch (const NumericalFault&) {
        return std::nullopt;
    }
}

} // namespace envelope::condition
