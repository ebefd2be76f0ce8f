#pragma once
// The system's single numerical-fault error and the checks that raise it.
//
// Every floating-point result that overflows, divides by zero or is invalid,
// every array index outside its bounds, and every 16-bit count that overflows
// raises NumericalFault. It is caught only by the flash (which ends quietly)
// and by the run (which decides per stage what a fault means). Each fault
// carries its kind and, as what(), the reason in words.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace envelope {

enum class FaultKind {
    // A floating-point result that is infinite or not a number.
    NotFinite,
    // An array, table row or column, or chart series index outside its bounds.
    Index,
    // A 16-bit count or loop index that overflowed, or more components than
    // a calculation holds.
    CountOverflow,
    // An iteration that reached its pass limit.
    NotConverged,
    // A saturation search that ended on the feed itself (all K-values 1).
    TrivialSolution,
    // A search that found no interval holding its answer.
    NoBracket,
    // Too few table rows for the spline's knots.
    TooFewPoints,
    // A number that does not fit its text, or a text that gives no number.
    Text,
    // Input the calculation refuses, such as asymmetric interaction parameters.
    BadInput,
};

// The kind in a few words, e.g. "not converged".
const char* FaultKindName(FaultKind kind);

class NumericalFault : public std::runtime_error {
public:
    NumericalFault(FaultKind kind, const char* reason) : std::runtime_error(reason), kind_(kind) {}

    FaultKind kind() const { return kind_; }

private:
    FaultKind kind_;
};

[[noreturn]] void RaiseNumericalFault(FaultKind kind, const char* reason);

// Returns v when it is a finite double, otherwise raises the fault. Division by
// zero, overflow and invalid operations all produce an infinity or a NaN, so a
// check on the result of each formula catches them where they are produced.
inline double Finite(double v)
{
    if (!std::isfinite(v)) [[unlikely]]
        RaiseNumericalFault(FaultKind::NotFinite, "non-finite floating-point result");
    return v;
}

// Narrows a count or loop index to the 16-bit signed range used for counts.
inline std::int16_t Count16(long long v)
{
    if (v < INT16_MIN || v > INT16_MAX) [[unlikely]]
        RaiseNumericalFault(FaultKind::CountOverflow, "16-bit count overflow");
    return static_cast<std::int16_t>(v);
}

// Adds one to a 16-bit count, faulting where the count would overflow.
inline void Increment16(std::int16_t& count)
{
    count = Count16(static_cast<long long>(count) + 1);
}

// Bounds-checked element access for any contiguous container or span.
template <class Container>
inline decltype(auto) At(Container&& c, long long i)
{
    if (i < 0 || static_cast<unsigned long long>(i) >= static_cast<unsigned long long>(c.size())) [[unlikely]]
        RaiseNumericalFault(FaultKind::Index, "index out of range");
    return c[static_cast<std::size_t>(i)];
}

} // namespace envelope
