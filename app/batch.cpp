#include "batch.h"

#include <cerrno>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "desktop.h"
#include "envelope/csv.h"
#include "envelope/memory_run.h"
#include "envelope/report.h"
#include "envelope/run.h"
#include "output/output_files.h"
#include "output/path_names.h"
#include "output/standard_output.h"
#include "output/target_check.h"

#include <unistd.h>

namespace envelope {

namespace {

// One file asked for on the command line: where it goes, and how its
// contents come from the run (empty with a problem when they cannot).
struct PlannedFile {
    std::string path;
    std::function<std::string(const MemoryRun&, OutputFiles&, std::string& problem)> contents;
};

std::vector<PlannedFile> PlannedFiles(const CommandLine& command)
{
    std::vector<PlannedFile> files;
    if (!command.csvDirectory.empty())
        for (std::size_t index = 0; index < RunCsvFileNames.size(); ++index)
            files.push_back({JoinPath(command.csvDirectory, RunCsvFileNames[index]),
                             [index](const MemoryRun& run, OutputFiles&, std::string&) {
                                 return RunCsvFiles(run.bubbleTable, run.dewTable, run.interpolationTable,
                                                    run.fractionPoints)[index]
                                     .contents;
                             }});
    if (!command.chartFile.empty())
        files.push_back({command.chartFile, [name = command.chartFile](const MemoryRun& run, OutputFiles& output,
                                                                      std::string& problem) {
                             std::string picture;
                             const std::string runtime = output.scratchDirectory(name);
                             problem = runtime.empty() ? output.problem()
                                                       : DrawChartPicture(run.chart, name, runtime, picture);
                             return picture;
                         }});
    return files;
}

// The numerical error's message, a line of its own.
int NumericalError()
{
    const std::string line = std::string(NumericalErrorMessage) + "\n";
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

// Every file asked for, or none; the problem, or an empty text.
std::string WriteFiles(const std::vector<PlannedFile>& planned, const MemoryRun& run)
{
    OutputFiles files;
    for (const PlannedFile& file : planned) {
        std::string problem;
        const std::string contents = file.contents(run, files, problem);
        if (!problem.empty())
            return problem;
        if (!files.add(file.path, contents))
            return files.problem();
    }
    return files.commit() ? std::string() : files.problem();
}

} // namespace

int RunBatch(const CommandLine& command, const Mixture& mixture)
{
    if (StandardOutputWasClosed())
        return Fail(StandardOutputProblem(EBADF), ExitFailure);
    const std::vector<PlannedFile> files = PlannedFiles(command);
    if (const std::string problem = TargetProblem(command, files); !problem.empty())
        return UsageError(problem);

    const MemoryRun run = RunInMemory(mixture);
    if (run.outcome == RunOutcome::StartPhaseFailed)
        return NumericalError();
    if (const std::string problem = WriteFiles(files, run); !problem.empty())
        return UsageError(problem);

    std::ostringstream report;
    WriteReport(report, run.bubbleTable, run.dewTable, run.interpolationTable);
    if (const int error = WriteStandardOutput(report.str()); error != 0)
        return Fail(StandardOutputProblem(error), ExitFailure);
    if (run.outcome != RunOutcome::Completed)
        return NumericalError();
    return 0;
}

} // namespace envelope
