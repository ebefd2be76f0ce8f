// The envelope program: the desktop windows, or with --headless one run whose
// three result tables are printed on standard output.
#include <cstdio>
#include <iostream>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>

#include "envelope/memory_run.h"
#include "envelope/report.h"
#include "envelope/run.h"

#ifdef ENVELOPE_WITH_UI
#include <QApplication>

#include "ui/form1.h"
#endif

namespace {

constexpr int ExitFailure = 1;
constexpr int ExitUsage = 2;

// One run in memory; prints the tables unless the start phase failed, and
// reports a failure on standard error with a non-zero exit status.
int RunHeadless()
{
    using namespace envelope;
    const MemoryRun run = RunInMemory();
    if (run.outcome != RunOutcome::StartPhaseFailed)
        WriteReport(std::cout, run.bubbleTable, run.dewTable, run.interpolationTable);
    std::cout.flush();
    if (run.outcome != RunOutcome::Completed) {
        std::cerr << NumericalErrorMessage << '\n';
        return ExitFailure;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication::setApplicationName("Envelope");
    QCoreApplication::setApplicationVersion(ENVELOPE_VERSION);

    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Phase envelope of a three-component mixture with the Soave-Redlich-Kwong equation of state.");
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption headlessOption("headless",
                                            "Run once without windows and print the three result tables.");
    parser.addOption(headlessOption);

    if (!parser.parse(arguments) || !parser.positionalArguments().isEmpty()) {
        const QString problem = parser.positionalArguments().isEmpty()
                                    ? parser.errorText()
                                    : QString("unexpected argument '%1'").arg(parser.positionalArguments().first());
        std::fprintf(stderr, "envelope: %s\n", qPrintable(problem));
        return ExitUsage;
    }
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return 0;
    }

#ifdef ENVELOPE_WITH_UI
    if (parser.isSet(headlessOption))
        return RunHeadless();
    QApplication application(argc, argv);
    envelope::Form1 window;
    window.show();
    return application.exec();
#else
    return RunHeadless();
#endif
}
