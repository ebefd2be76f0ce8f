#include "envelope/memory_run.h"

namespace envelope {

MemoryRun RunInMemory(const Mixture& mixture)
{
    MemoryRun run;
    for (MemoryTable* table : {&run.bubbleTable, &run.dewTable, &run.interpolationTable})
        WriteColumnHeadings(*table);
    run.outcome = Run(mixture, run.bubbleTable, run.dewTable, run.interpolationTable, run.chart, run.counters);
    return run;
}

} // namespace envelope
