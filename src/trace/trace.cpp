#include "trace/trace.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "thermo/numerical_fault.h"
#include "thermo/wilson.h"
#include "trace/characteristic_points.h"
#include "trace/curve_node.h"
#include "trace/curve_system.h"
#include "trace/mixture_model.h"

namespace envelope::trace {

namespace {

constexpr double MinStep = 1e-4;
constexpr double FirstStep = 0.05;
constexpr int StartIterations = 60;
constexpr int PointIterations = 12;
// Newton steps at the start may not move an unknown by more than this.
constexpr double StartMaxChange = 0.5;
constexpr double PointMaxChange = 1.0;
// Below this largest |ln K| the curve is near its critical point: the
// fixed unknown is then a ln K, so that the point can be placed across.
constexpr double NearCritical = 0.1;
// The largest change of ln T and ln P from one point to the next.
constexpr double MaxLnTStep = 0.02, MaxLnPStep = 0.1;
// The range of the trace.
constexpr double MinTemperature = 1.0, MaxTemperature = 1e4; // K
constexpr double MaxPressure = 1e4;                          // bar

std::vector<double> CheckedFeed(const Mixture& mixture)
{
    const std::size_t count = static_cast<std::size_t>(mixture.Count());
    if (count < MinComponentCount || count > MaxComponentCount || mixture.feed.size() != count)
        RaiseNumericalFault(FaultKind::BadInput, "mixture component count");
    double sum = 0.0;
    for (double z : mixture.feed) {
        if (!(z >= 0.0) || !std::isfinite(z))
            RaiseNumericalFault(FaultKind::BadInput, "feed fraction out of range");
        sum += z;
    }
    if (!(sum > 0.0))
        RaiseNumericalFault(FaultKind::BadInput, "feed sums to zero");
    std::vector<double> z(mixture.feed);
    for (double& v : z)
        v /= sum;
    for (double k : mixture.kij)
        if (!std::isfinite(k))
            RaiseNumericalFault(FaultKind::BadInput, "interaction parameter not finite");
    return z;
}

// Wilson's K-values at (T, P).
void WilsonLnK(const Mixture& mixture, double T, double P, std::span<double> lnK)
{
    for (std::size_t i = 0; i < lnK.size(); ++i) {
        const long long ii = static_cast<long long>(i);
        lnK[i] = std::log(mixture.Pc(ii) / P) + WilsonExponent(mixture.Tc(ii), mixture.Omega(ii), T);
    }
}

// The dew temperature of Wilson's K-values at P, by bisection in ln T on
// sum z_i / K_i = 1, which falls as T rises.
double WilsonDewTemperature(const Mixture& mixture, std::span<const double> z, double P, std::span<double> lnK)
{
    double lo = std::log(MinTemperature), hi = std::log(MaxTemperature);
    for (int pass = 0; pass < 60; ++pass) {
        const double mid = 0.5 * (lo + hi);
        WilsonLnK(mixture, std::exp(mid), P, lnK);
        double sum = 0.0;
        for (std::size_t i = 0; i < z.size(); ++i)
            sum += z[i] * std::exp(-lnK[i]);
        if (sum > 1.0)
            lo = mid;
        else
            hi = mid;
    }
    return std::exp(0.5 * (lo + hi));
}

std::size_t LargestLnK(std::span<const double> X, std::size_t count)
{
    std::size_t k = 0;
    for (std::size_t i = 1; i < count; ++i)
        if (std::fabs(X[i]) > std::fabs(X[k]))
            k = i;
    return k;
}

std::string Where(const char* what, std::span<const double> X, std::size_t n)
{
    char text[160];
    std::snprintf(text, sizeof text, "%s after T = %.3f K, P = %.3f bar", what, std::exp(X[n]), std::exp(X[n + 1]));
    return text;
}

} // namespace

TracedEnvelope TraceEnvelope(const Mixture& mixture, const CubicModel& eos, const TraceOptions& options)
{
    const std::vector<double> z = CheckedFeed(mixture);
    const MixtureModel model(mixture, eos);
    const std::size_t n = model.Size(), m = n + 2;
    const std::size_t iT = n, iP = n + 1;
    CurveSystem system(model, z, 1.0);
    TracedEnvelope result;

    // The start: the dew point at the lowest of the start pressures where
    // Newton converges from Wilson's dew point.
    CurveNode node;
    node.X.assign(m, 0.0);
    node.tangent.assign(m, 0.0);
    bool started = false;
    const double startPressures[] = {options.startPressure, 2.0 * options.startPressure, 5.0 * options.startPressure,
                                     10.0 * options.startPressure};
    for (double P0 : startPressures) {
        if (!(P0 > 0.0) || !std::isfinite(P0))
            break;
        const double T0 = WilsonDewTemperature(mixture, z, P0, std::span(node.X).first(n));
        node.X[iT] = std::log(T0);
        node.X[iP] = std::log(P0);
        const std::size_t ref = LargestLnK(node.X, n);
        system.SetReference(ref, node.X[ref]);
        if (system.Solve(node.X, iP, std::log(P0), StartIterations, StartMaxChange, node.tangent) >= 0) {
            result.startPressure = P0;
            started = true;
            break;
        }
    }
    if (!started) {
        result.status = TraceStatus::NoStart;
        result.reason = "no dew point at the start pressures";
        return result;
    }
    // Up the dew branch first.
    {
        const std::size_t ref = LargestLnK(node.X, n);
        system.SetReference(ref, node.X[ref]);
        std::vector<double> up(m, 0.0);
        up[iP] = 1.0;
        Orient(node.tangent, up);
    }
    const double lnP0 = node.X[iP];
    std::vector<CurveNode> nodes;
    nodes.push_back(node);
    result.points.push_back({std::exp(node.X[iT]), std::exp(node.X[iP]), TracePhase::Dew});

    std::size_t crossing = 0; // index of the first node past the critical point
    double step = FirstStep;
    CurveNode next;
    next.X.resize(m);
    next.tangent.resize(m);
    result.status = TraceStatus::PointLimit;
    while (static_cast<int>(nodes.size()) < options.maxPoints) {
        const CurveNode& last = nodes.back();
        std::size_t fixed = 0;
        double largestLnK = 0.0;
        for (std::size_t k = 0; k < m; ++k)
            if (std::fabs(last.tangent[k]) > std::fabs(last.tangent[fixed]))
                fixed = k;
        for (std::size_t k = 0; k < n; ++k)
            largestLnK = std::max(largestLnK, std::fabs(last.X[k]));
        if (largestLnK < NearCritical && fixed >= n)
            fixed = LargestLnK(last.tangent, n);

        double target = last.X[fixed] + std::copysign(step, last.tangent[fixed]);
        // The curve is drawn through its points: no step moves far in
        // temperature or pressure, where the curve turns near its extremes.
        const double ds = (target - last.X[fixed]) / last.tangent[fixed];
        const double reach = std::max(std::fabs(ds * last.tangent[iT]) / MaxLnTStep,
                                      std::fabs(ds * last.tangent[iP]) / MaxLnPStep);
        if (reach > 1.0)
            target = last.X[fixed] + (target - last.X[fixed]) / reach;
        // Across the critical point, land as far on the other side as the
        // last point is on this one, well clear of the trivial solution.
        if (fixed < n && std::fabs(target) < 0.5 * step)
            target = -last.X[fixed];
        bool final = false;
        // Extrapolate along the cubic through the last two points when the
        // fixed unknown moved monotonically between them, else along the
        // tangent.
        const auto predict = [&](std::size_t k, double u) {
            const CurveNode* before = nodes.size() > 1 ? &nodes[nodes.size() - 2] : nullptr;
            if (before && before->X[k] != last.X[k] && before->tangent[k] * last.tangent[k] > 0.0 &&
                (last.X[k] - before->X[k]) * last.tangent[k] > 0.0) {
                HermiteAt(*before, last, k, u, next.X);
            } else {
                const double ds = (u - last.X[k]) / last.tangent[k];
                for (std::size_t i = 0; i < m; ++i)
                    next.X[i] = last.X[i] + ds * last.tangent[i];
            }
        };
        predict(fixed, target);
        if (next.X[iP] < lnP0 && last.tangent[iP] < 0.0) {
            // Back at the start pressure: the last point is exactly there.
            fixed = iP;
            target = lnP0;
            predict(fixed, target);
            final = true;
        }
        const double predictedT = next.X[iT], predictedP = next.X[iP];
        int iterations = system.Solve(next.X, fixed, target, PointIterations, PointMaxChange, next.tangent);
        // A point far from its prediction lies on another branch of the
        // equations: the step was too long to follow this one.
        if (iterations >= 0 && (std::fabs(next.X[iT] - predictedT) > 2.0 * MaxLnTStep ||
                                std::fabs(next.X[iP] - predictedP) > 2.0 * MaxLnPStep))
            iterations = -1;
        if (iterations < 0) {
            step *= 0.5;
            if (step < MinStep) {
                result.status = TraceStatus::NotConverged;
                result.reason = Where("no convergence", last.X, n);
                break;
            }
            continue;
        }
        // Onward is the way the fixed unknown was stepped: past the
        // critical point of a nearly pure fluid temperature and pressure
        // turn back sharply, and only the ln K keep their way.
        Orient(next.tangent, {});
        if (next.tangent[fixed] * (target - last.X[fixed]) < 0.0)
            for (double& v : next.tangent)
                v = -v;
        const bool crossed = system.YIsVapour(next.X) != system.YIsVapour(last.X);
        if (crossed && crossing == 0)
            crossing = nodes.size();
        nodes.push_back(next);
        const double T = std::exp(next.X[iT]), P = std::exp(next.X[iP]);
        result.points.push_back({T, P, crossing == 0 ? TracePhase::Dew : TracePhase::Bubble});
        if (final) {
            result.status = crossing == 0 ? TraceStatus::Open : TraceStatus::Complete;
            if (crossing == 0)
                result.reason = Where("back at the start pressure without a critical point", next.X, n);
            break;
        }
        if (T < MinTemperature || T > MaxTemperature || P > MaxPressure) {
            result.status = TraceStatus::OutOfRange;
            result.reason = Where("out of range", next.X, n);
            break;
        }
        if (iterations <= 2)
            step = std::min(step * 1.6, options.maxStep);
        else if (iterations >= 5)
            step *= 0.6;
        step = std::max(step, MinStep);
    }
    if (result.status == TraceStatus::PointLimit)
        result.reason = Where("point limit reached", nodes.back().X, n);

    if (crossing > 0)
        result.critical = RefineCritical(system, model, z, nodes[crossing - 1], nodes[crossing], result.criticalVolume);
    // The highest pressure and temperature: where the tangent's pressure
    // (temperature) component turns from rising to falling, the highest of
    // them when there are several.
    const auto extreme = [&](std::size_t value, std::size_t parameter) {
        std::size_t bracket = 0;
        for (std::size_t i = 1; i < nodes.size(); ++i)
            if (nodes[i - 1].tangent[value] > 0.0 && nodes[i].tangent[value] <= 0.0 &&
                (bracket == 0 || std::max(nodes[i - 1].X[value], nodes[i].X[value]) >
                                     std::max(nodes[bracket - 1].X[value], nodes[bracket].X[value])))
                bracket = i;
        if (bracket == 0)
            return CharacteristicPoint{};
        return RefineExtremum(system, nodes[bracket - 1], nodes[bracket], parameter, value);
    };
    result.cricondenbar = extreme(iP, iT);
    result.cricondentherm = extreme(iT, iP);
    return result;
}

} // namespace envelope::trace
