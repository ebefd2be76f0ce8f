#include "bench_setup.h"

#include <cmath>
#include <cstddef>

#include "envelope/case.h"
#include "envelope/run_workspace.h"
#include "equilibrium/flash.h"
#include "equilibrium/saturation_pressure.h"
#include "equilibrium/saturation_temperature.h"
#include "thermo/bairstow.h"
#include "thermo/eos.h"

namespace envelope::bench {

namespace {

benchmark::Counter PerIteration(long long count)
{
    return benchmark::Counter(static_cast<double>(count), benchmark::Counter::kAvgIterations);
}

} // namespace

void ReportWork(benchmark::State& state, const SolverCounters& counters)
{
    state.counters["fugacity_calls"] = PerIteration(counters.fugacityCalls);
    state.counters["bairstow_passes"] = PerIteration(counters.rootFinderPasses);
    state.counters["flash_passes"] = PerIteration(counters.flashPasses);
}

const Mixture& Case()
{
    static const Mixture builtIn = BuiltInMixture();
    return builtIn;
}

std::array<double, 4> CompressibilityCubic(const Mixture& mixture, const CompositionVector& x, double T, double P)
{
    std::array<double, MaxComponentCount> ai{};
    double b = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i) {
        const double tc = mixture.criticalTemperature[i];
        const double pc = mixture.criticalPressure[i];
        const double omega = mixture.acentricFactor[i];
        const CubicModel& srk = SoaveRedlichKwong;
        b = b + x[i] * (srk.omegaB * GasConstant * tc / pc);
        const double m = srk.Slope(omega);
        const double s = 1 + m * (1 - std::sqrt(T / tc));
        ai[i] = srk.omegaA * ((GasConstant * tc) * (GasConstant * tc)) / pc * (s * s);
    }
    double a = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i)
        for (std::size_t j = 0; j < x.size(); ++j)
            a = a + x[i] * x[j] * std::sqrt(ai[i] * ai[j]);
    const double rt = GasConstant * T;
    const double A = a * P / (rt * rt);
    const double B = b * P / rt;
    return {-A * B, A - B * (1 + B), -1.0, 1.0};
}

MarchPoint BubbleMarchPoint(const Mixture& mixture)
{
    const CompositionVector& feed = mixture.feed;
    CompositionVector vapour(feed.size(), 0.0);
    SolverWorkspace work;
    MarchPoint point{BubbleStartGuess, StartPressure};
    BubbleTemperature(mixture, SoaveRedlichKwong, feed, StartPressure, vapour, point.temperature, StartBandWidth, work);
    for (int step = 1; step < MarchStep; ++step) {
        point.temperature += BubbleStep;
        BubblePressure(mixture, SoaveRedlichKwong, feed, point.temperature, vapour, point.pressure, MarchTolerance,
                       work);
    }
    point.temperature += BubbleStep;
    return point;
}

MarchPoint DewMarchPoint(const Mixture& mixture)
{
    CompositionVector liquid(mixture.feed.size(), 0.0);
    SolverWorkspace work;
    MarchPoint point{DewStartGuess, StartPressure};
    DewTemperature(mixture, SoaveRedlichKwong, mixture.feed, StartPressure, liquid, point.temperature, StartBandWidth,
                   work);
    for (int step = 0; step < MarchStep; ++step)
        point.temperature += DewStep;
    return point;
}

} // namespace envelope::bench
