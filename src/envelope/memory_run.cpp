#include "envelope/memory_run.h"

#include "envelope/run.h"
#include "envelope/write_result.h"

namespace envelope {

MemoryRun InMemory(RunResult result)
{
    MemoryRun run;
    run.result = std::move(result);
    for (MemoryTable* table : {&run.bubbleTable, &run.dewTable, &run.interpolationTable})
        WriteColumnHeadings(*table);
    WriteRunResult(run.result, run.bubbleTable, run.dewTable, run.interpolationTable, run.chart);
    return run;
}

MemoryRun RunInMemory(const Mixture& mixture, const CubicModel& model, const RunOptions& options)
{
    return InMemory(Run(mixture, model, options));
}

} // namespace envelope
