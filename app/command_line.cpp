#include "command_line.h"

#include <cstdio>

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringList>

#ifdef ENVELOPE_WITH_UI
#include "ui/chart_picture.h"
#endif

namespace envelope {

namespace {

CommandLine Done(int exitStatus)
{
    CommandLine command;
    command.done = true;
    command.exitStatus = exitStatus;
    return command;
}

CommandLine Usage(const QString& problem)
{
    return Done(UsageError(problem));
}

} // namespace

int UsageError(const QString& problem)
{
    std::fprintf(stderr, "envelope: %s\n", qPrintable(problem));
    return ExitUsage;
}

CommandLine ParseCommandLine(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Phase envelope of a three-component mixture with the Soave-Redlich-Kwong equation of state.\n"
        "Without options the program opens its windows.");
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption headlessOption("headless",
                                            "Run once without windows and print the three result tables.");
    const QCommandLineOption csvOption(
        "csv",
        "Also write the three result tables as bubble.csv, dew.csv and interpolation.csv into <directory>, "
        "which is made if need be. Implies --headless.",
        "directory");
    parser.addOption(headlessOption);
    parser.addOption(csvOption);
#ifdef ENVELOPE_WITH_UI
    const QCommandLineOption chartOption(
        "chart",
        "Also write the chart with its legend to <file>, a PNG or an SVG picture as the name ends in .png or .svg. "
        "Implies --headless.",
        "file");
    parser.addOption(chartOption);
#endif

    if (!parser.parse(arguments))
        return Usage(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return Usage(QString("unexpected argument '%1'").arg(parser.positionalArguments().first()));
    // Without an application object the parser knows neither the program's
    // name nor Qt's own options, which only the windows would take anyway.
    if (parser.isSet(helpOption) || parser.isSet(QStringLiteral("help-all"))) {
        QString help = parser.helpText();
        help.replace(QStringLiteral("<executable_name>"), QStringLiteral("envelope"));
        help.remove(QRegularExpression(QStringLiteral("\\n *--help-all[^\\n]*")));
        std::fputs(qPrintable(help), stdout);
        return Done(0);
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qPrintable(QCoreApplication::applicationName()),
                    qPrintable(QCoreApplication::applicationVersion()));
        return Done(0);
    }

    CommandLine command;
    if (parser.isSet(csvOption)) {
        command.csvDirectory = parser.value(csvOption);
        if (command.csvDirectory.isEmpty())
            return Usage("--csv needs a directory name");
    }
#ifdef ENVELOPE_WITH_UI
    if (parser.isSet(chartOption)) {
        command.chartFile = parser.value(chartOption);
        if (command.chartFile.isEmpty())
            return Usage("--chart needs a file name");
        if (!IsChartPictureName(command.chartFile))
            return Usage(QString("unsupported chart format '%1': the name must end in .png or .svg")
                             .arg(command.chartFile));
    }
#endif
    command.headless = parser.isSet(headlessOption) || !command.csvDirectory.isEmpty() || !command.chartFile.isEmpty();
    return command;
}

} // namespace envelope
