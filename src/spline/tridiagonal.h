#pragma once
// Tridiagonal linear systems in band form, solved by the Thomas algorithm.

#include <span>

#include "spline/matrix.h"

namespace envelope {

// A row per equation, columns: sub-diagonal, diagonal, super-diagonal,
// right-hand side.
using TridiagonalSystem = Matrix;

// Solves A in place (no pivoting, no scaling); n is taken from X. X is written
// only after the whole solve has succeeded; a zero pivot faults.
void SolveLinearSystem(TridiagonalSystem& A, std::span<double> X);

} // namespace envelope
