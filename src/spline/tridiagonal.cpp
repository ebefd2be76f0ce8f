#include "spline/tridiagonal.h"

#include <cstdint>

#include "thermo/numerical_fault.h"

namespace envelope {

void SolveLinearSystem(TridiagonalSystem& A, std::span<double> X)
{
    const std::int16_t n = Count16(static_cast<long long>(X.size()));

    // Forward elimination; column 0 keeps the multipliers, column 1 the
    // reduced diagonal. A zero pivot gives an infinity or a NaN and faults.
    for (std::int16_t i = 1; i <= n - 1; ++i) {
        A(i, 0) = Finite(A(i, 0) / A(i - 1, 1));
        A(i, 1) = Finite(A(i, 1) - A(i - 1, 2) * A(i, 0));
        A(i, 3) = Finite(A(i, 3) - A(i - 1, 3) * A(i, 0));
    }

    // Back substitution into column 3; an empty X addresses row -1 here.
    A(n - 1, 3) = Finite(A(n - 1, 3) / A(n - 1, 1));
    for (std::int16_t i = Count16(n - 2); i >= 0; --i)
        A(i, 3) = Finite((A(i, 3) - A(i + 1, 3) * A(i, 2)) / A(i, 1));

    // X is written only once the whole solve has succeeded.
    for (std::int16_t i = 0; i <= n - 1; ++i)
        At(X, i) = A(i, 3);
}

} // namespace envelope
