#pragma once
// The marches along the two saturation branches, upward in temperature from
// the start points at 2 bar. Each march is traced in full first and written
// into the run's result afterwards, in the order in which the march found its
// results, so that the work of a run can be shared out over two threads while
// every row and chart point keeps its place.

#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <vector>

#include "envelope/run_report.h"
#include "envelope/run_result.h"
#include "envelope/run_workspace.h"
#include "envelope/two_threads.h"
#include "thermo/workspace.h"

namespace envelope {

// A step that its check flash accepted.
struct MarchStep {
    double T; // K
    double P; // bar, the saturation pressure
};

// The constant vapour-fraction pressures of one bubble step, in the order of
// FractionLines, as far as the searches got.
struct FractionPressures {
    std::array<double, FractionLines.size()> P{};
    std::size_t found = 0;    // searches that returned
    std::exception_ptr error; // what the next search raised, if it did
};

// The bubble march, traced: the steps its check flash accepted, the constant
// vapour-fraction pressures of each, the row counter at the step that ended
// the march and what ended it, at which temperature.
struct BubbleMarch {
    std::vector<MarchStep> steps;
    std::deque<FractionPressures> fractions; // one per step
    std::int16_t rEnd = 1;
    StageReport end;
};

// Traces the bubble march. A second thread, started with the object, first
// runs helperFirst and then takes up the constant vapour-fraction searches of
// each step the march accepts, while this thread goes on with the march.
class BubbleBranch {
public:
    BubbleBranch(RunWorkspace& run, std::function<void()> helperFirst);

    // Steps 8 K at a time from startTemperature: bubble pressure and check
    // flash of the feed, and the three constant vapour-fraction searches of
    // every accepted step. Ends at the first check flash above 0.1 or at the
    // first numerical fault. Returns when all of the march's work, and
    // helperFirst, are done.
    BubbleMarch Trace(double startTemperature);

private:
    RunWorkspace& run_;
    TwoThreadWork<MarchStep, FractionPressures> searches_;
};

// The dew march, traced.
struct DewMarch {
    std::vector<MarchStep> steps;
    std::int16_t rEnd = 1; // the row counter at the step that ended the march
    StageReport end;       // what ended it, at which temperature
};

// Steps 5 K at a time from startTemperature: dew pressure and check flash.
// Ends at a dew pressure of 0, at the first check flash below 0.9 or at the
// first numerical fault. Works on compositions of its own and on solver, so
// that it can run alongside the bubble march.
DewMarch TraceDewMarch(const RunWorkspace& run, double startTemperature, SolverWorkspace& solver);

// Adds every accepted step to the result, after the bubble table's start
// row: its constant vapour-fraction points, then row r of the bubble table
// and the bubble point. A search that raised an error ends the march at its
// step, silently, after the points of the searches before it; what earlier
// steps added stays. result.report.bubble receives the rows added (the start
// row not counted) and what ended the march.
void WriteBubbleMarch(const BubbleMarch& march, RunResult& result);

// Adds row r of the dew table and the dew point of every accepted step, and
// fills result.report.dew as WriteBubbleMarch does.
void WriteDewMarch(const DewMarch& march, RunResult& result);

// What a run does once both marches are traced and both start rows are in
// the result: writes the bubble march, gathers the bubble knots, writes the
// dew march, and runs the spline stage over the rows the tables show. A
// fault in the spline stage ends only that stage (outcome SplineStageFailed)
// and keeps what it added before.
void WriteMarchesAndSpline(RunWorkspace& run, const BubbleMarch& bubble, const DewMarch& dew, RunResult& result);

} // namespace envelope
