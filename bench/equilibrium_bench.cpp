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
    const Mixture& mixture = Case();
    CompositionVector x(mixture.feed.size(), 0.0), y(mixture.feed.size(), 0.0);
    double V = 0.0;
    SolverWorkspace work;
    for (auto _ : state) {
        IsothermalFlash(mixture, SoaveRedlichKwong, mixture.feed, PointTemperature, PointPressure, y, x, V,
                        MarchTolerance, CheckFlashPasses, work);
        benchmark::DoNotOptimize(V);
        benchmark::ClobberMemory();
    }
    ReportWork(state, work.counters);
    if (!(V > 0 && V < 1))
        state.SkipWithError("the flash point is not two-phase");
}
BENCHMARK(BM_IsothermalFlash)->Apply(Repeated);

// One saturation-pressure search per iteration at the given march point, the
// pressure reset to the point's value before each.
using SaturationSearch = void (*)(const Mixture&, const CubicModel&, std::span<const double>, double,
                                  std::span<double>, double&, double, SolverWorkspace&);

void MeasureSearch(benchmark::State& state, SaturationSearch search, const Mixture& mixture, const MarchPoint& point)
{
    CompositionVector incipient(mixture.feed.size(), 0.0);
    double P = 0.0;
    SolverWorkspace work;
    for (auto _ : state) {
        P = point.pressure;
        search(mixture, SoaveRedlichKwong, mixture.feed, point.temperature, incipient, P, MarchTolerance, work);
        benchmark::DoNotOptimize(P);
        benchmark::ClobberMemory();
    }
    ReportWork(state, work.counters);
}

// The bubble-pressure search of one bubble march step, started from the
// pressure of the step before, as the run starts it.
void BM_BubblePressure(benchmark::State& state)
{
    MeasureSearch(state, BubblePressure, Case(), BubbleMarchPoint(Case()));
}
BENCHMARK(BM_BubblePressure)->Apply(Repeated);

// The dew-pressure search of one dew march step.
void BM_DewPressure(benchmark::State& state)
{
    MeasureSearch(state, DewPressure, Case(), DewMarchPoint(Case()));
}
BENCHMARK(BM_DewPressure)->Apply(Repeated);

} // namespace

} // namespace envelope::bench
