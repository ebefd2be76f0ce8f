#include "trace/curve_crossing.h"

#include <algorithm>
#include <cmath>

#include "trace/characteristic_points.h"

namespace envelope::trace {

namespace {

// Whether unknown k runs on steadily from a to b.
bool Monotonic(const CurveNode& a, const CurveNode& b, std::size_t k)
{
    return a.X[k] != b.X[k] && a.tangent[k] * b.tangent[k] > 0.0 && (b.X[k] - a.X[k]) * a.tangent[k] > 0.0;
}

// The share of the segment's length in (ln T, ln P) that unknown k makes.
double Share(const CurveNode& a, const CurveNode& b, std::size_t k, std::size_t iT)
{
    const double length = std::hypot(b.X[iT] - a.X[iT], b.X[iT + 1] - a.X[iT + 1]);
    return length > 0.0 ? std::fabs(b.X[k] - a.X[k]) / length : 0.0;
}

} // namespace

CurveCrossing FindCrossing(std::span<const CurveNode> first, std::span<const CurveNode> second, std::size_t from,
                           std::size_t iT)
{
    const std::size_t iP = iT + 1;
    CurveCrossing crossing;
    for (std::size_t s = from; s + 1 < second.size(); ++s) {
        const CurveNode &b0 = second[s], &b1 = second[s + 1];
        const double sx = b1.X[iT] - b0.X[iT], sy = b1.X[iP] - b0.X[iP];
        double nearest = HUGE_VAL;
        for (std::size_t f = 0; f + 1 < first.size(); ++f) {
            const CurveNode &a0 = first[f], &a1 = first[f + 1];
            // a0 + t r = b0 + u s, with t and u in [0, 1].
            const double rx = a1.X[iT] - a0.X[iT], ry = a1.X[iP] - a0.X[iP];
            const double qx = b0.X[iT] - a0.X[iT], qy = b0.X[iP] - a0.X[iP];
            const double d = rx * sy - ry * sx;
            if (d == 0.0)
                continue;
            const double t = (qx * sy - qy * sx) / d, u = (qx * ry - qy * rx) / d;
            if (t >= 0.0 && t <= 1.0 && u >= 0.0 && u <= 1.0 && u < nearest) {
                nearest = u;
                crossing = {true, f, s};
            }
        }
        if (crossing.found)
            return crossing;
    }
    return crossing;
}

bool MeetingPoint(CurveSystem& aSystem, const CurveNode& a0, const CurveNode& a1, CurveSystem& bSystem,
                  const CurveNode& b0, const CurveNode& b1, CurveNode& a, CurveNode& b)
{
    const std::size_t iT = aSystem.TemperatureIndex(), iP = aSystem.PressureIndex();
    // The parameter: ln T or ln P, along which both segments run on, the
    // one that makes the larger share of the shorter.
    std::size_t k = iP + 1;
    double share = 0.0;
    for (std::size_t candidate : {iT, iP}) {
        if (!Monotonic(a0, a1, candidate) || !Monotonic(b0, b1, candidate))
            continue;
        const double s = std::min(Share(a0, a1, candidate, iT), Share(b0, b1, candidate, iT));
        if (s > share) {
            share = s;
            k = candidate;
        }
    }
    if (k > iP)
        return false;
    const std::size_t other = k == iT ? iP : iT;

    // The difference of the other unknown between the curves where X[k] =
    // u, each point converged on its own curve; it changes sign across the
    // span both segments cover.
    const auto gap = [&](double u, double& g) {
        if (!PointBetween(aSystem, a0, a1, k, u, a) || !PointBetween(bSystem, b0, b1, k, u, b))
            return false;
        g = a.X[other] - b.X[other];
        return true;
    };
    double lo = std::max(std::min(a0.X[k], a1.X[k]), std::min(b0.X[k], b1.X[k]));
    double hi = std::min(std::max(a0.X[k], a1.X[k]), std::max(b0.X[k], b1.X[k]));
    double gLo = 0.0, gHi = 0.0;
    if (!(lo < hi) || !gap(lo, gLo) || !gap(hi, gHi) || gLo * gHi > 0.0)
        return false;
    // Regula falsi, Illinois.
    constexpr double tolerance = 1e-10;
    int kept = 0;
    bool met = std::fabs(gLo) < tolerance || std::fabs(gHi) < tolerance;
    double u = std::fabs(gLo) < std::fabs(gHi) ? lo : hi;
    for (int pass = 0; pass < 60 && !met; ++pass) {
        u = lo - gLo * (hi - lo) / (gHi - gLo);
        double g = 0.0;
        if (!gap(u, g))
            return false;
        met = std::fabs(g) < tolerance || hi - lo < 1e-13;
        if (g * gLo > 0.0) {
            lo = u;
            gLo = g;
            if (kept == 1)
                gHi *= 0.5;
            kept = 1;
        } else {
            hi = u;
            gHi = g;
            if (kept == -1)
                gLo *= 0.5;
            kept = -1;
        }
    }
    return met && gap(u, gLo) && std::fabs(gLo) < 10.0 * tolerance;
}

} // namespace envelope::trace
