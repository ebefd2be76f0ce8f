#pragma once
// A run without windows: its result, written onto three in-memory tables and
// an in-memory chart as the windows would show it.

#include "envelope/memory_chart.h"
#include "envelope/memory_table.h"
#include "envelope/run_options.h"
#include "envelope/run_result.h"
#include "thermo/cubic_model.h"
#include "thermo/mixture.h"

namespace envelope {

struct MemoryRun {
    RunResult result;
    MemoryTable bubbleTable;
    MemoryTable dewTable;
    MemoryTable interpolationTable;
    MemoryChart chart;
};

// The result written onto three new tables, which first get their column
// headings as the main window gives them when it opens, and a new chart.
MemoryRun InMemory(RunResult result);

// One run of the mixture with the model, in memory.
MemoryRun RunInMemory(const Mixture& mixture, const CubicModel& model = SoaveRedlichKwong,
                      const RunOptions& options = {});

} // namespace envelope
