#pragma once
// One complete run of a mixture: the start points at 2 bar, the bubble and
// dew marches with the constant vapour-fraction lines, and the spline across
// the gap between the two branches, written only through the table and chart
// interfaces.

#include "envelope/chart.h"
#include "envelope/run_report.h"
#include "envelope/table.h"
#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope {

// The text of the message box that reports a failed run, spelled as the system
// has always spelled it.
inline constexpr char NumericalErrorMessage[] = "a numerical error has occured";

// One complete run of the mixture's feed with the Soave-Redlich-Kwong equation
// of state over the three tables (bubble curve, dew curve, interpolation) and
// the chart. The start searches begin from the
// built-in case's own guesses for the built-in case (IsBuiltInCase), and from
// Wilson's estimates at the start pressure for any other mixture. The caller
// shows the message box with NumericalErrorMessage for both failure outcomes,
// and shows the chart window unless the outcome is StartPhaseFailed. Tables and chart are never cleared:
// each march and interpolation step sets the row count one past the row it
// writes, and every run adds its points to those already on the chart.
RunOutcome Run(const Mixture& mixture, Table& bubbleTable, Table& dewTable, Table& interpolationTable,
               Chart& chart);

// The same run, adding the numeric core's work counters of the run to
// counters, whatever the outcome.
RunOutcome Run(const Mixture& mixture, Table& bubbleTable, Table& dewTable, Table& interpolationTable, Chart& chart,
               SolverCounters& counters);

// The run with the given equation of state, reporting how each stage ended;
// the numeric core's work counters of the run are added to counters.
RunReport RunWithReport(const Mixture& mixture, const CubicModel& model, Table& bubbleTable, Table& dewTable,
                        Table& interpolationTable, Chart& chart, SolverCounters& counters);

} // namespace envelope
