// One whole run over in-memory tables and chart: start points, both marches,
// the constant vapour-fraction lines and the spline across the gap.
#include "bench_setup.h"
#include "casefile/case_file.h"
#include "envelope/case.h"
#include "envelope/chart.h"
#include "envelope/memory_run.h"

namespace envelope::bench {

namespace {

// Whether two runs left the same outcome, the same texts in every table and
// the same points, to the last bit, in every chart series.
bool SameResult(const MemoryRun& one, const MemoryRun& other)
{
    if (one.result.report.outcome != other.result.report.outcome ||
        one.bubbleTable.rows() != other.bubbleTable.rows() || one.dewTable.rows() != other.dewTable.rows() ||
        one.interpolationTable.rows() != other.interpolationTable.rows())
        return false;
    for (int series = 0; series < Chart::SeriesCount; ++series) {
        const ChartSeries& mine = one.chart.series(series);
        const ChartSeries& theirs = other.chart.series(series);
        if (mine.title != theirs.title || mine.points != theirs.points)
            return false;
    }
    return true;
}

// The natural-gas example case, read once.
const Mixture& NaturalGas()
{
    static const CaseReading reading = ReadCaseFile(QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json"));
    return reading.mixture;
}

// Each iteration is one click of "Run" on new tables and a new chart, as the
// headless program makes it. The counters give the work of one run. A run
// keeps no state from one run to the next, so every run must leave exactly
// what the first one left: the benchmark fails when the last timed run differs
// from an untimed one made before. A run shares its work out over two
// threads, so iterations are timed by the wall clock, and the CPU time is that
// of the whole process, both threads together.
void FullRun(benchmark::State& state, const Mixture& mixture)
{
    if (mixture.componentNames.empty()) {
        state.SkipWithError("the case could not be read");
        return;
    }
    const MemoryRun reference = RunInMemory(mixture);
    SolverCounters work;
    MemoryRun last;
    for (auto _ : state) {
        last = RunInMemory(mixture);
        benchmark::DoNotOptimize(last);
        work += last.result.counters;
    }
    ReportWork(state, work);
    if (reference.result.report.outcome != RunOutcome::Completed)
        state.SkipWithError("the run did not complete");
    else if (!SameResult(last, reference))
        state.SkipWithError("a run left other tables or chart points than the first run");
}

// The built-in case.
void BM_FullRun(benchmark::State& state)
{
    FullRun(state, Case());
}
BENCHMARK(BM_FullRun)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Apply(Repeated);

// The natural-gas example: ten components with interaction parameters.
void BM_FullRunNaturalGas(benchmark::State& state)
{
    FullRun(state, NaturalGas());
}
BENCHMARK(BM_FullRunNaturalGas)->Unit(benchmark::kMillisecond)->UseRealTime()->MeasureProcessCPUTime()->Apply(Repeated);

} // namespace

} // namespace envelope::bench
