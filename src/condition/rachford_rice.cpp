#include "condition/rachford_rice.h"

#include <cmath>

namespace envelope::condition {

namespace {

constexpr int MaxSteps = 200;

// f(beta) and its derivative.
void Residual(std::span<const double> z, std::span<const double> K, double beta, double& f, double& df)
{
    f = 0.0;
    df = 0.0;
    for (std::size_t i = 0; i < z.size(); ++i) {
        const double c = K[i] - 1.0;
        const double d = 1.0 + beta * c;
        f += z[i] * c / d;
        df -= z[i] * c * c / (d * d);
    }
}

} // namespace

std::optional<double> SolveRachfordRice(std::span<const double> z, std::span<const double> K)
{
    if (z.size() != K.size() || z.empty())
        return std::nullopt;
    double kMax = K[0], kMin = K[0];
    for (std::size_t i = 0; i < K.size(); ++i) {
        if (!std::isfinite(K[i]) || !(K[i] >= 0.0) || !std::isfinite(z[i]) || !(z[i] > 0.0))
            return std::nullopt;
        kMax = std::fmax(kMax, K[i]);
        kMin = std::fmin(kMin, K[i]);
    }
    if (!(kMax > 1.0) || !(kMin < 1.0))
        return std::nullopt;
    // The poles, where the component of the largest or the smallest K has
    // no liquid; the root lies strictly between them, and 0.5 always does.
    double lo = 1.0 / (1.0 - kMax);
    double hi = 1.0 / (1.0 - kMin);
    double beta = 0.5;
    for (int step = 0; step < MaxSteps; ++step) {
        double f, df;
        Residual(z, K, beta, f, df);
        if (!std::isfinite(f) || !std::isfinite(df))
            return std::nullopt;
        if (f == 0.0)
            return beta;
        if (f > 0.0)
            lo = beta;
        else
            hi = beta;
        double next = beta - f / df;
        if (!(next > lo && next < hi))
            next = 0.5 * (lo + hi);
        if (std::fabs(next - beta) <= 1e-15 * std::fmax(1.0, std::fabs(beta)))
            return next;
        beta = next;
    }
    return std::nullopt;
}

void SplitCompositions(std::span<const double> z, std::span<const double> K, double beta, std::span<double> x,
                       std::span<double> y)
{
    for (std::size_t i = 0; i < z.size(); ++i) {
        x[i] = z[i] / (1.0 + beta * (K[i] - 1.0));
        y[i] = K[i] * x[i];
    }
}

} // namespace envelope::condition
