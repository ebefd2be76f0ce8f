#pragma once
// The marches along the two saturation branches, upward in temperature from
// the start points at 2 bar. Each march is traced in full first and written
// afterwards, in the order in which the march found its results, so that the
// work of a run can be shared out over two threads while every table and
// chart write keeps its place.

#include <array>
#include <cstdint>
#include <deque>
#include <exception>
#include <functional>
#include <vector>

#include "envelope/chart.h"
#include "envelope/run_report.h"
#include "envelope/run_workspace.h"
#include "envelope/table.h"
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

// The bubble march. A second thread, started with the object, first runs
// helperFirst and then takes up the constant vapour-fraction searches of each
// step the march accepts, while this thread goes on with the march.
class BubbleBranch {
public:
    BubbleBranch(RunWorkspace& run, std::function<void()> helperFirst);

    // Steps 8 K at a time from startTemperature: bubble pressure and check
    // flash of the feed, and the three constant vapour-fraction searches of
    // every accepted step. Ends at the first check flash above 0.1 or at the
    // first numerical fault. Returns when all of the march's work, and
    // helperFirst, are done.
    void Trace(double startTemperature);

    // Writes every accepted step: its constant vapour-fraction points, then row
    // r of the table and the bubble point. A fault in a search or a write ends
    // the march there, silently; what earlier steps wrote stays. Returns the row
    // counter r as it stood at the end (one past the last complete step's row).
    // report receives the rows written and what ended the march.
    std::int16_t Write(Table& table, Chart& chart, StageReport& report) const;

private:
    RunWorkspace& run_;
    TwoThreadWork<MarchStep, FractionPressures> searches_;
    std::vector<MarchStep> steps_;
    std::deque<FractionPressures> fractions_;
    std::int16_t rEnd_ = 1;
    // What ended the tracing: the check flash or a fault, at which temperature.
    StageReport end_;
};

// The dew march, traced.
struct DewBranch {
    std::vector<MarchStep> steps;
    std::int16_t rEnd = 1; // the row counter at the step that ended the march
    StageReport end;       // what ended it, at which temperature
};

// Steps 5 K at a time from startTemperature: dew pressure and check flash.
// Ends at a dew pressure of 0, at the first check flash below 0.9 or at the
// first numerical fault. Works on compositions of its own and on solver, so
// that it can run alongside the bubble march.
DewBranch TraceDewBranch(const RunWorkspace& run, double startTemperature, SolverWorkspace& solver);

// Writes row r of the table and the dew point of every accepted step; a fault
// ends the march there, silently. Returns the row counter, and fills report,
// as BubbleBranch::Write does.
std::int16_t WriteDewBranch(const DewBranch& branch, Table& table, Chart& chart, StageReport& report);

} // namespace envelope
