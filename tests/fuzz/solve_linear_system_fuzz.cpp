// SolveLinearSystem with arbitrary bands, system sizes, and table shapes
// (some too small on purpose).
//
// Input layout: byte n, the length of X (mod 40), byte rows of A (mod 4: n - 1
// to n + 2), byte columns of A (mod 3: 3 to 5), then the doubles of A row by
// row.
//
// On a normal return: n >= 1 and A covers the system; X holds column 3 of A,
// every entry finite; column 2 of the system rows and everything outside them
// (and column 0 of row 0) are as they were. A fault leaves X untouched. For a
// strictly diagonally dominant system, where elimination without pivoting is
// stable, every equation holds to rounding accuracy.
#include <algorithm>
#include <limits>
#include <vector>

#include "fuzz_support.h"
#include "spline/tridiagonal.h"

using namespace envelope;
using namespace envelope::fuzz;

namespace {

bool ModerateMagnitude(double v)
{
    const double a = std::fabs(v);
    return a == 0.0 || (a > 1e-100 && a < 1e100);
}

// Residual of equation i against the solution, within rounding of its terms.
// Underflow is no fault: a solution entry too small for a normal double keeps
// only the absolute accuracy of the smallest subnormal, which the coefficients
// of its equation then magnify.
bool EquationHolds(const TridiagonalSystem& original, const std::vector<double>& u, long long i)
{
    const long long n = static_cast<long long>(u.size());
    const double sub = i > 0 ? original(i, 0) * u[i - 1] : 0.0;
    const double diagonal = original(i, 1) * u[i];
    const double super = i + 1 < n ? original(i, 2) * u[i + 1] : 0.0;
    const double rhs = original(i, 3);
    const double residual = sub + diagonal + super - rhs;
    const double scale = std::fabs(sub) + std::fabs(diagonal) + std::fabs(super) + std::fabs(rhs);
    const double coefficients = (i > 0 ? std::fabs(original(i, 0)) : 0.0) + std::fabs(original(i, 1)) +
                                (i + 1 < n ? std::fabs(original(i, 2)) : 0.0);
    const double underflow = 8 * std::numeric_limits<double>::denorm_min() * coefficients;
    if (!std::isfinite(residual) || !std::isfinite(scale))
        return true;
    return std::fabs(residual) <= 1e-10 * scale + underflow;
}

bool DiagonallyDominantAndModerate(const TridiagonalSystem& A, long long n)
{
    for (long long i = 0; i < n; ++i) {
        const double sub = i > 0 ? A(i, 0) : 0.0;
        const double super = i + 1 < n ? A(i, 2) : 0.0;
        for (double v : {sub, A(i, 1), super, A(i, 3)})
            if (!ModerateMagnitude(v))
                return false;
        if (!(std::fabs(A(i, 1)) > std::fabs(sub) + std::fabs(super)))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const long long n = in.Byte() % 40;
    const long long rows = std::max(0LL, n - 1 + in.Byte() % 4);
    const long long columns = 3 + in.Byte() % 3;

    TridiagonalSystem A(static_cast<std::size_t>(rows), static_cast<std::size_t>(columns));
    for (long long r = 0; r < rows; ++r)
        for (long long c = 0; c < columns; ++c)
            A(r, c) = in.Double();
    const TridiagonalSystem original = A;
    std::vector<double> X(static_cast<std::size_t>(n), Untouched());

    const bool returned = ReturnsOrFaults([&] { SolveLinearSystem(A, X); });
    if (!returned) {
        for (double v : X)
            Require(IsUntouched(v), "X was written by a solve that faulted");
        return 0;
    }

    Require(n >= 1, "an empty system was solved");
    Require(rows >= n && columns >= 4, "a table too small for the system was accepted");
    for (long long i = 0; i < n; ++i) {
        Require(std::isfinite(X[i]), "a solution entry is not finite");
        Require(SameBits(X[i], A(i, 3)), "X differs from column 3 of the reduced system");
        Require(SameBits(A(i, 2), original(i, 2)), "the super-diagonal was changed");
    }
    Require(SameBits(A(0, 0), original(0, 0)), "row 0, column 0 was changed");
    for (long long r = 0; r < rows; ++r)
        for (long long c = 0; c < columns; ++c)
            if (r >= n || c > 3)
                Require(SameBits(A(r, c), original(r, c)), "A was changed outside the system");

    if (DiagonallyDominantAndModerate(original, n))
        for (long long i = 0; i < n; ++i)
            Require(EquationHolds(original, X, i), "an equation of a diagonally dominant system does not hold");
    return 0;
}
