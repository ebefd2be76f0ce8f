#pragma once
// How a run ended, stage by stage: the start points, the bubble march, the dew
// march and the spline stage, each with what it wrote and what ended it.

#include <string>

#include "thermo/numerical_fault.h"

namespace envelope {

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

enum class StageEnd {
    // The stage did not run: an earlier one ended the run.
    NotRun,
    // The stage did all its work.
    Done,
    // A march's check flash gave a vapour fraction outside its limit.
    CheckFlash,
    // The dew march's pressure search gave 0 bar.
    NoDewPressure,
    // A numerical fault ended the stage.
    Fault,
};

struct StageReport {
    StageEnd end = StageEnd::NotRun;
    // Rows the stage wrote into its table: start rows, march rows (row 1, the
    // start point, not counted) or interpolation rows.
    int rows = 0;
    // A march's ending step: its temperature (K) and, when its check flash
    // ended it, the vapour fraction of that flash.
    double temperature = 0.0;
    double vapourFraction = 0.0;
    // When end is Fault: the fault's kind and reason.
    FaultKind fault = FaultKind::NotFinite;
    std::string reason;

    // Records the fault as what ended the stage.
    void EndBy(const NumericalFault& fault);
    // The fault as one text, "<reason> (<kind>)".
    std::string FaultText() const;
};

struct RunReport {
    RunOutcome outcome = RunOutcome::Completed;
    StageReport start, bubble, dew, spline;
    // The start temperatures (K) at the start pressure, once found.
    double bubbleStartTemperature = 0.0;
    double dewStartTemperature = 0.0;

    // The whole run on one short line, e.g. "start 162.2 K, 412.8 K; bubble
    // 49 rows, trivial solution at 554.2 K; dew 28 rows, V = 0.862 at 552.8 K;
    // spline 21 rows", each count that of the rows its table shows.
    std::string Summary() const;
    // The same, one line per stage, with the reasons of the faults.
    std::string Details() const;
    // For a failed outcome, the stage and the fault that decided it:
    // "<stage>: <reason> (<kind>)"; empty for a completed run.
    std::string FailureReason() const;
};

} // namespace envelope
