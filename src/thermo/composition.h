#pragma once
// Composition vectors (mole fractions, K-values, fugacity coefficients) and the
// three operations the equilibrium calculations use on them every iteration.

#include <span>
#include <vector>

namespace envelope {

using CompositionVector = std::vector<double>;

// Running sum from 0.0 over the whole index range, in ascending order.
double SumVector(std::span<const double> v);

// Divides every entry, in place, by the sum taken once before any entry changes.
void NormalizeVector(std::span<double> v);

// target[i] = source[i] over the target's index range (target first).
void CopyVector(std::span<double> target, std::span<const double> source);

} // namespace envelope
