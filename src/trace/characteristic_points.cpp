#include "trace/characteristic_points.h"

#include <algorithm>
#include <cmath>

namespace envelope::trace {

namespace {

constexpr int NewtonIterations = 30;
constexpr double NewtonMaxChange = 0.5;

// The cubic through a and b at X[k] = u, unless it strays in temperature or
// pressure beyond the span of a and b by more than that span or 5 % (where a
// tangent is nearly flat in X[k]); the straight line through them then.
void Interpolate(const CurveSystem& system, const CurveNode& a, const CurveNode& b, std::size_t k, double u,
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
        return;
    }
}

// Converges a point of the curve at X[k] = u, predicted by the cubic through
// a and b; false when it does not converge.
bool PointAt(CurveSystem& system, const CurveNode& a, const CurveNode& b, std::size_t k, double u, CurveNode& out)
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

CharacteristicPoint Point(const CurveSystem& system, std::span<const double> X)
{
    CharacteristicPoint p;
    p.temperature = std::exp(X[system.TemperatureIndex()]);
    p.pressure = std::exp(X[system.PressureIndex()]);
    p.found = std::isfinite(p.temperature) && std::isfinite(p.pressure) && p.temperature > 0.0 && p.pressure > 0.0;
    return p;
}

} // namespace

CharacteristicPoint RefineCritical(CurveSystem& system, const MixtureModel& model, std::span<const double> feed,
                                   const CurveNode& a, const CurveNode& b, double& volume)
{
    const std::size_t k = system.Reference();
    // Points closer on either side make the cubic's error negligible. Each
    // side is approached in a few steps, each predicted by the cubic through
    // the closest points so far on both sides.
    constexpr double delta = 0.01;
    CurveNode near = a, far = b, trial;
    double volumeNear = 0.0, volumeFar = 0.0;
    for (int pass = 0; pass < 24; ++pass) {
        const bool nearSide = std::fabs(near.X[k]) >= std::fabs(far.X[k]);
        CurveNode& side = nearSide ? near : far;
        if (std::fabs(side.X[k]) <= delta)
            break;
        const double u = std::copysign(std::max(delta, 0.3 * std::fabs(side.X[k])), side.X[k]);
        if (!PointAt(system, near, far, k, u, trial))
            break;
        side = trial;
        (nearSide ? volumeNear : volumeFar) = 0.5 * (system.VolumeX() + system.VolumeY());
    }
    std::vector<double> X(a.X.size());
    Interpolate(system, near, far, k, 0.0, X);
    CharacteristicPoint critical = Point(system, X);
    volume = 0.0;
    if (!critical.found)
        return critical;

    // The feed's volume there: the root of its cubic closest to the phases'
    // volumes next to the critical point.
    double Z[3];
    int count = 0;
    try {
        count = model.PhysicalRoots(critical.temperature, critical.pressure, feed, Z);
    } catch (const NumericalFault&) {
        count = 0;
    }
    const double hint = volumeNear > 0.0 && volumeFar > 0.0 ? 0.5 * (volumeNear + volumeFar) : 0.0;
    const double RT = GasConstant * critical.temperature;
    for (int r = 0; r < count; ++r) {
        const double v = Z[r] * RT / critical.pressure;
        if (volume == 0.0 || std::fabs(v - hint) < std::fabs(volume - hint))
            volume = v;
    }
    return critical;
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
        if (!PointAt(system, lo, hi, parameter, u, trial)) {
            // Next to the critical point Newton may fall onto the trivial
            // solution; the cubic through the bracket is then the estimate.
            Interpolate(system, lo, hi, parameter, u, best);
            break;
        }
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

} // namespace envelope::trace
