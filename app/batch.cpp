#include "batch.h"

#include <iostream>

#include <QDir>
#include <QStringList>

#include "envelope/case.h"
#include "envelope/csv.h"
#include "envelope/memory_run.h"
#include "envelope/report.h"
#include "envelope/run.h"
#include "ui/output_files.h"

#ifdef ENVELOPE_WITH_UI
#include <QApplication>

#include "ui/chart_picture.h"
#endif

namespace envelope {

namespace {

struct CsvTable {
    const char* fileName;
    const MemoryTable MemoryRun::*table;
};

constexpr CsvTable CsvTables[] = {
    {BubbleCsvFileName, &MemoryRun::bubbleTable},
    {DewCsvFileName, &MemoryRun::dewTable},
    {InterpolationCsvFileName, &MemoryRun::interpolationTable},
};

QString CsvPath(const CommandLine& command, const char* fileName)
{
    return QDir(command.csvDirectory).filePath(QString::fromLatin1(fileName));
}

// What stands in the way of writing every file asked for, or an empty text.
QString TargetProblem(const CommandLine& command)
{
    QStringList problems;
    if (!command.csvDirectory.isEmpty()) {
        problems << DirectoryTargetProblem(command.csvDirectory);
        for (const CsvTable& csv : CsvTables)
            problems << FileTargetProblem(CsvPath(command, csv.fileName));
    }
    if (!command.chartFile.isEmpty())
        problems << FileTargetProblem(command.chartFile);
    problems.removeAll(QString());
    return problems.value(0);
}

#ifdef ENVELOPE_WITH_UI
// Draws the chart and adds its picture to the files; the problem, or an empty
// text.
QString AddChartPicture(OutputFiles& files, const MemoryChart& chart, const QString& fileName, int& argc,
                        char* argv[])
{
    // Drawing needs a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    const QByteArray picture = ChartPicture(chart, fileName);
    if (picture.isEmpty())
        return QString("cannot write '%1': the chart could not be drawn").arg(fileName);
    return files.add(fileName, picture) ? QString() : files.problem();
}
#endif

// Every file asked for, or none; 0 or ExitUsage.
int WriteFiles(const CommandLine& command, const MemoryRun& run, int& argc, char* argv[])
{
    OutputFiles files;
    if (!command.csvDirectory.isEmpty())
        for (const CsvTable& csv : CsvTables)
            if (!files.add(CsvPath(command, csv.fileName), QByteArray::fromStdString(TableCsv(run.*csv.table))))
                return UsageError(files.problem());
#ifdef ENVELOPE_WITH_UI
    if (!command.chartFile.isEmpty()) {
        const QString problem = AddChartPicture(files, run.chart, command.chartFile, argc, argv);
        if (!problem.isEmpty())
            return UsageError(problem);
    }
#else
    (void)argc;
    (void)argv;
#endif
    if (!files.commit())
        return UsageError(files.problem());
    return 0;
}

} // namespace

int RunBatch(const CommandLine& command, int& argc, char* argv[])
{
    const QString problem = TargetProblem(command);
    if (!problem.isEmpty())
        return UsageError(problem);

    const MemoryRun run = RunInMemory(BuiltInMixture());
    if (run.outcome == RunOutcome::StartPhaseFailed) {
        std::cerr << NumericalErrorMessage << '\n';
        return ExitFailure;
    }
    const int written = WriteFiles(command, run, argc, argv);
    if (written != 0)
        return written;
    WriteReport(std::cout, run.bubbleTable, run.dewTable, run.interpolationTable);
    std::cout.flush();
    if (run.outcome != RunOutcome::Completed) {
        std::cerr << NumericalErrorMessage << '\n';
        return ExitFailure;
    }
    return 0;
}

} // namespace envelope
