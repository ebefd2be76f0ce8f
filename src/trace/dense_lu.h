#pragma once
// LU factorisation with partial pivoting of a small dense square matrix, in
// place, and the solutions of systems with it. Row-major storage.

#include <cmath>
#include <cstddef>
#include <span>
#include <utility>
#include <vector>

namespace envelope::trace {

class DenseLu {
public:
    // Factorises the size x size matrix a (row-major, overwritten); false
    // when it is singular to working precision or holds a non-finite entry.
    bool Factor(std::span<double> a, std::size_t size)
    {
        n_ = size;
        lu_ = a;
        pivot_.resize(size);
        for (std::size_t k = 0; k < size; ++k) {
            std::size_t best = k;
            double largest = std::fabs(a[k * size + k]);
            for (std::size_t i = k + 1; i < size; ++i) {
                const double v = std::fabs(a[i * size + k]);
                if (v > largest) {
                    largest = v;
                    best = i;
                }
            }
            if (!(largest > 0.0) || !std::isfinite(largest))
                return false;
            pivot_[k] = best;
            if (best != k)
                for (std::size_t j = 0; j < size; ++j)
                    std::swap(a[k * size + j], a[best * size + j]);
            const double inverse = 1.0 / a[k * size + k];
            for (std::size_t i = k + 1; i < size; ++i) {
                const double factor = a[i * size + k] * inverse;
                a[i * size + k] = factor;
                if (factor == 0.0)
                    continue;
                for (std::size_t j = k + 1; j < size; ++j)
                    a[i * size + j] -= factor * a[k * size + j];
            }
        }
        return true;
    }

    // Solves A x = b in place (b becomes x) with the last factorisation.
    void Solve(std::span<double> b) const
    {
        const std::size_t size = n_;
        for (std::size_t k = 0; k < size; ++k)
            if (pivot_[k] != k)
                std::swap(b[k], b[pivot_[k]]);
        for (std::size_t i = 1; i < size; ++i)
            for (std::size_t j = 0; j < i; ++j)
                b[i] -= lu_[i * size + j] * b[j];
        for (std::size_t i = size; i-- > 0;) {
            for (std::size_t j = i + 1; j < size; ++j)
                b[i] -= lu_[i * size + j] * b[j];
            b[i] /= lu_[i * size + i];
        }
    }

private:
    std::size_t n_ = 0;
    std::span<double> lu_;
    std::vector<std::size_t> pivot_;
};

} // namespace envelope::trace
