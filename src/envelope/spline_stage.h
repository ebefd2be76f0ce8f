#pragma once
// The spline stage of a run: the knots taken from the rows of the bubble and
// dew tables as the tables show them, the spline of temperature against
// pressure through them, and its segment across the gap between the two
// branches, evaluated into the interpolation table's rows and the "interp"
// series. Every function raises NumericalFault on a failure; the run decides
// what that means.

#include "envelope/run_result.h"
#include "envelope/run_workspace.h"

namespace envelope {

// Knots 0 to 4 from the last five rows of the bubble table (ascending), each
// as the table shows it (ReadBack). Fewer than five rows, start row included,
// is a fault: the gathering would reach the heading row.
void GatherBubbleKnots(RunWorkspace& run, const ResultTable& table);

// Knots from the knot count on, from the last row of the dew table up to the
// sixth from last, stopping when the count is above 10. Fewer than six rows
// is a fault.
void GatherDewKnots(RunWorkspace& run, const ResultTable& table);

// Fits the natural spline through the knots and adds the 21 points of the
// segment from the last bubble knot to the last dew knot: each as a point of
// the "interp" series and then as the next row of the interpolation table.
// result.report.spline.rows counts the rows added.
void InterpolateGap(const RunWorkspace& run, RunResult& result);

} // namespace envelope
