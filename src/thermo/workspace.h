#pragma once
// The per-run state of the numeric core. Every calculation that does work
// worth counting takes one by reference; nothing in the core keeps state of
// its own between calls. Two searches that run at the same time each take
// their own, and their owner adds the counters together afterwards.

#include "thermo/cubic_memo.h"

namespace envelope {

// How much work the core has done: calls of FugacityCoefficients, passes of
// the root finder's iteration and passes of the flash. Nothing in a
// calculation reads them; they serve tests and benchmarks.
struct SolverCounters {
    long long fugacityCalls = 0;
    long long rootFinderPasses = 0;
    long long flashPasses = 0;

    SolverCounters& operator+=(const SolverCounters& other)
    {
        fugacityCalls += other.fugacityCalls;
        rootFinderPasses += other.rootFinderPasses;
        flashPasses += other.flashPasses;
        return *this;
    }
    bool operator==(const SolverCounters&) const = default;
};

struct SolverWorkspace {
    SolverCounters counters;
    // The roots of the cubics solved with this workspace, once enabled (a run
    // enables it; a single calculation leaves it off).
    CubicRootMemo cubicRoots;

    // Adds what another workspace counted, e.g. one that served a search run
    // alongside this one.
    void Absorb(const SolverWorkspace& other) { counters += other.counters; }
};

} // namespace envelope
