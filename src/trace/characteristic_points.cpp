#include "trace/characteristic_points.h"

#include <algorithm>
#include <cmath>

#include "thermo/numerical_fault.h"

namespace envelope::trace {

namespace {

constexpr int NewtonIterations = 30;
constexpr double NewtonMaxChange = 0.5;

// The cubic through a and b at X[k] = u, unless it strays in temperature or
// pressure beyond the span of a and b by more than that span or 5 % (where a
// tangent is nearly flat in X[k]); the straight line through them then.
// Whether the cubic was used.
bool Interpolate(const CurveSystem& system, const CurveNode& a, const CurveNode& b, std::size_t k, double u,
                 std::span<double> out)
{
    HermiteAt(a, b, k, u, out);
    for (std::size_t i : {system.TemperatureIndex(), system.PressureIndex()}) {
        const double lo = std::min(a.X[i], b.X[i]), hi = std::max(a.X[i], b.X[i]);
        const double margin = std::max(hi - lo, 0.05);
        if (std::isfinite(out[i]) && out[i] >= lo - margin && out[i] <= hi + margin)
            continue;
        const double s = (u - a.X[k]) / (b.X[k] - a.X[k]);
        for (std::size_t j = 0; j < out.size(); ++j)
            out[j] = a.X[j] + s * (b.X[j] - a.X[j]);
        return false;
    }
    return true;
}

} // namespace

bool PointBetween(CurveSystem& system, const CurveNode& a, const CurveNode& b, std::size_t k, double u, CurveNode& out)
{
    out.X.resize(a.X.size());
    out.tangent.resize(a.X.size());
    Interpolate(system, a, b, k, u, out.X);
    if (system.Solve(out.X, k, u, NewtonIterations, NewtonMaxChange, out.tangent) < 0)
        return false;
    // X[k] runs on from a to b.
    Orient(out.tangent, {});
    if (out.tangent[k] * (b.X[k] - a.X[k]) < 0.0)
        for (double& v : out.tangent)
            v = -v;
    return true;
}

namespace {

CharacteristicPoint Point(const CurveSystem& system, std::span<const double> X)
{
    CharacteristicPoint p;
    p.temperature = std::exp(X[system.TemperatureIndex()]);
    p.pressure = std::exp(X[system.PressureIndex()]);
    p.found = std::isfinite(p.temperature) && std::isfinite(p.pressure) && p.temperature > 0.0 && p.pressure > 0.0;
    return p;
}

} // namespace

CriticalCrossing RefineCritical(CurveSystem& system, const MixtureModel& model, std::span<const double> feed,
                                const CurveNode& near, const CurveNode& far, std::size_t k, bool nearYVapour)
{
    // Points closer on either side make the cubic's error negligible. Each
    // side is approached in a few steps, each predicted by the cubic through
    // the closest points so far on both sides.
    constexpr double delta = 0.01;
    const bool yVapour = system.YVapour();
    CurveNode in = near, out = far, trial;
    double volumeIn = 0.0, volumeOut = 0.0;
    CriticalCrossing crossing;
    for (int pass = 0; pass < 24; ++pass) {
        // The side farther from the sign change, or else one whose phases'
        // volumes are not known yet (converged again where it is).
        bool nearSide = std::fabs(in.X[k]) >= std::fabs(out.X[k]);
        if (std::max(std::fabs(in.X[k]), std::fabs(out.X[k])) <= delta) {
            if (volumeIn > 0.0 && volumeOut > 0.0) {
                crossing.bracketed = true;
                break;
            }
            nearSide = volumeIn == 0.0;
        }
        CurveNode& side = nearSide ? in : out;
        const double u = std::fabs(side.X[k]) <= delta
                             ? side.X[k]
                             : std::copysign(std::max(delta, 0.3 * std::fabs(side.X[k])), side.X[k]);
        system.SetYVapour(nearSide == nearYVapour);
        if (!PointBetween(system, in, out, k, u, trial))
            break;
        side = trial;
        (nearSide ? volumeIn : volumeOut) = 0.5 * (system.VolumeX() + system.VolumeY());
    }
    system.SetYVapour(yVapour);
    if (!crossing.bracketed)
        return crossing;

    CurveNode& node = crossing.node;
    node.X.resize(in.X.size());
    node.tangent.resize(in.X.size());
    if (Interpolate(system, in, out, k, 0.0, node.X))
        HermiteSlopeAt(in, out, k, 0.0, node.tangent);
    else
        for (std::size_t i = 0; i < node.X.size(); ++i)
            node.tangent[i] = (out.X[i] - in.X[i]) / (out.X[k] - in.X[k]);
    Orient(node.tangent, {});
    if (node.tangent[k] * (out.X[k] - in.X[k]) < 0.0)
        for (double& v : node.tangent)
            v = -v;
    const CharacteristicPoint critical = Point(system, node.X);
    if (!critical.found) {
        crossing.bracketed = false;
        return crossing;
    }

    // The feed's volume there: the root of its cubic closest to the phases'
    // volumes next to the critical point.
    double Z[3];
    int count = 0;
    try {
        count = model.PhysicalRoots(critical.temperature, critical.pressure, feed, Z);
    } catch (const NumericalFault&) {
        count = 0;
    }
    const double hint = 0.5 * (volumeIn + volumeOut);
    const double RT = GasConstant * critical.temperature;
    for (int r = 0; r < count; ++r) {
        const double v = Z[r] * RT / critical.pressure;
        if (crossing.volume == 0.0 || std::fabs(v - hint) < std::fabs(crossing.volume - hint))
            crossing.volume = v;
    }
    return crossing;
}

CharacteristicPoint RefineExtremum(CurveSystem& system, const CurveNode& a, const CurveNode& b,
                                   std::size_t parameter, std::size_t value)
{
    // Where the curve folds back in both temperature and pressure (a nearly
    // pure fluid's critical point), the unknown that runs on most steadily
    // between a and b takes the parameter's place.
    const auto monotonic = [&](std::size_t k) {
        return a.X[k] != b.X[k] && a.tangent[k] * b.tangent[k] > 0.0 && (b.X[k] - a.X[k]) * a.tangent[k] > 0.0;
    };
    if (!monotonic(parameter)) {
        std::size_t best = a.X.size();
        for (std::size_t k = 0; k < a.X.size(); ++k)
            if (k != value && monotonic(k) &&
                (best == a.X.size() || std::fabs(a.tangent[k] * b.tangent[k]) > std::fabs(a.tangent[best] * b.tangent[best])))
                best = k;
        if (best == a.X.size())
            return {};
        parameter = best;
    }
    const auto slope = [&](const CurveNode& node) { return node.tangent[value] / node.tangent[parameter]; };
    CurveNode lo = a, hi = b;
    double sLo = slope(lo), sHi = slope(hi);
    if (sLo * sHi > 0.0)
        return {};
    CurveNode trial;
    std::vector<double> best = std::fabs(sLo) < std::fabs(sHi) ? lo.X : hi.X;
    int side = 0; // which end stayed last time, for the Illinois weighting
    for (int pass = 0; pass < 40; ++pass) {
        const double uLo = lo.X[parameter], uHi = hi.X[parameter];
        const double u = sHi == sLo ? 0.5 * (uLo + uHi) : uLo - sLo * (uHi - uLo) / (sHi - sLo);
        // A trial point that does not converge leaves the extreme unverified.
        if (!PointBetween(system, lo, hi, parameter, u, trial))
            return {};
        const double s = slope(trial);
        best = trial.X;
        if (std::fabs(s) < 1e-11 || std::fabs(uHi - uLo) < 1e-13)
            break;
        if (s * sLo > 0.0) {
            lo = trial;
            sLo = s;
            if (side == -1)
                sHi *= 0.5;
            side = -1;
        } else {
            hi = trial;
            sHi = s;
            if (side == 1)
                sLo *= 0.5;
            side = 1;
        }
    }
    return Point(system, best);
}

CharacteristicPoint LargestOnCurve(CurveSystem& system, std::span<const CurveNode> nodes,
                                   std::span<const TracePhase> phases, std::size_t value, std::size_t parameter,
                                   std::size_t joint)
{
    double highest = -HUGE_VAL;
    for (const CurveNode& node : nodes)
        highest = std::max(highest, node.X[value]);
    // Every local maximum: the tangent's component turns from rising to
    // falling between two nodes. Each is refined with the roots of the side
    // it lies on.
    const bool yVapour = system.YVapour();
    CharacteristicPoint best;
    double bestValue = -HUGE_VAL;
    for (std::size_t i = 1; i < nodes.size(); ++i) {
        const CurveNode &a = nodes[i - 1], &b = nodes[i];
        if (i == joint || !(a.tangent[value] > 0.0 && b.tangent[value] <= 0.0))
            continue;
        const TracePhase side = phases[i - 1] != TracePhase::Critical ? phases[i - 1] : phases[i];
        system.SetYVapour(side != TracePhase::Bubble);
        // Beside the critical point temperature and pressure both turn, and
        // only the ln K run on steadily: the one that changes fastest is the
        // parameter there.
        std::size_t along = parameter;
        if (side != phases[i - 1] || side != phases[i]) {
            along = 0;
            for (std::size_t k = 1; k < system.TemperatureIndex(); ++k)
                if (std::fabs(a.tangent[k]) > std::fabs(a.tangent[along]))
                    along = k;
        }
        CharacteristicPoint p = RefineExtremum(system, a, b, along, value);
        double v = p.found ? std::log(value == system.TemperatureIndex() ? p.temperature : p.pressure) : -HUGE_VAL;
        // Where the maximum is the critical point itself (a nearly pure
        // fluid's), points converged beside it are no closer than the
        // critical point, which was refined from both sides.
        for (std::size_t j : {i - 1, i})
            if (phases[j] == TracePhase::Critical && nodes[j].X[value] > v) {
                v = nodes[j].X[value];
                p = Point(system, nodes[j].X);
            }
        if (p.found && v > bestValue) {
            bestValue = v;
            best = p;
        }
    }
    system.SetYVapour(yVapour);
    // The largest must lie at or above every traced point: one below some
    // node is a maximum of a part only, or was not refined onto the curve.
    constexpr double tolerance = 1e-9;
    if (!(bestValue >= highest - tolerance))
        return {};
    return best;
}

} // namespace envelope::trace
