#include "envelope/memory_run.h"

namespace envelope {

MemoryRun RunInMemory()
{
    MemoryRun run;
    for (MemoryTable* table : {&run.bubbleTable, &run.dewTable, &run.interpolationTable})
        WriteColumnHeadings(*table);
    run.outcome = Run(run.bubbleTable, run.dewTable, run.interpolationTable, run.chart);
    return run;
}

} // namespace envelope
