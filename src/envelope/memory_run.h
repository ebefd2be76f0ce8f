#pragma once
// A run without windows: the three tables and the chart held in memory.

#include <vector>

#include "envelope/fraction_points.h"
#include "envelope/memory_chart.h"
#include "envelope/memory_table.h"
#include "envelope/run.h"

namespace envelope {

struct MemoryRun {
    MemoryTable bubbleTable;
    MemoryTable dewTable;
    MemoryTable interpolationTable;
    MemoryChart chart;
    // The points of the vapour-fraction series in the order the run added them.
    std::vector<FractionPoint> fractionPoints;
    RunOutcome outcome = RunOutcome::Completed;
    // How each stage of the run ended.
    RunReport report;
    // The numeric core's work in the run.
    SolverCounters counters;
};

// Writes the column headings into three new in-memory tables, as the main
// window does when it opens, and performs one run of the mixture with the
// model over them.
MemoryRun RunInMemory(const Mixture& mixture, const CubicModel& model = SoaveRedlichKwong);

} // namespace envelope
