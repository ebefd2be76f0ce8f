#pragma once
// Program-wide component property tables. The run fills them before any
// calculation; the equation of state, the flash and the saturation searches
// read them. Each table has exactly three entries, so an index of 3 or more
// (or a ComponentCount above 3) is an index fault.

#include <array>
#include <cstdint>

namespace envelope {

inline constexpr std::size_t PropertyTableSize = 3;
using PropertyTable = std::array<double, PropertyTableSize>;

extern std::int16_t ComponentCount;
extern PropertyTable CriticalTemperature; // K
extern PropertyTable CriticalPressure;    // bar
extern PropertyTable AcentricFactor;

} // namespace envelope
