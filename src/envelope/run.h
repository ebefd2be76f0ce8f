#pragma once
// One complete run of a mixture: the start points at 2 bar, the bubble and
// dew marches with the constant vapour-fraction lines, and the spline across
// the gap between the two branches, written only through the table and chart
// interfaces.

#include "envelope/chart.h"
#include "envelope/table.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

// The text of the message box that reports a failed run, spelled as the system
// has always spelled it.
inline constexpr char NumericalErrorMessage[] = "a numerical error has occured";

enum class RunOutcome {
    // Every stage ran; the marches may have ended on a numerical fault, which
    // ends a march silently.
    Completed,
    // A numerical fault, or a start point that was not found, while the case
    // was set up or the start points were found. Rows written before it stay;
    // the marches and the spline stage did not run.
    StartPhaseFailed,
    // Both marches ran, but the knot gathering, the spline or the interpolation
    // failed (too few table rows included). What was written before stays.
    SplineStageFailed,
};

// One complete run of the mixture's feed over the three tables (bubble curve,
// dew curve, interpolation) and the chart. The caller shows the message box with
// NumericalErrorMessage for both failure outcomes, and shows the chart window
// unless the outcome is StartPhaseFailed. Tables and chart are never cleared:
// each march and interpolation step sets the row count one past the row it
// writes, and every run adds its points to those already on the chart.
RunOutcome Run(const Mixture& mixture, Table& bubbleTable, Table& dewTable, Table& interpolationTable,
               Chart& chart);

// The same run, adding the numeric core's work counters of the run to
// counters, whatever the outcome.
RunOutcome Run(const Mixture& mixture, Table& bubbleTable, Table& dewTable, Table& interpolationTable, Chart& chart,
               SolverCounters& counters);

} // namespace envelope
