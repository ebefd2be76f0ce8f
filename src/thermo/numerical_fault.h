#pragma once
// The system's single numerical-fault error and the checks that raise it.
//
// Every floating-point result that overflows, divides by zero or is invalid,
// every array index outside its bounds, and every 16-bit count that overflows
// raises NumericalFault. It is caught only by the flash (which ends quietly)
// and by the run (which decides per stage what a fault means).

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>

namespace envelope {

class NumericalFault : public std::runtime_error {
public:
    explicit NumericalFault(const char* what) : std::runtime_error(what) {}
};

[[noreturn]] void RaiseNumericalFault(const char* what);

// Returns v when it is a finite double, otherwise raises the fault. Division by
// zero, overflow and invalid operations all produce an infinity or a NaN, so a
// check on the result of each formula catches them where they are produced.
inline double Finite(double v)
{
    if (!std::isfinite(v)) [[unlikely]]
        RaiseNumericalFault("non-finite floating-point result");
    return v;
}

// Narrows a count or loop index to the 16-bit signed range used for counts.
inline std::int16_t Count16(long long v)
{
    if (v < INT16_MIN || v > INT16_MAX) [[unlikely]]
        RaiseNumericalFault("16-bit count overflow");
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
        RaiseNumericalFault("index out of range");
    return c[static_cast<std::size_t>(i)];
}

} // namespace envelope
