#pragma once
// The Rachford-Rice equation of a two-phase split with K-values K_i = y_i/x_i:
//
//   f(beta) = sum_i z_i (K_i - 1) / (1 + beta (K_i - 1)) = 0,
//
// solved in its bracketed form: f falls strictly between its poles
// 1/(1 - K_max) < 0 and 1/(1 - K_min) > 1, where every x_i is positive, and
// Newton steps are kept inside a bracket that bisection narrows. The root
// may lie outside [0, 1] (a negative flash), which tells the caller the
// K-values make one phase.

#include <optional>
#include <span>

namespace envelope::condition {

// The root beta, or nothing when every K_i lies on one side of 1 (no root)
// or a value is not finite. z need not be normalised; its sum is the root's
// material: sum z_i (K_i - 1) / (1 + beta (K_i - 1)) = 0 holds either way.
std::optional<double> SolveRachfordRice(std::span<const double> z, std::span<const double> K);

// x_i = z_i / (1 + beta (K_i - 1)) and y_i = K_i x_i.
void SplitCompositions(std::span<const double> z, std::span<const double> K, double beta, std::span<double> x,
                       std::span<double> y);

} // namespace envelope::condition
