// The flash and the two saturation-pressure searches, one call per iteration.
#include <cstdint>
#include <span>

#include "bench_setup.h"
#include "envelope/run_workspace.h"
#include "equilibrium/flash.h"
#include "equilibrium/saturation_pressure.h"

namespace envelope::bench {

namespace {

// The check flash of the marches (tolerance 1e-5, 50 passes) at a two-phase
// point of the feed, 400 K and 10 bar.
void BM_IsothermalFlash(benchmark::State& state)
{
    const CompositionVector feed = LoadCase();
    CompositionVector x(feed.size(), 0.0), y(feed.size(), 0.0);
    double V = 0.0;
    const CoreWork work;
    for (auto _ : state) {
        IsothermalFlash(feed, PointTemperature, PointPressure, y, x, V, MarchTolerance, CheckFlashPasses);
        benchmark::DoNotOptimize(V);
        benchmark::ClobberMemory();
    }
    work.Report(state);
    if (!(V > 0 && V < 1))
        state.SkipWithError("the flash point is not two-phase");
}
BENCHMARK(BM_IsothermalFlash)->Apply(Repeated);

// One saturation-pressure search per iteration at the given march point, the
// pressure reset to the point's value before each.
using SaturationSearch = void (*)(std::span<const double>, double, std::span<double>, double&, double);

void MeasureSearch(benchmark::State& state, SaturationSearch search, const CompositionVector& feed,
                   const MarchPoint& point)
{
    CompositionVector incipient(feed.size(), 0.0);
    double P = 0.0;
    const CoreWork work;
    for (auto _ : state) {
        P = point.pressure;
        search(feed, point.temperature, incipient, P, MarchTolerance);
        benchmark::DoNotOptimize(P);
        benchmark::ClobberMemory();
    }
    work.Report(state);
}

// The bubble-pressure search of one bubble march step, started from the
// pressure of the step before, as the run starts it.
void BM_BubblePressure(benchmark::State& state)
{
    const CompositionVector feed = LoadCase();
    MeasureSearch(state, BubblePressure, feed, BubbleMarchPoint(feed));
}
BENCHMARK(BM_BubblePressure)->Apply(Repeated);

// The dew-pressure search of one dew march step.
void BM_DewPressure(benchmark::State& state)
{
    const CompositionVector feed = LoadCase();
    MeasureSearch(state, DewPressure, feed, DewMarchPoint(feed));
}
BENCHMARK(BM_DewPressure)->Apply(Repeated);

} // namespace

} // namespace envelope::bench
