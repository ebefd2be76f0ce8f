#include "spline/spline.h"

#include <cstddef>
#include <vector>

#include "spline/tridiagonal.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

// Number of entries of a working array whose last index is lastIndex; an
// empty array when the problem is too small, so that the first access faults.
std::size_t Entries(long long lastIndex)
{
    return lastIndex >= 0 ? static_cast<std::size_t>(lastIndex) + 1 : 0;
}

// Right-hand side of the equation for M(j + 1): six times the jump in the
// chord slope at x(j + 1).
double SlopeJump(std::span<const double> y, const std::vector<double>& h, long long j)
{
    return Finite(6 * ((At(y, j + 2) - At(y, j + 1)) / At(h, j + 1) - (At(y, j + 1) - At(y, j)) / At(h, j)));
}

// Rows 0 and n - 2 with M(0) and M(n) eliminated by the end condition. When
// n = 2 they are the same row and the last-row values stand.
void WriteEndRows(TridiagonalSystem& A, const std::vector<double>& h, std::int16_t n, std::int16_t endCondition)
{
    const double h0 = At(h, 0);
    const double h1 = At(h, 1);
    const double hLast = At(h, n - 1);
    const double hBeforeLast = At(h, n - 2);
    switch (endCondition) {
    case NaturalSpline:
        A(0, 1) = Finite(2 * (h1 + h0));
        A(0, 2) = h1;
        A(n - 2, 0) = hBeforeLast;
        A(n - 2, 1) = Finite(2 * (hLast + hBeforeLast));
        break;
    case ParabolicRunoutSpline:
        A(0, 1) = Finite(2 * h1 + 3 * h0);
        A(0, 2) = h1;
        A(n - 2, 0) = hBeforeLast;
        A(n - 2, 1) = Finite(3 * hLast + 2 * hBeforeLast);
        break;
    case NotAKnotSpline:
        A(0, 1) = Finite((2 * h1 + h0) * (h1 + h0) / h1);
        A(0, 2) = Finite((h1 * h1 - h0 * h0) / h1);
        A(n - 2, 0) = Finite((hBeforeLast * hBeforeLast - hLast * hLast) / hBeforeLast);
        A(n - 2, 1) = Finite((2 * hBeforeLast + hLast) * (hBeforeLast + hLast) / hBeforeLast);
        break;
    default:
        // No end condition: the end rows keep a zero diagonal and the solve
        // faults on it.
        break;
    }
}

// M(0) and M(n) from the end condition, M(0) first. Natural ends stay 0.
void CompleteEndValues(std::vector<double>& M, const std::vector<double>& h, std::int16_t n,
                       std::int16_t endCondition)
{
    if (endCondition == ParabolicRunoutSpline) {
        At(M, 0) = At(M, 1);
        At(M, n) = At(M, n - 1);
    } else if (endCondition == NotAKnotSpline) {
        At(M, 0) = Finite(((At(h, 1) + At(h, 0)) * At(M, 1) - At(M, 2) * At(h, 0)) / At(h, 1));
        At(M, n) = Finite(((At(h, n - 1) + At(h, n - 2)) * At(M, n - 1) - At(M, n - 2) * At(h, n - 1)) /
                          At(h, n - 2));
    }
}

} // namespace

void SplineInterpolate(std::span<const double> x, std::span<const double> y, SplineCoefficients& coefficients,
                       std::int16_t endCondition)
{
    // n segments through the points 0 to n; the last entry of x is not a point.
    const std::int16_t n = Count16(static_cast<long long>(x.size()) - 2);
    std::vector<double> h(Entries(n - 1));
    std::vector<double> M(Entries(n));
    std::vector<double> s(Entries(n - 2));
    TridiagonalSystem A(Entries(n - 2), 4);

    for (std::int16_t i = 0; i <= n - 1; ++i)
        At(h, i) = Finite(At(x, i + 1) - At(x, i));

    // Row r: first derivative continuous at x(r + 1).
    for (std::int16_t r = 1; r <= n - 3; ++r) {
        A(r, 0) = At(h, r);
        A(r, 1) = Finite(2 * (At(h, r + 1) + At(h, r)));
        A(r, 2) = At(h, r + 1);
        A(r, 3) = SlopeJump(y, h, r);
    }
    A(0, 3) = SlopeJump(y, h, 0);
    A(n - 2, 3) = SlopeJump(y, h, n - 2);
    A(0, 0) = 0;
    A(n - 2, 2) = 0;
    WriteEndRows(A, h, n, endCondition);

    SolveLinearSystem(A, s);
    for (std::int16_t r = 0; r <= n - 2; ++r)
        At(M, r + 1) = At(s, r);
    CompleteEndValues(M, h, n, endCondition);

    // Check that the whole block of rows 0 to n - 1, columns 0 to 3, exists
    // before writing, so that a table too small faults with nothing changed.
    static_cast<void>(coefficients(n - 1, 3));
    for (std::int16_t i = 0; i <= n - 1; ++i) {
        const double hi = At(h, i);
        const double mi = At(M, i);
        const double mNext = At(M, i + 1);
        coefficients(i, 0) = Finite((mNext - mi) / Finite(6 * hi));
        coefficients(i, 1) = Finite(mi / 2);
        coefficients(i, 2) = Finite((At(y, i + 1) - At(y, i)) / hi - (2 * hi * mi + mNext * hi) / 6);
        coefficients(i, 3) = At(y, i);
    }
}

} // namespace envelope
