// The equation of state and its root finder, one call per iteration.
#include <array>
#include <cstdint>

#include "bench_setup.h"
#include "thermo/bairstow.h"
#include "thermo/eos.h"

namespace envelope::bench {

namespace {

// The feed at 400 K and 10 bar, with the selector given as the argument.
void BM_FugacityCoefficients(benchmark::State& state)
{
    const Mixture& mixture = Case();
    const auto phase = static_cast<std::int16_t>(state.range(0));
    std::array<double, 3> phi{};
    SolverWorkspace work;
    for (auto _ : state) {
        FugacityCoefficients(mixture, SoaveRedlichKwong, mixture.feed, PointPressure, PointTemperature, phi, phase,
                             work);
        benchmark::DoNotOptimize(phi.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(phase == LiquidPhase ? "liquid" : "vapour");
}
BENCHMARK(BM_FugacityCoefficients)->ArgName("phase")->Arg(LiquidPhase)->Arg(VapourPhase)->Apply(Repeated);

// The cubic in Z of the feed at 400 K and 10 bar (three positive real roots),
// built afresh each time because the root finder deflates it in place.
void BM_BairstowRoots(benchmark::State& state)
{
    const std::array<double, 4> cubic = CompressibilityCubic(Case(), Case().feed, PointTemperature, PointPressure);
    std::array<double, 4> a{};
    std::array<double, 3> re{};
    std::array<double, 3> im{};
    SolverCounters work;
    for (auto _ : state) {
        a = cubic;
        BairstowRoots(a, re, im, work.rootFinderPasses);
        benchmark::DoNotOptimize(re.data());
        benchmark::DoNotOptimize(im.data());
        benchmark::ClobberMemory();
    }
    ReportWork(state, work);
}
BENCHMARK(BM_BairstowRoots)->Apply(Repeated);

} // namespace

} // namespace envelope::bench
