#pragma once
// The equations of one point of the two-phase boundary, in the unknowns
// X = (ln K_1 .. ln K_n, ln T, ln P) for a feed z split with phase fraction
// beta into y_i = K_i x_i and x_i = z_i / (1 - beta + beta K_i):
//
//   ln K_i + ln phi_i(y) - ln phi_i(x) = 0       (n equations)
//   sum_i (y_i - x_i) = 0
//   X_s - S = 0                                  (one unknown fixed)
//
// solved by Newton's method with the analytic Jacobian. The same Jacobian
// gives the curve's tangent dX/dS, which the tracer extrapolates along.
//
// Which root of the cubic each phase takes is set from outside: y takes the
// vapour root on the dew side of the curve and the liquid root on the bubble
// side. The roles swap only at a critical point, where the two phases become
// one; at an azeotrope every ln K changes sign too, but the phases keep their
// roots, so the side is the tracer's to decide, not the sign of a ln K.

#include <cstddef>
#include <span>
#include <vector>

#include "trace/dense_lu.h"
#include "trace/mixture_model.h"

namespace envelope::trace {

class CurveSystem {
public:
    CurveSystem(const MixtureModel& model, std::span<const double> feed, double beta);

    // Index of ln T and ln P in X; the unknown count is n + 2.
    std::size_t TemperatureIndex() const { return n_; }
    std::size_t PressureIndex() const { return n_ + 1; }
    std::size_t Unknowns() const { return n_ + 2; }

    // Whether y takes the vapour root (the dew side) or the liquid root.
    void SetYVapour(bool yVapour) { yVapour_ = yVapour; }
    bool YVapour() const { return yVapour_; }

    // Newton from X (updated in place) with X[fixed] = value. On success
    // returns the iteration count and writes the tangent dX/dS; returns -1
    // when it does not converge within maxIterations, or converges on the
    // trivial solution (all K equal to one). No step moves any unknown by
    // more than maxChange.
    int Solve(std::span<double> X, std::size_t fixed, double value, int maxIterations, double maxChange,
              std::span<double> tangent);

    // Residuals g and Jacobian dg/dX (row-major) at X with X[fixed] held
    // (its value S is taken as X[fixed], so g's last entry is 0).
    void Evaluate(std::span<const double> X, std::size_t fixed, std::span<double> g, std::span<double> jacobian);

    // Molar volumes of the two phases at the last evaluation, m3/mol.
    double VolumeY() const { return volumeY_; }
    double VolumeX() const { return volumeX_; }

private:
    const MixtureModel& model_;
    std::vector<double> z_;
    double beta_;
    std::size_t n_;
    bool yVapour_ = true;
    double volumeY_ = 0.0, volumeX_ = 0.0;
    std::vector<double> x_, y_, dx_, dy_, g_, J_, step_;
    PhaseState phaseX_, phaseY_;
    DenseLu lu_;
};

} // namespace envelope::trace
