#pragma once
// One complete run of a mixture: the start points at 2 bar, the bubble and
// dew marches with the constant vapour-fraction lines, and the spline across
// the gap between the two branches, given as a result value.

#include "envelope/run_options.h"
#include "envelope/run_result.h"
#include "thermo/cubic_model.h"
#include "thermo/mixture.h"

namespace envelope {

// The text of the message box that reports a failed run, spelled as the system
// has always spelled it.
inline constexpr char NumericalErrorMessage[] = "a numerical error has occured";

// One complete run of the mixture's feed with the equation of state of the
// model. The start searches begin from the
// built-in case's own guesses for the built-in case (IsBuiltInCase), and from
// Wilson's estimates at the start pressure for any other mixture. A numerical
// fault never leaves the run: the result's report says which stage it ended
// and the result holds what was found before it. Whoever shows the result
// shows the message box with NumericalErrorMessage for both failure outcomes,
// and the chart window unless the outcome is StartPhaseFailed.
// The options change how the run does its work, never its results.
RunResult Run(const Mixture& mixture, const CubicModel& model = SoaveRedlichKwong, const RunOptions& options = {});

} // namespace envelope
