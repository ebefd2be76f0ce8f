#include "trace/cubic_roots.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace envelope::trace {

namespace {

// Newton on the cubic from the closed-form value, which loses digits near a
// double or triple root. Stops when the step no longer shrinks the residual.
double Polish(double z, double c2, double c1, double c0)
{
    for (int pass = 0; pass < 4; ++pass) {
        const double f = ((z + c2) * z + c1) * z + c0;
        const double df = (3.0 * z + 2.0 * c2) * z + c1;
        if (df == 0.0 || !std::isfinite(f))
            break;
        const double step = f / df;
        const double next = z - step;
        const double fNext = ((next + c2) * next + c1) * next + c0;
        if (!(std::fabs(fNext) < std::fabs(f)))
            break;
        z = next;
        if (std::fabs(step) <= 1e-15 * std::fabs(z))
            break;
    }
    return z;
}

} // namespace

CubicRoots CompressibilityRoots(double c2, double c1, double c0)
{
    // Z = t - c2/3 removes the square term: t^3 + p t + q = 0.
    constexpr double third = 1.0 / 3.0;
    const double shift = -c2 * third;
    const double p = c1 - c2 * c2 * third;
    const double q = c0 - c2 * c1 * third + 2.0 * c2 * c2 * c2 / 27.0;
    const double halfQ = 0.5 * q;
    const double thirdP = p * third;
    const double discriminant = halfQ * halfQ + thirdP * thirdP * thirdP;

    CubicRoots r;
    if (discriminant > 0.0) {
        const double s = std::sqrt(discriminant);
        const double t = std::cbrt(-halfQ + s) + std::cbrt(-halfQ - s);
        r.count = 1;
        r.root[0] = Polish(t + shift, c2, c1, c0);
        return r;
    }
    if (thirdP == 0.0) { // triple root
        r.count = 1;
        r.root[0] = shift;
        return r;
    }
    const double radius = 2.0 * std::sqrt(-thirdP);
    const double cosine = std::clamp(-halfQ / std::sqrt(-thirdP * thirdP * thirdP), -1.0, 1.0);
    const double angle = std::acos(cosine) * third;
    constexpr double turn = 2.0 * std::numbers::pi / 3.0;
    double z[3] = {radius * std::cos(angle) + shift, radius * std::cos(angle - turn) + shift,
                   radius * std::cos(angle + turn) + shift};
    std::sort(z, z + 3);
    r.count = 3;
    for (int k = 0; k < 3; ++k)
        r.root[k] = Polish(z[k], c2, c1, c0);
    return r;
}

} // namespace envelope::trace
