// The traced envelope: the trace from the dew point at 1 bar through the
// critical point to the bubble point at 1 bar, with the critical point,
// cricondenbar and cricondentherm refined, for the built-in mixture and a
// nine-component natural gas, with SRK and with Peng-Robinson, and for the
// n-butane/n-hexane binary, whose narrow critical region the step control
// must follow.
#include "bench_setup.h"
#include "components/component_table.h"
#include "envelope/case.h"
#include "trace/trace.h"

namespace envelope::bench {

namespace {

// N2, CO2, C1, C2, C3, iC4, nC4, iC5, nC5 (critical constants and acentric
// factors of the usual tables).
Mixture NaturalGas()
{
    Mixture gas;
    gas.name = "natural gas";
    gas.componentNames = {"nitrogen", "carbon dioxide", "methane", "ethane", "propane",
                          "isobutane", "n-butane", "isopentane", "n-pentane"};
    gas.criticalTemperature = {126.2, 304.2, 190.6, 305.4, 369.8, 408.1, 425.2, 460.4, 469.7};
    gas.criticalPressure = {33.9, 73.8, 46.0, 48.8, 42.5, 36.5, 38.0, 33.8, 33.7};
    gas.acentricFactor = {0.039, 0.225, 0.011, 0.099, 0.153, 0.183, 0.199, 0.227, 0.251};
    gas.feed = {0.01, 0.02, 0.85, 0.06, 0.03, 0.01, 0.01, 0.005, 0.005};
    return gas;
}

// n-butane and n-hexane, 50/50, with the component table's constants.
Mixture ButaneHexane()
{
    Mixture m;
    m.componentNames = {"n-butane", "n-hexane"};
    for (const std::string& name : m.componentNames) {
        const Component* known = FindComponent(name);
        m.criticalTemperature.push_back(known->criticalTemperature);
        m.criticalPressure.push_back(known->criticalPressure);
        m.acentricFactor.push_back(known->acentricFactor);
    }
    m.feed = {0.5, 0.5};
    return m;
}

void TraceOf(benchmark::State& state, const Mixture& mixture, const CubicModel& model = SoaveRedlichKwong)
{
    trace::TracedEnvelope result;
    for (auto _ : state) {
        result = trace::TraceEnvelope(mixture, model);
        benchmark::DoNotOptimize(result);
    }
    state.counters["points"] = static_cast<double>(result.points.size());
    if (result.verdict.kind != trace::Verdict::Complete || !result.critical.found || !result.cricondenbar.found ||
        !result.cricondentherm.found)
        state.SkipWithError("the trace did not complete with all three points");
}

void BM_TraceEnvelope(benchmark::State& state)
{
    TraceOf(state, BuiltInMixture());
}
BENCHMARK(BM_TraceEnvelope)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

void BM_TraceEnvelope_NaturalGas(benchmark::State& state)
{
    TraceOf(state, NaturalGas());
}
BENCHMARK(BM_TraceEnvelope_NaturalGas)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

void BM_TraceEnvelope_PR(benchmark::State& state)
{
    TraceOf(state, BuiltInMixture(), PengRobinson1976);
}
BENCHMARK(BM_TraceEnvelope_PR)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

void BM_TraceEnvelope_NaturalGas_PR(benchmark::State& state)
{
    TraceOf(state, NaturalGas(), PengRobinson1976);
}
BENCHMARK(BM_TraceEnvelope_NaturalGas_PR)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

void BM_TraceEnvelope_ButaneHexane(benchmark::State& state)
{
    TraceOf(state, ButaneHexane());
}
BENCHMARK(BM_TraceEnvelope_ButaneHexane)->Unit(benchmark::kMicrosecond)->Apply(Repeated);

} // namespace

} // namespace envelope::bench
