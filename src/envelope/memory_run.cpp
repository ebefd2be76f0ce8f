#include "envelope/memory_run.h"

namespace envelope {

MemoryRun RunInMemory(const Mixture& mixture, const CubicModel& model)
{
    MemoryRun run;
    for (MemoryTable* table : {&run.bubbleTable, &run.dewTable, &run.interpolationTable})
        WriteColumnHeadings(*table);
    FractionPointLog chart(run.chart);
    run.report =
        RunWithReport(mixture, model, run.bubbleTable, run.dewTable, run.interpolationTable, chart, run.counters);
    run.outcome = run.report.outcome;
    run.fractionPoints = chart.points();
    return run;
}

} // namespace envelope
