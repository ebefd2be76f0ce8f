#pragma once
// A converged point of the traced curve: the unknowns X = (ln K, ln T, ln P)
// and the unit tangent along the direction of travel; and cubic Hermite
// interpolation between two such points in one of the unknowns, with its
// slope.

#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

namespace envelope::trace {

struct CurveNode {
    std::vector<double> X;
    std::vector<double> tangent; // unit length, along the direction of travel
};

// Scales t to unit length, pointing the way of `along` (when given).
inline void Orient(std::span<double> t, std::span<const double> along)
{
    double norm = 0.0, dot = 0.0;
    for (std::size_t k = 0; k < t.size(); ++k) {
        norm += t[k] * t[k];
        if (!along.empty())
            dot += t[k] * along[k];
    }
    double scale = 1.0 / std::sqrt(norm);
    if (dot < 0.0)
        scale = -scale;
    for (double& v : t)
        v *= scale;
}

// The cubic through a and b with their tangents, parametrised by unknown k,
// evaluated where X[k] = u (also beyond b, to extrapolate). a and b must
// differ in X[k], and neither tangent may be flat in it.
inline void HermiteAt(const CurveNode& a, const CurveNode& b, std::size_t k, double u, std::span<double> out)
{
    const double h = b.X[k] - a.X[k];
    const double s = (u - a.X[k]) / h;
    const double s2 = s * s, s3 = s2 * s;
    const double h00 = 2.0 * s3 - 3.0 * s2 + 1.0, h10 = s3 - 2.0 * s2 + s;
    const double h01 = -2.0 * s3 + 3.0 * s2, h11 = s3 - s2;
    const double ma = h / a.tangent[k], mb = h / b.tangent[k];
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = h00 * a.X[i] + h10 * ma * a.tangent[i] + h01 * b.X[i] + h11 * mb * b.tangent[i];
    out[k] = u;
}

// The slope dX/dX[k] of the same cubic where X[k] = u.
inline void HermiteSlopeAt(const CurveNode& a, const CurveNode& b, std::size_t k, double u, std::span<double> out)
{
    const double h = b.X[k] - a.X[k];
    const double s = (u - a.X[k]) / h;
    const double s2 = s * s;
    const double d00 = 6.0 * s2 - 6.0 * s, d10 = 3.0 * s2 - 4.0 * s + 1.0;
    const double d01 = -d00, d11 = 3.0 * s2 - 2.0 * s;
    const double ma = h / a.tangent[k], mb = h / b.tangent[k];
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = (d00 * a.X[i] + d10 * ma * a.tangent[i] + d01 * b.X[i] + d11 * mb * b.tangent[i]) / h;
    out[k] = 1.0;
}

} // namespace envelope::trace
