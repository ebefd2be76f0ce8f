#include "thermo/bairstow.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

constexpr double ConvergenceBound = 1e-5;
constexpr std::int16_t MaxPasses = 1000;

// Working arrays indexed 0 to n, on the stack when they are small.
class WorkArray {
public:
    explicit WorkArray(std::size_t size) : size_(size)
    {
        if (size > small_.size())
            large_.assign(size, 0.0);
    }
    std::span<double> span()
    {
        return size_ > small_.size() ? std::span<double>(large_) : std::span<double>(small_.data(), size_);
    }

private:
    std::size_t size_;
    std::array<double, 16> small_{};
    std::vector<double> large_;
};

// The equation of state solves its cubic Z^3 - Z^2 + ... on every call,
// millions of times in a run, and a pass of the iteration is one long chain of
// dependent operations. That cubic has an instance of the method of its own:
// its working arrays are local std::arrays that nothing else can point into,
// so with the degree a constant the compiler unrolls every loop, drops the
// index checks that cannot fail and keeps b, c, r and s in registers; and its
// two leading coefficients are read as the constants 1 and -1 they are, so
// that products with the 1 and sums with the -1 take no step of the chain. The
// operations, their order, their results and their checks are those of every
// other polynomial.
using CubicWork = std::array<double, 4>;

struct EquationOfStateCubic {
    std::span<const double> a;
    static constexpr std::size_t size() { return 4; }
    double operator[](std::size_t i) const { return i == 3 ? 1.0 : i == 2 ? -1.0 : a[i]; }
};

bool IsEquationOfStateCubic(std::span<const double> a)
{
    return a.size() == 4 && a[3] == 1.0 && a[2] == -1.0;
}

template <class Work>
bool Unconverged(const Work& b)
{
    return std::fabs(At(b, 1)) > ConvergenceBound || std::fabs(At(b, 0)) > ConvergenceBound;
}

// Newton iteration on (r, s) for one quadratic factor of the degree-m
// polynomial a, at most MaxPasses passes, each counted in passCount. Returns whether
// the absolute test on b[0] and b[1] holds at the end.
template <class Coefficients, class Work>
[[gnu::always_inline]] inline bool IterateFactor(const Coefficients& a, std::int16_t m, Work& b, Work& c, double& r,
                                                 double& s, long long& passCount)
{
    At(b, 1) = 1.0;
    std::int16_t passes = 0;
    while (Unconverged(b) && passes < MaxPasses) {
        At(b, m) = At(a, m);
        At(b, m - 1) = Finite(At(a, m - 1) + r * At(b, m));
        for (std::int16_t i = m; i >= 2; --i)
            At(b, i - 2) = Finite(At(a, i - 2) + r * At(b, i - 1) + s * At(b, i));

        At(c, m) = At(b, m);
        At(c, m - 1) = Finite(At(b, m - 1) + r * At(c, m));
        for (std::int16_t i = m; i >= 3; --i)
            At(c, i - 2) = Finite(At(b, i - 2) + r * At(c, i - 1) + s * At(c, i));

        const double det = Finite(At(c, 2) * At(c, 2) - At(c, 3) * At(c, 1));
        const double dr = Finite((At(b, 0) * At(c, 3) - At(b, 1) * At(c, 2)) / det);
        const double ds = Finite((At(b, 1) * At(c, 1) - At(b, 0) * At(c, 2)) / det);
        r = Finite(r + dr);
        s = Finite(s + ds);
        Increment16(passes);
        ++passCount;
    }
    return !Unconverged(b);
}

// The whole method for the polynomial a of degree n with working arrays b and
// c indexed 0 to n. The iteration reads a through coefficients, which shows
// the same values.
template <class Coefficients, class Work>
[[gnu::always_inline]] inline void FindRoots(std::span<double> a, const Coefficients& coefficients, std::int16_t n,
                                             Work& b, Work& c, std::span<double> re, std::span<double> im,
                                             long long& passes)
{
    std::int16_t m = n;
    std::int16_t k = 0;
    double r = 1.0;
    double s = 1.0;

    while (m > 2) {
        if (!IterateFactor(coefficients, m, b, c, r, s, passes)) {
            r = 0.0;
            s = 0.0;
            if (!IterateFactor(coefficients, m, b, c, r, s, passes))
                RaiseNumericalFault(FaultKind::NotConverged, "quadratic factor did not converge");
        }
        for (std::int16_t i = m; i >= 2; --i)
            At(a, i - 2) = At(b, i);
        QuadraticFactorRoots(r, s, At(re, k), At(re, k + 1), At(im, k), At(im, k + 1));
        m = Count16(m - 2);
        k = Count16(k + 2);
    }

    if (m == 2) {
        const double r2 = Finite(-At(a, 1) / At(a, 2));
        const double s2 = Finite(-At(a, 0) / At(a, 2));
        QuadraticFactorRoots(r2, s2, At(re, k), At(re, k + 1), At(im, k), At(im, k + 1));
    } else {
        At(re, k) = Finite(-At(a, 0) / At(a, 1));
        At(im, k) = 0.0;
    }
}

} // namespace

void QuadraticFactorRoots(double r, double s, double& re1, double& re2, double& im1, double& im2)
{
    const double d = Finite(r * r + 4 * s);
    if (d >= 0) {
        const double root = std::sqrt(d);
        re1 = Finite((r + root) / 2);
        re2 = Finite((r - root) / 2);
        im1 = 0.0;
        im2 = 0.0;
    } else {
        const double root = std::sqrt(-d);
        re1 = Finite(r / 2);
        re2 = Finite(r / 2);
        im1 = Finite(root / 2);
        im2 = Finite(-root / 2);
    }
}

void BairstowRoots(std::span<double> a, std::span<double> re, std::span<double> im, long long& passes)
{
    const std::int16_t n = Count16(static_cast<long long>(a.size()) - 1);
    if (IsEquationOfStateCubic(a)) {
        CubicWork b{};
        CubicWork c{};
        FindRoots(a, EquationOfStateCubic{a}, 3, b, c, re, im, passes);
        return;
    }
    const std::size_t workSize = n >= 0 ? static_cast<std::size_t>(n) + 1 : 0;
    WorkArray bStore(workSize), cStore(workSize);
    std::span<double> b = bStore.span();
    std::span<double> c = cStore.span();
    FindRoots(a, std::span<const double>(a), n, b, c, re, im, passes);
}

} // namespace envelope
