#pragma once
// The marches along the two saturation branches, upward in temperature from
// the start points at 2 bar.

#include <cstdint>

#include "envelope/chart.h"
#include "envelope/run_workspace.h"
#include "envelope/table.h"

namespace envelope {

// Steps 8 K at a time from startTemperature: bubble pressure, check flash of
// the feed, the three constant vapour-fraction points, then row r of the table
// and the bubble point. Ends at the first check flash above 0.1 or, silently,
// at the first numerical fault; what earlier steps wrote stays. Returns the
// row counter r as it stood at the end (one past the last complete step's row).
std::int16_t BubbleMarch(RunWorkspace& run, double startTemperature, Table& table, Chart& chart);

// Steps 5 K at a time from startTemperature: dew pressure, check flash, then
// row r of the table and the dew point. Ends at a dew pressure of 0, at the
// first check flash below 0.9 or, silently, at the first numerical fault.
// Returns the row counter as BubbleMarch does.
std::int16_t DewMarch(RunWorkspace& run, double startTemperature, Table& table, Chart& chart);

} // namespace envelope
