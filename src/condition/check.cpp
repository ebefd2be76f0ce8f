#include "condition/check.h"

#include <cmath>
#include <cstdio>

#include "condition/flash.h"
#include "condition/stability.h"
#include "thermo/numerical_fault.h"

namespace envelope::condition {

namespace {

// The checks of a reported split.
constexpr double SumTolerance = 1e-9;      // |sum x - 1|, |sum y - 1|
constexpr double BalanceTolerance = 1e-9;  // |z_i - (1 - V) x_i - V y_i|
constexpr double FugacityTolerance = 1e-8; // |ln f_i(liquid) - ln f_i(vapour)|
constexpr double DistinctPhases = 1e-8;    // sum (ln y_i / x_i)^2 above this
constexpr double GibbsSlack = 1e-10;       // the split's Gibbs energy not above the feed's

// What is wrong with the split, recomputed from the reported numbers; empty
// when it holds.
std::string SplitProblem(const Model& model, std::span<const double> z, double T, double P, const FlashResult& flash)
{
    const std::size_t c = z.size();
    const double V = flash.vapourFraction;
    const std::vector<double>& x = flash.liquid;
    const std::vector<double>& y = flash.vapour;
    if (!(V > 0.0 && V < 1.0) || x.size() != c || y.size() != c)
        return "the vapour fraction lies outside (0, 1)";
    double sumX = 0.0, sumY = 0.0, apart = 0.0;
    for (std::size_t i = 0; i < c; ++i) {
        if (!(x[i] > 0.0) || !(y[i] > 0.0) || !std::isfinite(x[i]) || !std::isfinite(y[i]))
            return "a phase composition is not positive";
        sumX += x[i];
        sumY += y[i];
        apart += std::pow(std::log(y[i] / x[i]), 2);
        if (!(std::fabs(z[i] - (1.0 - V) * x[i] - V * y[i]) <= BalanceTolerance))
            return "the phases do not add up to the feed";
    }
    if (!(std::fabs(sumX - 1.0) <= SumTolerance) || !(std::fabs(sumY - 1.0) <= SumTolerance))
        return "a phase composition does not sum to one";
    if (!(apart > DistinctPhases))
        return "the phases are not distinct";
    trace::PhaseState liquid, vapour, feed;
    PhaseWork work;
    EvaluatePhase(model, T, P, x, false, liquid, work);
    EvaluatePhase(model, T, P, y, false, vapour, work);
    EvaluatePhase(model, T, P, z, false, feed, work);
    for (std::size_t i = 0; i < c; ++i)
        if (!(std::fabs(std::log(x[i]) + liquid.lnPhi[i] - std::log(y[i]) - vapour.lnPhi[i]) <= FugacityTolerance))
            return "the fugacities of the phases are not equal";
    std::vector<double> l(c), v(c);
    for (std::size_t i = 0; i < c; ++i) {
        l[i] = (1.0 - V) * x[i];
        v[i] = V * y[i];
    }
    const double split = ReducedGibbsEnergy(l, liquid.lnPhi) + ReducedGibbsEnergy(v, vapour.lnPhi);
    if (!(split <= ReducedGibbsEnergy(z, feed.lnPhi) + GibbsSlack))
        return "the split has a higher Gibbs energy than the feed";
    return {};
}

ConditionCheck Failed(ConditionCheck check, std::string reason)
{
    check.phases = PointPhases::Failed;
    check.vapourFraction = std::numeric_limits<double>::quiet_NaN();
    check.liquid.clear();
    check.vapour.clear();
    check.reason = std::move(reason);
    return check;
}

} // namespace

std::string ConditionInputProblem(double T, double P)
{
    char text[160];
    if (!std::isfinite(T) || !(T >= MinConditionTemperature && T <= MaxConditionTemperature)) {
        std::snprintf(text, sizeof text, "the temperature must lie between %g and %g K", MinConditionTemperature,
                      MaxConditionTemperature);
        return text;
    }
    if (!std::isfinite(P) || !(P >= MinConditionPressure && P <= MaxConditionPressure)) {
        std::snprintf(text, sizeof text, "the pressure must lie between %g and %g bar", MinConditionPressure,
                      MaxConditionPressure);
        return text;
    }
    return {};
}

ConditionCheck CheckCondition(const Model& model, const Mixture& mixture, double T, double P)
{
    ConditionCheck check;
    check.temperature = T;
    check.pressure = P;
    try {
        const StabilityResult stability = TestStability(model, mixture, T, P);
        check.feed = stability.feed;
        check.distance = std::fmin(std::fmin(stability.vapourTrial.distance, stability.liquidTrial.distance),
                                   stability.purerTrial.distance);
        switch (stability.verdict) {
        case Stability::Undecided:
            return Failed(check, "the stability test did not converge");
        case Stability::Stable:
            check.phases = PointPhases::One;
            check.onePhase = stability.feedPhase;
            return check;
        case Stability::Unstable:
            break;
        }
        const FlashResult flash = TwoPhaseFlash(model, check.feed, T, P, FlashStartLnK(stability));
        if (!flash.converged)
            return Failed(check, "unstable as one phase, but " + flash.reason);
        if (std::string problem = SplitProblem(model, check.feed, T, P, flash); !problem.empty())
            return Failed(check, "the flash result does not verify: " + problem);
        check.phases = PointPhases::Two;
        check.vapourFraction = flash.vapourFraction;
        check.liquid = flash.liquid;
        check.vapour = flash.vapour;
        return check;
    } catch (const NumericalFault& fault) {
        return Failed(check, std::string("a numerical fault: ") + fault.what());
    }
}

ConditionCheck CheckCondition(const Mixture& mixture, double T, double P, const CubicModel& eos)
{
    try {
        return CheckCondition(ModelOf(mixture, eos), mixture, T, P);
    } catch (const NumericalFault& fault) {
        ConditionCheck check;
        check.temperature = T;
        check.pressure = P;
        return Failed(check, std::string("the mixture cannot be used: ") + fault.what());
    }
}

} // namespace envelope::condition
