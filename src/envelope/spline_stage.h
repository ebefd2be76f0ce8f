#pragma once
// The spline stage of a run: the knots read back from the texts of the bubble
// and dew tables, the spline of temperature against pressure through them, and
// its segment across the gap between the two branches, evaluated into the
// interpolation table and the "interp" series. Every function raises
// NumericalFault on a failure; the run decides what that means.

#include <cstdint>

#include "envelope/chart.h"
#include "envelope/run_workspace.h"
#include "envelope/table.h"

namespace envelope {

// Knots 0 to 4 from rows rb - 5 to rb - 1 (ascending), where rb is the row
// counter the bubble march left. A table with fewer than five rows from row 1
// on is a fault: the gathering would read the heading row.
void GatherBubbleKnots(RunWorkspace& run, const Table& table, std::int16_t rb);

// Knots from the knot count on, from rows rd - 1 down to rd - 6, stopping when
// the count is above 10. Fewer than six rows from row 1 on is a fault.
void GatherDewKnots(RunWorkspace& run, const Table& table, std::int16_t rd);

// Fits the natural spline through the knots and writes the 21 points of the
// segment from the last bubble knot to the last dew knot: rows 1 to 21 of the
// table and points of the "interp" series. rows counts the rows written.
void InterpolateGap(const RunWorkspace& run, Table& table, Chart& chart, int& rows);

} // namespace envelope
