#include "batch.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "desktop.h"
#include "components/component_table.h"
#include "condition/check.h"
#include "envelope/bridge_check.h"
#include "envelope/case.h"
#include "envelope/condition_tables.h"
#include "envelope/csv.h"
#include "envelope/memory_run.h"
#include "envelope/report.h"
#include "envelope/run.h"
#include "envelope/traced_overlay.h"
#include "envelope/traced_tables.h"
#include "interaction/interaction_table.h"
#include "output/output_files.h"
#include "output/path_names.h"
#include "output/standard_output.h"
#include "output/target_check.h"

#include "trace/trace.h"

#include <unistd.h>

namespace envelope {

namespace {

// What the batch run computes: the run (empty under --trace-only, and
// without tables when its start failed), the traced envelope of the same
// mixture under --trace or for the chart of a mixture other than the
// built-in case (null otherwise), and the conditions checked under --point.
struct BatchResult {
    const MemoryRun& run;
    bool runHasTables;
    const trace::TracedEnvelope* traced;
    // A mixture other than the built-in case: its picture names every series.
    bool userMixture;
    const CheckedConditions& conditions;
};

// Every condition asked for, checked with the equation of state of the run.
CheckedConditions CheckConditions(const Mixture& mixture, const CubicModel& model,
                                  const std::vector<PointInput>& points)
{
    CheckedConditions checked;
    checked.componentNames = mixture.componentNames;
    for (const PointInput& point : points)
        checked.points.push_back(condition::CheckCondition(mixture, point.temperature, point.pressure, model));
    return checked;
}

// One line on standard error for the conditions that could not be checked:
// the first one's number, temperature, pressure and reason, and how many
// more failed; ExitFailure. 0 when none failed.
int ConditionFailure(const CheckedConditions& conditions)
{
    std::size_t failed = 0, first = 0;
    for (std::size_t i = conditions.points.size(); i-- > 0;)
        if (conditions.points[i].phases == condition::PointPhases::Failed) {
            ++failed;
            first = i;
        }
    if (failed == 0)
        return 0;
    const condition::ConditionCheck& point = conditions.points[first];
    std::string line = "point " + std::to_string(first + 1) + " (" + FormatFixedThree(point.temperature) + " K, " +
                       FormatFixedThree(point.pressure) + " bar) could not be checked: " + point.reason;
    if (failed > 1)
        line += " (and " + std::to_string(failed - 1) + (failed > 2 ? " more points)" : " more point)");
    return Fail(line, ExitFailure);
}

// The run's spline points, in K and bar.
std::vector<trace::TracePoint> SplinePoints(const MemoryChart& chart)
{
    std::vector<trace::TracePoint> points;
    for (const ChartPoint& point : chart.series(2).points)
        points.push_back({point.x, point.y, trace::TracePhase::Dew});
    return points;
}

// One file asked for on the command line: where it goes, and how its
// contents come from the run (empty with a problem when they cannot).
struct PlannedFile {
    std::string path;
    std::function<std::string(const BatchResult&, OutputFiles&, std::string& problem)> contents;
    // A table of the run, not written when the run has none.
    bool ofRun = false;
};

std::vector<PlannedFile> PlannedFiles(const CommandLine& command)
{
    std::vector<PlannedFile> files;
    if (!command.csvDirectory.empty()) {
        if (!command.traceOnly)
            for (std::size_t index = 0; index < RunCsvFileNames.size(); ++index)
                files.push_back({JoinPath(command.csvDirectory, RunCsvFileNames[index]),
                                 [index](const BatchResult& result, OutputFiles&, std::string&) {
                                     const MemoryRun& run = result.run;
                                     return RunCsvFiles(run.bubbleTable, run.dewTable, run.interpolationTable,
                                                        FractionPoints(run.result))[index]
                                         .contents;
                                 },
                                 true});
        if (command.trace)
            for (std::size_t index = 0; index < TracedCsvFileNames.size(); ++index)
                files.push_back({JoinPath(command.csvDirectory, TracedCsvFileNames[index]),
                                 [index](const BatchResult& result, OutputFiles&, std::string&) {
                                     return TracedCsvFiles(*result.traced)[index].contents;
                                 }});
        if (!command.points.empty())
            for (std::size_t index = 0; index < ConditionsCsvFileNames.size(); ++index)
                files.push_back({JoinPath(command.csvDirectory, ConditionsCsvFileNames[index]),
                                 [index](const BatchResult& result, OutputFiles&, std::string&) {
                                     return ConditionsCsvFiles(result.conditions)[index].contents;
                                 }});
    }
    if (!command.chartFile.empty())
        files.push_back({command.chartFile, [name = command.chartFile](const BatchResult& result,
                                                                      OutputFiles& output, std::string& problem) {
                             std::string picture;
                             const std::string runtime = output.scratchDirectory(name);
                             if (runtime.empty()) {
                                 problem = output.problem();
                                 return picture;
                             }
                             PictureExtras extras;
                             extras.fullLegend = result.userMixture;
                             TracedOverlay overlay;
                             if (result.traced != nullptr) {
                                 overlay = OverlayOf(*result.traced);
                                 extras.overlay = &overlay;
                                 extras.bridgeEstimate =
                                     MeasureBridge(SplinePoints(result.run.chart), *result.traced).IsEstimate();
                             }
                             problem = DrawChartPicture(result.run.chart, extras, name, runtime, picture);
                             return picture;
                         }});
    return files;
}

// The numerical error's message and its reason (the stage and the fault), a
// line of their own.
int NumericalError(const RunReport& report)
{
    const std::string line = std::string(NumericalErrorMessage) + ": " + report.FailureReason() + "\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, line.data(), line.size());
    return ExitFailure;
}

// What stands in the way of writing every file asked for, or an empty text.
std::string TargetProblem(const CommandLine& command, const std::vector<PlannedFile>& files)
{
    if (!command.csvDirectory.empty())
        if (std::string problem = DirectoryTargetProblem(command.csvDirectory); !problem.empty())
            return problem;
    for (const PlannedFile& file : files)
        if (std::string problem = FileTargetProblem(file.path); !problem.empty())
            return problem;
    return {};
}

// The trace's verdict when it stopped, as its one line on standard error.
int TraceStopped(const trace::TracedEnvelope& traced)
{
    return Fail("the traced envelope " + trace::FormatVerdict(traced.verdict), ExitFailure);
}

// Every file asked for, or none; the problem, or an empty text.
std::string WriteFiles(const std::vector<PlannedFile>& planned, const BatchResult& result)
{
    OutputFiles files;
    for (const PlannedFile& file : planned) {
        if (file.ofRun && !result.runHasTables)
            continue;
        std::string problem;
        const std::string contents = file.contents(result, files, problem);
        if (!problem.empty())
            return problem;
        if (!files.add(file.path, contents))
            return files.problem();
    }
    return files.commit() ? std::string() : files.problem();
}

// The section that lists, for a case whose k_ij come from the interaction
// table, each pair the table gave (named as the component table names them),
// its k_ij for the equation of state and where it is from; "-" in every
// column when there is none.
void WriteTablePairs(std::ostream& out, const Mixture& mixture, EosKind eos)
{
    const TableInteractions found = InteractionsFromTable(mixture.componentNames, eos);
    out << "\nInteraction Parameters\nComponent 1\tComponent 2\tk_ij\tSource\n";
    if (found.pairs.empty())
        out << "-\t-\t-\t-\n";
    for (const TablePair& pair : found.pairs) {
        char kij[32];
        const auto end = std::to_chars(kij, kij + sizeof kij, pair.entry->kij).ptr;
        out << FindComponent(mixture.componentNames[pair.first])->name << '\t'
            << FindComponent(mixture.componentNames[pair.second])->name << '\t' << std::string_view(kij, end - kij)
            << '\t' << InteractionTableSource << ", " << EosName(pair.entry->eos) << ", page " << pair.entry->page
            << '\n';
    }
}

// How the run does its work: as always, unless the environment turns the
// cubic memo off (ENVELOPE_CUBIC_MEMO=off) or asks for one thread
// (ENVELOPE_THREADS=1), so that a test can show the results do not change.
RunOptions RunOptionsFromEnvironment()
{
    const auto is = [](const char* name, std::string_view value) {
        const char* set = std::getenv(name);
        return set != nullptr && value == set;
    };
    RunOptions options;
    options.cubicMemo = !is("ENVELOPE_CUBIC_MEMO", "off");
    options.secondThread = !is("ENVELOPE_THREADS", "1");
    return options;
}

} // namespace

int RunBatch(const CommandLine& command, const Mixture& mixture, EosKind eos)
{
    if (StandardOutputWasClosed())
        return Fail(StandardOutputProblem(EBADF), ExitFailure);
    const std::vector<PlannedFile> files = PlannedFiles(command);
    if (const std::string problem = TargetProblem(command, files); !problem.empty())
        return UsageError(problem);

    // The run, unless only the trace is asked for; a run whose start failed
    // has no tables, and without --trace nothing to show.
    const CubicModel& model = CubicModelOf(eos);
    const MemoryRun run =
        command.traceOnly ? MemoryRun{} : RunInMemory(mixture, model, RunOptionsFromEnvironment());
    const RunReport& runReport = run.result.report;
    const bool runHasTables = !command.traceOnly && runReport.outcome != RunOutcome::StartPhaseFailed;
    if (!command.traceOnly && !runHasTables && !command.trace)
        return NumericalError(runReport);
    // A mixture of the user's own has its chart drawn with the true envelope.
    const bool userMixture = !IsBuiltInCase(mixture);
    const bool traces = command.trace || (userMixture && !command.chartFile.empty());
    trace::TracedEnvelope traced;
    if (traces)
        traced = TracedEnvelopeOf(mixture, model);
    const CheckedConditions conditions = CheckConditions(mixture, model, command.points);
    if (const std::string problem =
            WriteFiles(files, {run, runHasTables, traces ? &traced : nullptr, userMixture, conditions});
        !problem.empty())
        return UsageError(problem);

    std::ostringstream report;
    if (eos != EosKind::SRK)
        report << "Equation of state: " << EosTitle(eos) << "\n\n";
    if (runHasTables)
        WriteReport(report, run.bubbleTable, run.dewTable, run.interpolationTable);
    if (command.trace) {
        if (runHasTables)
            report << '\n';
        WriteTracedReport(report, traced);
    }
    if (mixture.kijFromTable)
        WriteTablePairs(report, mixture, eos);
    // The conditions come after everything else.
    if (!command.points.empty()) {
        report << '\n';
        WriteConditionsReport(report, conditions);
    }
    if (const int error = WriteStandardOutput(report.str()); error != 0)
        return Fail(StandardOutputProblem(error), ExitFailure);
    // Each part that failed says so in one line of its own: the run first,
    // then the trace, then the conditions.
    int status = 0;
    if (!command.traceOnly && runReport.outcome != RunOutcome::Completed)
        status = NumericalError(runReport);
    if (command.trace && traced.verdict.kind == trace::Verdict::Stopped)
        status = TraceStopped(traced);
    if (const int failed = ConditionFailure(conditions); failed != 0)
        status = failed;
    return status;
}

} // namespace envelope
