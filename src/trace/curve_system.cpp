#include "trace/curve_system.h"

#include <algorithm>
#include <cmath>

#include "thermo/numerical_fault.h"

namespace envelope::trace {

namespace {

// Converged when no equation is off by more than this.
constexpr double ResidualTolerance = 1e-10;
// A solution whose ln K are all this close to zero is the trivial one.
constexpr double TrivialLnK = 1e-6;

} // namespace

CurveSystem::CurveSystem(const MixtureModel& model, std::span<const double> feed, double beta)
    : model_(model), z_(feed.begin(), feed.end()), beta_(beta), n_(model.Size())
{
    if (z_.size() != n_)
        RaiseNumericalFault(FaultKind::BadInput, "feed length");
    x_.resize(n_);
    y_.resize(n_);
    dx_.resize(n_);
    dy_.resize(n_);
    g_.resize(n_ + 2);
    J_.resize((n_ + 2) * (n_ + 2));
    step_.resize(n_ + 2);
}

void CurveSystem::Evaluate(std::span<const double> X, std::size_t fixed, std::span<double> g, std::span<double> J)
{
    const std::size_t n = n_, m = n_ + 2;
    const double T = Finite(std::exp(X[n]));
    const double P = Finite(std::exp(X[n + 1]));
    for (std::size_t i = 0; i < n; ++i) {
        const double K = Finite(std::exp(X[i]));
        const double d = 1.0 - beta_ + beta_ * K;
        x_[i] = Finite(z_[i] / d);
        y_[i] = K * x_[i];
        dx_[i] = -beta_ * y_[i] / d;
        dy_[i] = y_[i] * (1.0 - beta_) / d;
    }
    model_.Evaluate(T, P, y_, yVapour_ ? RootKind::Vapour : RootKind::Liquid, true, phaseY_);
    model_.Evaluate(T, P, x_, yVapour_ ? RootKind::Liquid : RootKind::Vapour, true, phaseX_);
    double sumY = 0.0, sumX = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        sumY += y_[i];
        sumX += x_[i];
    }
    volumeY_ = phaseY_.volume / sumY;
    volumeX_ = phaseX_.volume / sumX;

    double balance = 0.0;
    for (std::size_t i = 0; i < n; ++i) {
        g[i] = X[i] + phaseY_.lnPhi[i] - phaseX_.lnPhi[i];
        balance += y_[i] - x_[i];
        double* row = &J[i * m];
        const double* ny = &phaseY_.dn[i * n];
        const double* nx = &phaseX_.dn[i * n];
        for (std::size_t j = 0; j < n; ++j)
            row[j] = ny[j] * dy_[j] - nx[j] * dx_[j];
        row[i] += 1.0;
        row[n] = T * (phaseY_.dT[i] - phaseX_.dT[i]);
        row[n + 1] = P * (phaseY_.dP[i] - phaseX_.dP[i]);
    }
    g[n] = balance;
    double* balanceRow = &J[n * m];
    for (std::size_t j = 0; j < n; ++j)
        balanceRow[j] = dy_[j] - dx_[j];
    balanceRow[n] = 0.0;
    balanceRow[n + 1] = 0.0;
    g[n + 1] = 0.0;
    double* fixedRow = &J[(n + 1) * m];
    for (std::size_t j = 0; j < m; ++j)
        fixedRow[j] = j == fixed ? 1.0 : 0.0;
}

int CurveSystem::Solve(std::span<double> X, std::size_t fixed, double value, int maxIterations, double maxChange,
                       std::span<double> tangent)
{
    const std::size_t n = n_, m = n_ + 2;
    X[fixed] = value;
    for (int iteration = 0; iteration <= maxIterations; ++iteration) {
        double residual = 0.0;
        try {
            Evaluate(X, fixed, g_, J_);
        } catch (const NumericalFault&) {
            return -1;
        }
        g_[n + 1] = X[fixed] - value;
        for (double v : g_)
            residual = std::max(residual, std::fabs(v));
        if (!std::isfinite(residual) || !lu_.Factor(J_, m))
            return -1;
        if (residual < ResidualTolerance) {
            double largest = 0.0;
            for (std::size_t i = 0; i < n; ++i)
                largest = std::max(largest, std::fabs(X[i]));
            if (largest < TrivialLnK)
                return -1;
            std::fill(tangent.begin(), tangent.end(), 0.0);
            tangent[n + 1] = 1.0;
            lu_.Solve(tangent);
            for (double v : tangent)
                if (!std::isfinite(v))
                    return -1;
            return iteration;
        }
        if (iteration == maxIterations)
            break;
        for (std::size_t k = 0; k < m; ++k)
            step_[k] = -g_[k];
        lu_.Solve(step_);
        double largest = 0.0;
        for (double v : step_)
            largest = std::max(largest, std::fabs(v));
        if (!std::isfinite(largest))
            return -1;
        const double scale = largest > maxChange ? maxChange / largest : 1.0;
        for (std::size_t k = 0; k < m; ++k)
            X[k] += scale * step_[k];
    }
    return -1;
}

} // namespace envelope::trace
