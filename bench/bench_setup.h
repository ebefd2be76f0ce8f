#pragma once
// What every benchmark shares: the repetition settings and the points of the
// built-in case that the benchmarks calculate at.

#include <array>
#include <cstdint>

#include <benchmark/benchmark.h>

#include "thermo/composition.h"
#include "thermo/mixture.h"
#include "thermo/workspace.h"

namespace envelope::bench {

// Fixed minimum time and repetitions, so that one pass over all benchmarks
// takes well under a minute and the median is taken over the same number of
// repetitions every time.
inline void Repeated(benchmark::internal::Benchmark* b)
{
    b->MinTime(0.25)->Repetitions(9)->ReportAggregatesOnly(true);
}

// The two-phase point of the feed used by the single-call benchmarks.
inline constexpr double PointTemperature = 400.0; // K
inline constexpr double PointPressure = 10.0;     // bar

// The march step whose saturation pressure the search benchmarks find; step
// 10 lies well inside both branches.
inline constexpr int MarchStep = 10;

// A point of a march as the run reaches it: the temperature of the step and
// the pressure the step's search starts from.
struct MarchPoint {
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
};

// The core's work counters: the calls of FugacityCoefficients, the passes of
// the root finder and of the flash, each reported per benchmark iteration.
void ReportWork(benchmark::State& state, const SolverCounters& counters);

// The built-in case.
const Mixture& Case();

// The cubic in Z of the equation of state for composition x of the mixture at
// (T, P), lowest power first, formed with the mixing rules of
// FugacityCoefficients (no interaction parameters).
std::array<double, 4> CompressibilityCubic(const Mixture& mixture, const CompositionVector& x, double T, double P);

// The bubble march's step MarchStep, reached as the run reaches it: the start
// point at 2 bar, then one bubble-pressure search per 8 K step, each starting
// from the pressure of the step before.
MarchPoint BubbleMarchPoint(const Mixture& mixture);

// The dew march's step MarchStep: the dew start point at 2 bar plus MarchStep
// steps of 5 K. The dew search ignores the pressure handed to it.
MarchPoint DewMarchPoint(const Mixture& mixture);

} // namespace envelope::bench
