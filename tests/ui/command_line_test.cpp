// The envelope program run from the command line: the files that --csv and
// --chart write, and the refusal of bad input with its message, exit status
// and no file left behind.

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <sstream>
#include <thread>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QSvgRenderer>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include "casefile/case_file.h"
#include "condition/check.h"
#include "envelope/condition_tables.h"
#include "envelope/csv.h"
#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "envelope/report.h"
#include "equilibrium/flash.h"
#include "equilibrium/wilson_start.h"
#include "interaction/interaction_table.h"
#include "thermo/composition.h"
#include "ui/form2.h"

using namespace envelope;

namespace {

struct Outcome {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// A scratch directory for one test, with Qt's runtime directory inside it so
// that a GUI application started by the program has nothing to warn about.
class Scratch {
public:
    Scratch()
    {
        QDir(folder_.path()).mkdir(QStringLiteral(".runtime"));
        QFile::setPermissions(path(QStringLiteral(".runtime")),
                              QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QString path(const QString& relative = {}) const
    {
        return relative.isEmpty() ? folder_.path() : QDir(folder_.path()).filePath(relative);
    }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral(".runtime")));
        return environment;
    }

    Outcome run(const QStringList& arguments) const { return run(arguments, environment()); }

    Outcome run(const QStringList& arguments, const QProcessEnvironment& environment) const
    {
        QProcess program;
        program.setWorkingDirectory(folder_.path());
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(ENVELOPE_PROGRAM), arguments);
        Outcome outcome;
        if (!program.waitForFinished(120000) || program.exitStatus() != QProcess::NormalExit)
            return outcome;
        outcome.status = program.exitCode();
        outcome.out = program.readAllStandardOutput();
        outcome.err = program.readAllStandardError();
        return outcome;
    }

    // Every file and directory below the scratch directory but Qt's runtime
    // directory, hidden ones included, relative and sorted.
    QStringList listing() const
    {
        QStringList entries;
        QDirIterator it(folder_.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString entry = QDir(folder_.path()).relativeFilePath(it.next());
            if (!entry.startsWith(QLatin1String(".runtime")))
                entries << entry;
        }
        entries.sort();
        return entries;
    }

    void write(const QString& relative, const QByteArray& contents) const
    {
        QFile file(path(relative));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QCOMPARE(file.write(contents), contents.size());
    }

    QByteArray read(const QString& relative) const
    {
        QFile file(path(relative));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private:
    QTemporaryDir folder_;
};

QByteArray Csv(const Table& table)
{
    return QByteArray::fromStdString(TableCsv(table));
}

QByteArray Report(const MemoryRun& run)
{
    std::ostringstream report;
    WriteReport(report, run.bubbleTable, run.dewTable, run.interpolationTable);
    return QByteArray::fromStdString(report.str());
}

// The vapour fraction of the mixture's feed flashed at (T, 2 bar).
double FlashV(const Mixture& mixture, double T)
{
    CompositionVector x(mixture.feed.size(), 0.0), y(mixture.feed.size(), 0.0);
    double V = -1.0;
    SolverWorkspace work;
    IsothermalFlash(mixture, SoaveRedlichKwong, mixture.feed, T, 2.0, y, x, V, 1e-5, 50, work);
    return V;
}

bool Near(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) <= 8 && std::abs(qGreen(a) - qGreen(b)) <= 8 &&
           std::abs(qBlue(a) - qBlue(b)) <= 8;
}

int CountColour(const QImage& image, QRgb colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += Near(image.pixel(x, y), colour) ? 1 : 0;
    return count;
}

// Only a usage error: status 2, one line on standard error, nothing on
// standard output.
void CheckUsageError(const Outcome& outcome, const QString& expected)
{
    QCOMPARE(outcome.status, 2);
    QVERIFY2(outcome.out.isEmpty(), outcome.out.constData());
    QVERIFY2(outcome.err.startsWith("envelope: "), outcome.err.constData());
    QVERIFY2(outcome.err.endsWith('\n') && outcome.err.count('\n') == 1, outcome.err.constData());
    QVERIFY2(QString::fromLocal8Bit(outcome.err).contains(expected), outcome.err.constData());
}

bool WritableByUs(const QString& path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK) == 0;
}

// Sets or clears the immutable attribute, which stops even root from adding
// files to a directory.
bool SetImmutable(const QString& path, bool immutable)
{
    QProcess chattr;
    chattr.start(QStringLiteral("chattr"), {immutable ? QStringLiteral("+i") : QStringLiteral("-i"), path});
    return chattr.waitForFinished(10000) && chattr.exitStatus() == QProcess::NormalExit && chattr.exitCode() == 0;
}


// Where the program's standard output goes in RunRaw.
enum class Output { Null, Full, Closed, BrokenPipe };

// Runs the program in the directory with the arguments as bytes, its
// standard output as asked (a broken pipe with SIGPIPE ignored) and the
// environment changed by "NAME=value" and "-NAME" entries. The exit status
// (-1 when it did not exit) and standard error.
Outcome RunRaw(const QByteArray& directory, const QByteArrayList& arguments, const QByteArrayList& changes,
               Output output)
{
    QList<QByteArray> environment;
    for (char** entry = environ; *entry != nullptr; ++entry)
        environment << QByteArray(*entry);
    for (const QByteArray& change : changes) {
        const QByteArray name = change.startsWith('-') ? change.mid(1) : change.left(change.indexOf('='));
        environment.removeIf([&](const QByteArray& entry) { return entry.startsWith(name + '='); });
        if (!change.startsWith('-'))
            environment << change;
    }
    std::vector<char*> argv{const_cast<char*>(ENVELOPE_PROGRAM)};
    for (const QByteArray& argument : arguments)
        argv.push_back(const_cast<char*>(argument.constData()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (QByteArray& entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    int errors[2];
    int pipeToNobody[2];
    if (::pipe2(errors, O_CLOEXEC) != 0 || ::pipe2(pipeToNobody, O_CLOEXEC) != 0)
        return {};
    ::close(pipeToNobody[0]);
    const pid_t child = ::fork();
    if (child == 0) {
        // Only calls that are safe between fork and exec.
        if (::chdir(directory.constData()) != 0)
            ::_exit(126);
        if (output == Output::Closed) {
            ::close(STDOUT_FILENO);
        } else if (output == Output::BrokenPipe) {
            ::signal(SIGPIPE, SIG_IGN);
            ::dup2(pipeToNobody[1], STDOUT_FILENO);
        } else {
            const int sink = ::open(output == Output::Full ? "/dev/full" : "/dev/null", O_WRONLY);
            ::dup2(sink, STDOUT_FILENO);
        }
        ::dup2(errors[1], STDERR_FILENO);
        ::execve(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    ::close(errors[1]);
    ::close(pipeToNobody[1]);
    Outcome outcome;
    char buffer[4096];
    for (ssize_t got; (got = ::read(errors[0], buffer, sizeof buffer)) > 0;)
        outcome.err.append(buffer, got);
    ::close(errors[0]);
    int status = 0;
    if (child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

// Every entry below the directory, hidden ones included, as the bytes of
// their names, relative and sorted.
QByteArrayList RawListing(const QByteArray& directory, const QByteArray& prefix = {})
{
    QByteArrayList entries;
    DIR* listing = ::opendir(directory.constData());
    if (listing == nullptr)
        return entries;
    while (const dirent* entry = ::readdir(listing)) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        entries << prefix + name;
        struct stat status {};
        if (::lstat((directory + '/' + name).constData(), &status) == 0 && S_ISDIR(status.st_mode))
            entries << RawListing(directory + '/' + name, prefix + name + '/');
    }
    ::closedir(listing);
    std::sort(entries.begin(), entries.end());
    return entries;
}

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void csvAndChartWriteAllFourFiles();
    void caseFileRunsItsMixture();
    void tableKijAreRunAndNamedInAClosingSection();
    void equationOfStateFromTheCaseOrEosIsNamedFirst();
    void traceAddsThreeSectionsThreeFilesAndTheOverlay();
    void pointsComeLastAsTwoSectionsAndTwoFiles();
    void aPointThatCannotBeCheckedIsMarkedAndFails();
    void traceOnlyGivesTheTraceWithoutTheRun();
    void eachFailedPartSaysSoInOneLine();
    void everyExampleFillsItsThreeTables();
    void aUsersMixtureIsDrawnWithItsTracedEnvelope();
    void aFailedStartGivesItsReasonOnTheErrorLine();
    void pngHasTheWindowSizeWithoutAnyPlatformSet();
    void headlessRunNeedsNoGuiPlatform();
    void badInputIsRefusedBeforeTheRun_data();
    void badInputIsRefusedBeforeTheRun();
    void readOnlyDirectoryIsRefused();
    void existingCsvIsReplacedOnlyOnSuccess();
    void edgesOfTheBatchRun_data();
    void edgesOfTheBatchRun();
    void terminatedRunLeavesOldOrNewFilesOnly();
    void memoryRunningOutIsOneLine();

private:
    MemoryRun expected_;
};

void CommandLineTest::initTestCase()
{
    expected_ = RunInMemory(BuiltInMixture());
    QCOMPARE(expected_.result.report.outcome, RunOutcome::Completed);
}

void CommandLineTest::csvAndChartWriteAllFourFiles()
{
    Scratch scratch;
    const Outcome outcome = scratch.run({"--csv", "out", "--chart", "out/envelope.svg"});
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    // The files come on top of the report that --headless prints.
    QCOMPARE(outcome.out, Report(expected_));
    QCOMPARE(scratch.listing(), (QStringList{"out", "out/bubble.csv", "out/dew.csv", "out/envelope.svg",
                                             "out/interpolation.csv", "out/vapour-fractions.csv"}));

    // The tables of the same run in memory, formatted as CSV (whose rows
    // envelope_csv_test reads back against the table texts).
    QCOMPARE(scratch.read("out/bubble.csv"), Csv(expected_.bubbleTable));
    QCOMPARE(scratch.read("out/dew.csv"), Csv(expected_.dewTable));
    QCOMPARE(scratch.read("out/interpolation.csv"), Csv(expected_.interpolationTable));
    QCOMPARE(scratch.read("out/vapour-fractions.csv"),
             QByteArray::fromStdString(FractionCsv(FractionPoints(expected_.result))));
    // The dew pressures keep the leading zeros of their table format.
    QVERIFY(scratch.read("out/dew.csv").startsWith("Index,T (C),P (bar)\r\n1,"));
    QVERIFY(scratch.read("out/dew.csv").contains(",002."));

    const Form2 window;
    QSvgRenderer svg(scratch.path("out/envelope.svg"));
    QVERIFY(svg.isValid());
    QCOMPARE(svg.viewBox(), QRect(QPoint(0, 0), window.size()));
    const QByteArray drawing = scratch.read("out/envelope.svg");
    for (const char* text : {"T (K)", "P (bar)", "Bubble", "vapor fraction 0.05", "vapor fraction 0.3",
                             "vapor fraction 0.5", "Dew"})
        QVERIFY2(drawing.contains(text), text);
}

void CommandLineTest::caseFileRunsItsMixture()
{
    const QString file = QStringLiteral(ENVELOPE_EXAMPLES_DIR "/gas-condensate.json");
    const CaseReading reading = ReadCaseFile(file);
    QVERIFY2(reading.ok(), qPrintable(reading.problem));
    const MemoryRun expected = RunInMemory(reading.mixture);
    QCOMPARE(expected.result.report.outcome, RunOutcome::Completed);
    QVERIFY(expected.bubbleTable.rowCount() > 3 && expected.dewTable.rowCount() > 3 &&
            expected.interpolationTable.rowCount() > 3);

    Scratch scratch;
    const Outcome outcome = scratch.run({"--case", file, "--csv", "out"});
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, Report(expected));
    QVERIFY(outcome.out != Report(expected_));
    QCOMPARE(scratch.read("out/dew.csv"), Csv(expected.dewTable));
}

// "kij": "table": the run uses the table's k_ij, and a last section names the
// pairs taken, or says there were none.
void CommandLineTest::tableKijAreRunAndNamedInAClosingSection()
{
    Scratch scratch;
    scratch.write("gas.json", R"({"components": [{"name": "N2", "z": 0.02}, {"name": "CO2", "z": 0.03},
        {"name": "methane", "z": 0.85}, {"name": "ethane", "z": 0.07}, {"name": "n-butane", "z": 0.03}],
        "kij": "table"})");
    scratch.write("butanes.json", R"({"components": [{"name": "isobutane", "z": 0.5},
        {"name": "n-butane", "z": 0.5}], "kij": "table"})");
    const QByteArray heading = "\nInteraction Parameters\nComponent 1\tComponent 2\tk_ij\tSource\n";
    for (const char* name : {"gas.json", "butanes.json"}) {
        const CaseReading reading = ReadCaseFile(scratch.path(QString::fromLatin1(name)));
        QVERIFY2(reading.ok(), qPrintable(reading.problem));
        const MemoryRun expected = RunInMemory(reading.mixture);
        const Outcome outcome = scratch.run({"--case", name, "--headless"});
        QCOMPARE(outcome.status, expected.result.report.outcome == RunOutcome::Completed ? 0 : 1);
        QVERIFY(outcome.out.startsWith(Report(expected) + heading));
        const QList<QByteArray> rows = outcome.out.mid(Report(expected).size() + heading.size()).split('\n');
        const TableInteractions found = InteractionsFromTable(reading.mixture.componentNames, EosKind::SRK);
        if (found.pairs.empty()) {
            QCOMPARE(rows, (QList<QByteArray>{"-\t-\t-\t-", ""}));
            continue;
        }
        QCOMPARE(rows.size(), static_cast<qsizetype>(found.pairs.size() + 1));
        const QList<QByteArray> first = rows[0].split('\t');
        QCOMPARE(first.mid(0, 2), (QList<QByteArray>{"nitrogen", "carbon dioxide"}));
        QCOMPARE(first[2].toDouble(), found.pairs[0].entry->kij);
        QVERIFY(first[3].endsWith(", SRK, page " + QByteArray::number(found.pairs[0].entry->page)));
    }
}

// A case's "eos" and --eos, which overrides it: the run is that model's, and
// any model but SRK is named on a first line of its own.
void CommandLineTest::equationOfStateFromTheCaseOrEosIsNamedFirst()
{
    Scratch scratch;
    scratch.write("pr.json", CaseJson(BuiltInMixture(), EosKind::PR));
    const MemoryRun expected = RunInMemory(BuiltInMixture(), PengRobinson1976);
    QCOMPARE(expected.result.report.outcome, RunOutcome::Completed);
    const Outcome pr = scratch.run({"--case", "pr.json", "--csv", "out"});
    QVERIFY2(pr.err.isEmpty(), pr.err.constData());
    QCOMPARE(pr.status, 0);
    QCOMPARE(pr.out, "Equation of state: Peng-Robinson (1976)\n\n" + Report(expected));
    QVERIFY(Report(expected) != Report(expected_));
    QCOMPARE(scratch.read("out/dew.csv"), Csv(expected.dewTable));

    const Outcome srk = scratch.run({"--case", "pr.json", "--eos", "SRK", "--headless"});
    QCOMPARE(srk.status, 0);
    QCOMPARE(srk.out, Report(expected_));

    const Outcome traced = scratch.run({"--eos", "PR78", "--trace", "--headless"});
    QCOMPARE(traced.status, 0);
    QVERIFY(traced.out.startsWith("Equation of state: Peng-Robinson (1978)\n\nBubble Curve Table\n"));
    QVERIFY(traced.out.contains("\nTrace Status\n"));

    // A case's k_ij from the interaction table follow the model --eos names.
    scratch.write("table.json", R"({"components": [{"name": "N2", "z": 0.1}, {"name": "methane", "z": 0.9}],
        "kij": "table"})");
    const Outcome table = scratch.run({"--case", "table.json", "--eos", "PR", "--headless"});
    QVERIFY(table.out.contains("\tmethane\t" + QByteArray::number(FindInteraction("N2", "methane", EosKind::PR)->kij)));
    QVERIFY(table.out.contains(", PR, page "));

    // --point checks its conditions with the same model.
    const QString gas = QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json");
    const auto conditions = [&](const QStringList& model) {
        const QByteArray out = scratch.run(QStringList{"--case", gas, "--point", "250,40"} + model).out;
        return out.mid(out.indexOf("\nConditions\n"));
    };
    QVERIFY(conditions({}).contains("\t2\t"));
    QVERIFY(conditions({}) != conditions({"--eos", "PR"}));
}

// --trace: after the tables and a blank line the three sections, the same
// rows as CSV files, and a chart picture with the overlay drawn.
void CommandLineTest::traceAddsThreeSectionsThreeFilesAndTheOverlay()
{
    Scratch scratch;
    const Outcome plain = scratch.run({"--chart", "plain.png"});
    QCOMPARE(plain.status, 0);
    const Outcome outcome = scratch.run({"--trace", "--csv", "out", "--chart", "out/traced.png"});
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    const QByteArray report = Report(expected_);
    QVERIFY(outcome.out.startsWith(report + "\nTrace Status\nStatus\tReason\ncomplete\t-\n\n"
                                            "Critical Points\nPoint\tT (K)\tP (bar)\ncritical point\t"));
    const QList<QByteArray> lines = outcome.out.mid(report.size() + 1).split('\n');
    QCOMPARE(lines.at(10), QByteArray("Traced Envelope"));
    QCOMPARE(lines.at(11), QByteArray("Index\tT (K)\tP (bar)\tPhase"));
    QCOMPARE(lines.at(12).split('\t').at(0), QByteArray("1"));
    QVERIFY(lines.at(12).endsWith("\t1.000\tdew"));
    QCOMPARE(lines.last(), QByteArray()); // the output ends with a line feed
    QVERIFY(lines.at(lines.size() - 2).endsWith("\t1.000\tbubble"));
    for (qsizetype i = 6; i <= 8; ++i) // three decimals, all three points found
        QVERIFY2(QRegularExpression(QStringLiteral("^[a-z ]+\t\\d+\\.\\d{3}\t\\d+\\.\\d{3}$"))
                     .match(QString::fromLatin1(lines.at(i)))
                     .hasMatch(),
                 lines.at(i).constData());
    // The critical point is a row of the traced curve, once.
    const QByteArray critical = lines.at(6).mid(lines.at(6).indexOf('\t'));
    QCOMPARE(outcome.out.count(critical + "\tcritical\n"), 1);

    QCOMPARE(scratch.read("out/trace-status.csv"), QByteArray("Status,Reason\r\ncomplete,-\r\n"));
    const QByteArray criticalCsv = scratch.read("out/critical-points.csv");
    QVERIFY(criticalCsv.startsWith("Point,T (K),P (bar)\r\ncritical point,"));
    QCOMPARE(criticalCsv.count("\r\n"), 4);
    const QByteArray tracedCsv = scratch.read("out/traced.csv");
    QCOMPARE(tracedCsv.count("\r\n"), lines.size() - 12);
    QVERIFY(tracedCsv.endsWith(",1.000,bubble\r\n"));

    // The overlay's grey line and markers are on the picture, which is
    // otherwise the plain chart's size.
    const QImage with(scratch.path("out/traced.png"));
    const QImage without(scratch.path("plain.png"));
    QCOMPARE(with.size(), without.size());
    QVERIFY(with != without);
    QVERIFY(CountColour(with, qRgb(128, 128, 128)) > CountColour(without, qRgb(128, 128, 128)));
}

// A mixture of the user's own: its picture shows the traced envelope without
// --trace, whose output stays the tables alone.
void CommandLineTest::aUsersMixtureIsDrawnWithItsTracedEnvelope()
{
    Scratch scratch;
    const QString file = QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json");
    const Outcome plain = scratch.run({"--case", file, "--chart", "plain.png"});
    QCOMPARE(plain.status, 0);
    QVERIFY(!plain.out.contains("Critical Points"));
    const Outcome traced = scratch.run({"--case", file, "--trace", "--chart", "traced.png"});
    QCOMPARE(traced.status, 0);
    const QImage picture(scratch.path("plain.png"));
    QCOMPARE(picture, QImage(scratch.path("traced.png")));
    // The cricondentherm's magenta triangle is on it.
    QVERIFY(CountColour(picture, qRgb(192, 0, 192)) > 10);
}

// --point, given twice and with --trace: the conditions come after
// everything else, as the two sections of the form the user reads, with the
// numbers the core computes, and as two CSV files.
void CommandLineTest::pointsComeLastAsTwoSectionsAndTwoFiles()
{
    Scratch scratch;
    const Outcome outcome = scratch.run({"--trace", "--point", "400,10", "--csv", "out", "--point=700,10"});
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    QVERIFY(outcome.out.startsWith(Report(expected_) + "\nTrace Status\n"));
    const Mixture mixture = BuiltInMixture();
    const CheckedConditions checked{
        mixture.componentNames,
        {condition::CheckCondition(mixture, 400.0, 10.0), condition::CheckCondition(mixture, 700.0, 10.0)}};
    std::ostringstream sections;
    WriteConditionsReport(sections, checked);
    QVERIFY(outcome.out.endsWith("\n\n" + QByteArray::fromStdString(sections.str())));

    // The form: a two-phase point and a one-phase point, then a composition
    // row for each component of the two-phase point only.
    const QList<QByteArray> lines =
        outcome.out.mid(outcome.out.lastIndexOf("\nConditions\n") + 1).split('\n');
    QCOMPARE(lines.size(), 11);
    QCOMPARE(lines.last(), QByteArray()); // the output ends with a line feed
    QCOMPARE(lines.at(1), QByteArray("Point\tT (K)\tP (bar)\tPhases\tVapour fraction"));
    QVERIFY2(QRegularExpression(QStringLiteral("^1\t400\\.000\t10\\.000\t2\t0\\.\\d{4}$"))
                 .match(QString::fromLatin1(lines.at(2)))
                 .hasMatch(),
             lines.at(2).constData());
    QCOMPARE(lines.at(3), QByteArray("2\t700.000\t10.000\t1\t-"));
    QCOMPARE(lines.at(4), QByteArray());
    QCOMPARE(lines.at(5), QByteArray("Phase Compositions"));
    QCOMPARE(lines.at(6), QByteArray("Point\tComponent\tFeed\tLiquid\tVapour"));
    for (int i = 0; i < 3; ++i)
        QVERIFY2(QRegularExpression(QStringLiteral("^1\t[a-z]+\t0\\.\\d{6}\t0\\.\\d{6}\t0\\.\\d{6}$"))
                     .match(QString::fromLatin1(lines.at(7 + i)))
                     .hasMatch(),
                 lines.at(7 + i).constData());
    QVERIFY(lines.at(7).startsWith("1\tmethane\t0.100000\t"));

    QCOMPARE(scratch.read("out/conditions.csv"), QByteArray::fromStdString(RowsCsv(ConditionsRows(checked))));
    QCOMPARE(scratch.read("out/phase-compositions.csv"),
             QByteArray::fromStdString(RowsCsv(PhaseCompositionsRows(checked))));

    // After the closing section of a case with the table's k_ij too.
    scratch.write("butanes.json", R"({"components": [{"name": "isobutane", "z": 0.5},
        {"name": "n-butane", "z": 0.5}], "kij": "table"})");
    const Outcome table = scratch.run({"--case", "butanes.json", "--point", "300,2"});
    QCOMPARE(table.status, 0);
    const qsizetype conditions = table.out.indexOf("\n\nConditions\n");
    QVERIFY(conditions > table.out.indexOf("\nInteraction Parameters\n"));
    QVERIFY(table.out.indexOf("\nInteraction Parameters\n") > 0);
}

// A point the equation of state cannot answer (2.5 K) is shown as "?" among
// the others and fails the run with one line on standard error, after every
// file is written.
void CommandLineTest::aPointThatCannotBeCheckedIsMarkedAndFails()
{
    Scratch scratch;
    const Outcome outcome = scratch.run({"--point", "400,10", "--point", "2.5,1", "--csv", "out"});
    QCOMPARE(outcome.status, 1);
    QVERIFY(outcome.out.contains("\n1\t400.000\t10.000\t2\t"));
    QVERIFY(outcome.out.contains("\n2\t2.500\t1.000\t?\t-\n"));
    QVERIFY2(outcome.err.startsWith("envelope: point 2 (2.500 K, 1.000 bar) could not be checked: "),
             outcome.err.constData());
    QCOMPARE(outcome.err.count('\n'), 1);
    QVERIFY(scratch.read("out/conditions.csv").endsWith("\r\n2,2.500,1.000,?,-\r\n"));
}

// --trace-only: the traced sections alone, as --trace prints them, their
// three files and a picture of the traced curve; no run, no run files.
void CommandLineTest::traceOnlyGivesTheTraceWithoutTheRun()
{
    Scratch scratch;
    const Outcome both = scratch.run({"--trace", "--headless"});
    QCOMPARE(both.status, 0);
    const Outcome outcome = scratch.run({"--trace-only", "--csv", "out", "--chart", "out/traced.png"});
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    QVERIFY(outcome.out.startsWith("Trace Status\n"));
    QCOMPARE(outcome.out, both.out.mid(Report(expected_).size() + 1));
    QCOMPARE(scratch.listing(), (QStringList{"out", "out/critical-points.csv", "out/trace-status.csv",
                                             "out/traced.csv", "out/traced.png"}));
    QVERIFY(CountColour(QImage(scratch.path("out/traced.png")), qRgb(128, 128, 128)) > 100);
}

// The run's failure and a stopped trace each print one line on standard
// error, the run's first, and give status 1; an open trace is an answer.
void CommandLineTest::eachFailedPartSaysSoInOneLine()
{
    Scratch scratch;
    const auto binary = [&](const char* file, const char* a, double za, const char* b) {
        scratch.write(QLatin1String(file), QStringLiteral(R"({"components": [{"name": "%1", "z": %2},
            {"name": "%3", "z": %4}]})").arg(QLatin1String(a)).arg(za).arg(QLatin1String(b)).arg(1.0 - za).toUtf8());
    };
    // Nitrogen and hydrogen sulfide: the run's dew start fails, the trace is
    // printed and written all the same, and is open.
    binary("open.json", "nitrogen", 0.1, "hydrogen sulfide");
    Outcome outcome = scratch.run({"--case", "open.json", "--trace", "--csv", "out"});
    QCOMPARE(outcome.status, 1);
    QCOMPARE(outcome.err, QByteArray("a numerical error has occured: start points: dew point: no all-liquid "
                                     "temperature found below the start guess (no bracket)\n"));
    QVERIFY2(outcome.out.startsWith("Trace Status\nStatus\tReason\nopen\tthe bubble branch climbs past 1000 bar at "),
             outcome.out.left(200).constData());
    QCOMPARE(scratch.listing(), (QStringList{"open.json", "out", "out/critical-points.csv", "out/trace-status.csv",
                                             "out/traced.csv"}));
    outcome = scratch.run({"--case", "open.json", "--trace-only"});
    QCOMPARE(outcome.status, 0);
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());

    // Nitrogen and ethane, 90/10: the run's spline stage fails and the trace
    // stops; alone, the trace's line.
    binary("both.json", "nitrogen", 0.9, "ethane");
    outcome = scratch.run({"--case", "both.json", "--trace", "--headless"});
    QCOMPARE(outcome.status, 1);
    const QList<QByteArray> lines = outcome.err.split('\n');
    QCOMPARE(lines.size(), 3);
    QVERIFY2(lines.at(0).startsWith("a numerical error has occured: spline: "), lines.at(0).constData());
    QVERIFY2(lines.at(1).startsWith("envelope: the traced envelope stopped: no convergence on the dew branch after "),
             lines.at(1).constData());
    QVERIFY(outcome.out.contains("\nstopped\t" + lines.at(1).mid(lines.at(1).indexOf("no convergence")) + "\n"));
    outcome = scratch.run({"--case", "both.json", "--trace-only"});
    QCOMPARE(outcome.status, 1);
    QCOMPARE(outcome.err, lines.at(1) + "\n");

    // Methane and ethane, 50/50: the run fails, the trace alone does not.
    binary("run.json", "methane", 0.5, "ethane");
    outcome = scratch.run({"--case", "run.json", "--trace-only"});
    QCOMPARE(outcome.status, 0);
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QVERIFY(outcome.out.startsWith("Trace Status\nStatus\tReason\ncomplete\t-\n"));
}

void CommandLineTest::everyExampleFillsItsThreeTables()
{
    // Wilson's K-values know nothing of the interaction parameters, which
    // put the CO2-rich stream's bubble point far below the ideal estimate.
    const struct {
        const char* name;
        double reach; // K
    } examples[] = {{"natural-gas", 20.0}, {"gas-condensate", 20.0}, {"co2-rich", 75.0}};
    for (const auto& [name, reach] : examples) {
        const QString file = QStringLiteral(ENVELOPE_EXAMPLES_DIR "/%1.json").arg(QLatin1String(name));
        const CaseReading reading = ReadCaseFile(file);
        QVERIFY2(reading.ok(), qPrintable(reading.problem));
        const Mixture& mixture = reading.mixture;

        // The start searches begin within reach of the saturation temperatures.
        const double Tb = WilsonBubbleTemperature(mixture, mixture.feed, 2.0, -1.0);
        const double Td = WilsonDewTemperature(mixture, mixture.feed, 2.0, -1.0);
        QVERIFY2(FlashV(mixture, Tb - reach) == 0.0 && FlashV(mixture, Tb + reach) > 0.0, name);
        QVERIFY2(FlashV(mixture, Td + reach) == 1.0 && FlashV(mixture, Td - reach) < 1.0, name);

        // Enough rows in each table for the spline's knots, and the spline's.
        const MemoryRun expected = RunInMemory(mixture);
        QVERIFY2(expected.result.report.outcome == RunOutcome::Completed, name);
        QVERIFY2(expected.bubbleTable.rowCount() >= 6 && expected.dewTable.rowCount() >= 7, name);
        QCOMPARE(expected.interpolationTable.rowCount(), 22);

        Scratch scratch;
        const Outcome outcome = scratch.run({"--case", file, "--headless"});
        QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
        QCOMPARE(outcome.status, 0);
        QCOMPARE(outcome.out, Report(expected));
    }
}

void CommandLineTest::aFailedStartGivesItsReasonOnTheErrorLine()
{
    // Hydrogen and helium: the dew search at 2 bar fails.
    Scratch scratch;
    scratch.write("light.json", R"({"components": [
        {"name": "H2", "z": 0.5, "tc": 33.19, "pc": 13.13, "omega": -0.216},
        {"name": "He", "z": 0.5, "tc": 5.2, "pc": 2.28, "omega": -0.39}]})");
    const Outcome outcome = scratch.run({"--case", "light.json", "--csv", "out"});
    QCOMPARE(outcome.status, 1);
    QCOMPARE(outcome.out, QByteArray());
    QCOMPARE(outcome.err, QByteArray("a numerical error has occured: start points: dew point: no all-liquid "
                                     "temperature found below the start guess (no bracket)\n"));
    QCOMPARE(scratch.listing(), QStringList{"light.json"});
}

void CommandLineTest::pngHasTheWindowSizeWithoutAnyPlatformSet()
{
    Scratch scratch;
    QProcessEnvironment environment = scratch.environment();
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    const Outcome outcome = scratch.run({"--chart", "pictures/Envelope.PNG"}, environment);
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, Report(expected_));
    QCOMPARE(scratch.listing(), (QStringList{"pictures", "pictures/Envelope.PNG"}));
    QVERIFY(scratch.read("pictures/Envelope.PNG").startsWith("\x89PNG"));

    const Form2 window;
    const QImage image(scratch.path("pictures/Envelope.PNG"));
    QCOMPARE(image.size(), window.size());
    // The legend labels and the curves of the run are in the picture.
    const QRect bubble = window.findChild<QLabel*>(QStringLiteral("Label1"))->geometry();
    QVERIFY(Near(image.pixel(bubble.right() - 1, bubble.bottom() - 1), qRgb(0, 0, 255)));
    const QRect dew = window.findChild<QLabel*>(QStringLiteral("Label5"))->geometry();
    QVERIFY(Near(image.pixel(dew.right() - 1, dew.bottom() - 1), qRgb(255, 0, 0)));
    const QImage plot = image.copy(0, 0, bubble.left() - 1, image.height());
    QVERIFY(CountColour(plot, qRgb(0, 0, 255)) > 300);
    QVERIFY(CountColour(plot, qRgb(255, 0, 0)) > 300);
    QVERIFY(CountColour(plot, qRgb(0, 255, 255)) > 300);
    QVERIFY(CountColour(plot, qRgb(255, 255, 0)) > 300);
}

void CommandLineTest::headlessRunNeedsNoGuiPlatform()
{
    // A GUI application would stop at once on a platform that does not exist.
    Scratch scratch;
    QProcessEnvironment environment = scratch.environment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("no-such-platform"));
    Outcome outcome = scratch.run({"--headless"}, environment);
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, Report(expected_));

    outcome = scratch.run({"--csv", "tables"}, environment);
    QVERIFY2(outcome.err.isEmpty(), outcome.err.constData());
    QCOMPARE(outcome.status, 0);
    QCOMPARE(scratch.listing(), (QStringList{"tables", "tables/bubble.csv", "tables/dew.csv",
                                             "tables/interpolation.csv", "tables/vapour-fractions.csv"}));
    QCOMPARE(scratch.read("tables/bubble.csv"), Csv(expected_.bubbleTable));

    // Without any display the program runs as --headless would, and says so:
    // Qt would otherwise stop it with several lines and an abort.
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(QString::fromLatin1(name));
    outcome = scratch.run({}, environment);
    QCOMPARE(outcome.err, QByteArray("envelope: no display found: running without windows\n"));
    QCOMPARE(outcome.status, 0);
    QCOMPARE(outcome.out, Report(expected_));
}

void CommandLineTest::badInputIsRefusedBeforeTheRun_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("unknown option") << QStringList{"--csvv", "out"} << "Unknown option 'csvv'";
    QTest::newRow("stray argument") << QStringList{"--headless", "out"} << "unexpected argument 'out'";
    QTest::newRow("--csv without value") << QStringList{"--csv"} << "Missing value after '--csv'";
    QTest::newRow("--chart without value") << QStringList{"--chart"} << "Missing value after '--chart'";
    QTest::newRow("--csv empty") << QStringList{"--csv="} << "--csv needs a directory name";
    QTest::newRow("--chart empty") << QStringList{"--chart", ""} << "--chart needs a file name";
    QTest::newRow("jpeg chart") << QStringList{"--csv", "out", "--chart", "out/chart.jpg"}
                                << "unsupported chart format 'out/chart.jpg'";
    QTest::newRow("chart without suffix") << QStringList{"--chart", "chart"} << "unsupported chart format 'chart'";
    QTest::newRow("svg as a directory name") << QStringList{"--chart", "out/.svg/"}
                                             << "unsupported chart format 'out/.svg/'";
    QTest::newRow("csv under a file") << QStringList{"--csv", "file/out"}
                                      << "cannot create directory 'file/out': '" ;
    QTest::newRow("csv deep under a file") << QStringList{"--csv", "file/a/b"}
                                           << "cannot create directory 'file/a/b'";
    QTest::newRow("csv is a file") << QStringList{"--csv", "file"} << "'file' is not a directory";
    QTest::newRow("csv file is a directory") << QStringList{"--csv", "dir"} << "'dir/dew.csv' is a directory";
    QTest::newRow("chart under a file") << QStringList{"--csv", "out", "--chart", "file/chart.png"}
                                        << "'file' is not a directory";
    QTest::newRow("chart is a directory") << QStringList{"--chart", "dir/picture.svg"}
                                          << "'dir/picture.svg' is a directory";
    QTest::newRow("--point one number") << QStringList{"--point", "250"}
                                        << "--point '250': expected T,P, two numbers (T in K, P in bar)";
    QTest::newRow("--point not a number") << QStringList{"--point", "250,6O"} << "--point '250,6O': expected T,P";
    QTest::newRow("--point at 0 K") << QStringList{"--point=0,60"}
                                    << "--point '0,60': the temperature must lie between 1 and 10000 K";
    QTest::newRow("--point not finite") << QStringList{"--point", "nan,60"} << "the temperature must lie between";
    QTest::newRow("--point absurd pressure") << QStringList{"--point", "250,1e9", "--csv", "out"}
                                             << "the pressure must lie between 0.001 and 10000 bar";
    QTest::newRow("--point second bad") << QStringList{"--point", "250,60", "--point", "250,-1"}
                                        << "--point '250,-1': the pressure must lie between";
    QTest::newRow("--case empty") << QStringList{"--case=", "--headless"} << "--case needs a file name";
    QTest::newRow("unknown --eos") << QStringList{"--eos", "PR76", "--csv", "out"}
                                   << "unknown equation of state 'PR76' after --eos (known: SRK, PR, PR78)";
    QTest::newRow("case missing") << QStringList{"--case", "none.json", "--headless"}
                                  << "'none.json': cannot be read: No such file";
    QTest::newRow("bad case") << QStringList{"--case", "bad.json", "--csv", "out", "--chart", "out/chart.png"}
                              << "'bad.json': component 2 ('ethane'): z must be a finite number greater than 0";
    QTest::newRow("bad case, windows") << QStringList{"--case", "bad.json"} << "'bad.json': component 2 ('ethane')";
}

void CommandLineTest::badInputIsRefusedBeforeTheRun()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    Scratch scratch;
    scratch.write("file", "a regular file\n");
    scratch.write("bad.json", R"({"components": [{"name": "methane", "z": 1.1}, {"name": "ethane", "z": -0.1}]})");
    QVERIFY(QDir(scratch.path()).mkpath("dir/dew.csv"));
    QVERIFY(QDir(scratch.path()).mkpath("dir/picture.svg"));
    const QStringList before = scratch.listing();

    CheckUsageError(scratch.run(arguments), message);
    QCOMPARE(scratch.listing(), before);
    QCOMPARE(scratch.read("file"), QByteArray("a regular file\n"));
}

void CommandLineTest::readOnlyDirectoryIsRefused()
{
    Scratch scratch;
    QVERIFY(QDir(scratch.path()).mkdir("locked"));
    const QString locked = scratch.path("locked");
    QVERIFY(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                              QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    // Root writes into any directory whatever its mode; an immutable one
    // stops root too, where the file system has the attribute.
    bool immutable = false;
    if (WritableByUs(locked)) {
        immutable = SetImmutable(locked, true);
        if (!immutable || WritableByUs(locked))
            QSKIP("no directory that this user cannot write to could be made here");
    }
    struct Unlock {
        QString path;
        bool immutable;
        ~Unlock()
        {
            if (immutable)
                SetImmutable(path, false);
            QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        }
    } unlock{locked, immutable};

    const QStringList before = scratch.listing();
    CheckUsageError(scratch.run({"--csv", "locked"}), "cannot write to directory 'locked': ");
    CheckUsageError(scratch.run({"--csv", "locked/new"}), "cannot create directory 'locked/new': ");
    CheckUsageError(scratch.run({"--chart", "locked/chart.png"}), "cannot write to directory 'locked': ");
    CheckUsageError(scratch.run({"--csv", "fine", "--chart", "locked/chart.svg"}),
                    "cannot write to directory 'locked': ");
    QCOMPARE(scratch.listing(), before);
}

void CommandLineTest::existingCsvIsReplacedOnlyOnSuccess()
{
    Scratch scratch;
    QVERIFY(QDir(scratch.path()).mkdir("out"));
    scratch.write("out/bubble.csv", "old bubble\r\n");
    scratch.write("out/notes.txt", "kept\n");
    scratch.write("file", "");
    const QStringList before = scratch.listing();

    // The chart cannot be written, so none of the tables is either.
    CheckUsageError(scratch.run({"--csv", "out", "--chart", "file/chart.svg"}), "'file' is not a directory");
    QCOMPARE(scratch.listing(), before);
    QCOMPARE(scratch.read("out/bubble.csv"), QByteArray("old bubble\r\n"));

    const Outcome outcome = scratch.run({"--csv", "out"});
    QCOMPARE(outcome.status, 0);
    QCOMPARE(scratch.read("out/bubble.csv"), Csv(expected_.bubbleTable));
    QCOMPARE(scratch.read("out/notes.txt"), QByteArray("kept\n"));
    // No temporary file is left beside the tables.
    QCOMPARE(scratch.listing(), (QStringList{"file", "out", "out/bubble.csv", "out/dew.csv",
                                             "out/interpolation.csv", "out/notes.txt", "out/vapour-fractions.csv"}));
}

void CommandLineTest::edgesOfTheBatchRun_data()
{
    QTest::addColumn<QByteArrayList>("arguments");
    QTest::addColumn<int>("output");
    QTest::addColumn<QByteArrayList>("environment");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("message");
    QTest::addColumn<QByteArrayList>("added");
    QTest::addColumn<QByteArrayList>("removed");

    const auto row = [](const char* name, QByteArrayList arguments, Output output, QByteArrayList environment,
                        int status, QByteArray message, QByteArrayList added = {}, QByteArrayList removed = {}) {
        QTest::newRow(name) << arguments << static_cast<int>(output) << environment << status << message << added
                            << removed;
    };
    const QByteArrayList noDisplay{"QT_QPA_PLATFORM=xcb", "-DISPLAY", "-WAYLAND_DISPLAY"};
    const QByteArray stale = "old/.dew.csv.envelope-tmp-999999999-Ab12Cd";

    // Names are the bytes given; Qt sees none of the arguments nor the
    // platform asked for in the environment.
    row("name not in UTF-8", {"--csv", "f\xff"}, Output::Null, {}, 0, {},
        {"f\xff", "f\xff/bubble.csv", "f\xff/dew.csv", "f\xff/interpolation.csv", "f\xff/vapour-fractions.csv"});
    row("Qt's option as a name, X11 without a display", {"--csv", "-platform", "--chart", "c.png"}, Output::Null,
        noDisplay, 0, {},
        {"-platform", "-platform/bubble.csv", "-platform/dew.csv", "-platform/interpolation.csv",
         "-platform/vapour-fractions.csv", "c.png"});
    row("upper-case suffix, stale temporaries cleared", {"--csv", "old", "--chart", "old/Pic.SVG"}, Output::Null, {},
        0, {}, {"old/Pic.SVG", "old/dew.csv", "old/interpolation.csv", "old/vapour-fractions.csv"}, {stale});
    row("link at the target followed", {"--chart", "to-old.png"}, Output::Null, {}, 0, {}, {"old/linked.png"},
        {stale});
    // Standard output that cannot be written is a failure.
    row("full disk", {"--headless"}, Output::Full, {}, 1, "standard output: No space left on device");
    row("closed", {"--headless"}, Output::Closed, {}, 1, "standard output: Bad file descriptor");
    row("closed, found before the run", {"--csv", "new"}, Output::Closed, {}, 1, "standard output");
    row("broken pipe", {"--headless"}, Output::BrokenPipe, {}, 1, "standard output: Broken pipe");
    row("help to a full disk", {"--help"}, Output::Full, {}, 1, "standard output");
    row("version to a broken pipe", {"--version"}, Output::BrokenPipe, {}, 1, "standard output");
    // Names that cannot be written are found before the run.
    row("name over 255 bytes", {"--csv", "new/" + QByteArray(256, 'a')}, Output::Null, {}, 2, "longer than 255");
    row("chart name over 255 bytes", {"--chart", QByteArray(252, 'a') + ".png"}, Output::Null, {}, 2,
        "longer than 255");
    row("path too long", {"--csv", QByteArray("abcdefgh/").repeated(460)}, Output::Null, {}, 2, "too long");
    row("link to a missing directory", {"--csv", "link"}, Output::Null, {}, 2, "'link' is a symbolic link");
    row("link into a missing directory", {"--csv", "new", "--chart", "pic.png"}, Output::Null, {}, 2,
        "'pic.png' is a symbolic link");
    row("option twice", {"--csv", "a", "--csv", "b"}, Output::Null, {}, 2, "'--csv' is given more than once");
    // Names in messages are quoted and escaped: one line whatever they hold.
    row("newline in a name", {"--csv", "file/new\nline"}, Output::Null, {}, 2, "'file/new\\nline'");
    row("invalid byte in a name", {"--csv", "file/f\xff"}, Output::Null, noDisplay, 2, "'file/f\\xff'");
    row("line feed in a case's name", {"--case", "bad\nname.json", "--headless"}, Output::Null, {}, 2,
        "'bad\\nname.json': cannot be read");
    row("hostile names in a case", {"--case", "evil.json", "--headless"}, Output::Null, {}, 2,
        "'evil.json': component 2 ('\\x1b[31mev\\nil'): not in the component table");
    // A case file is named by its bytes too, and read no further than 1 MiB.
    row("case name not in UTF-8, C locale", {"--case", "f\xff.json", "--headless"}, Output::Null, {"LC_ALL=C"}, 0,
        {});
    row("case name not in UTF-8, C.UTF-8", {"--case", "f\xff.json", "--headless"}, Output::Null,
        {"LC_ALL=C.UTF-8"}, 0, {});
    row("case without end", {"--case", "/dev/zero", "--csv", "new"}, Output::Null, {}, 2,
        "'/dev/zero': larger than 1 MiB");
}

void CommandLineTest::edgesOfTheBatchRun()
{
    QFETCH(QByteArrayList, arguments);
    QFETCH(int, output);
    QFETCH(QByteArrayList, environment);
    QFETCH(int, status);
    QFETCH(QByteArray, message);
    QFETCH(QByteArrayList, added);
    QFETCH(QByteArrayList, removed);

    Scratch scratch;
    const QByteArray root = QFile::encodeName(scratch.path());
    // Qt cannot remove a name that is not valid in the locale's encoding.
    struct RemoveRawNames {
        QByteArray root;
        ~RemoveRawNames()
        {
            const QByteArrayList entries = RawListing(root);
            for (auto entry = entries.rbegin(); entry != entries.rend(); ++entry)
                if (::unlink((root + '/' + *entry).constData()) != 0)
                    ::rmdir((root + '/' + *entry).constData());
        }
    } removeRawNames{root};
    QVERIFY(QDir(scratch.path()).mkpath("old") && QDir(scratch.path()).mkpath("tmp"));
    scratch.write("file", "");
    scratch.write("old/bubble.csv", "old\r\n");
    scratch.write("old/.dew.csv.envelope-tmp-999999999-Ab12Cd", "left by a killed run");
    scratch.write("evil.json",
                  R"({"components": [{"name": "methane", "z": 0.5}, {"name": "\u001b[31mev\nil", "z": 0.5}]})");
    QVERIFY(QFile::copy(QStringLiteral(ENVELOPE_EXAMPLES_DIR "/co2-rich.json"), scratch.path("co2.json")));
    QVERIFY(::rename((root + "/co2.json").constData(), (root + "/f\xff.json").constData()) == 0);
    QVERIFY(::symlink("missing/dir", (root + "/link").constData()) == 0);
    QVERIFY(::symlink("missing/c.png", (root + "/pic.png").constData()) == 0);
    QVERIFY(::symlink("old/linked.png", (root + "/to-old.png").constData()) == 0);
    const QByteArrayList before = RawListing(root);

    // No runtime directory: Qt must neither warn nor make one in TMPDIR.
    environment << "-XDG_RUNTIME_DIR" << "TMPDIR=" + root + "/tmp";
    const Outcome outcome = RunRaw(root, arguments, environment, static_cast<Output>(output));
    QCOMPARE(outcome.status, status);
    QCOMPARE(outcome.err.count('\n'), status == 0 ? 0 : 1);
    QVERIFY2(outcome.err.contains(message), outcome.err.constData());

    QByteArrayList expected = before;
    for (const QByteArray& entry : removed)
        QVERIFY(expected.removeOne(entry));
    expected << added;
    std::sort(expected.begin(), expected.end());
    QCOMPARE(RawListing(root), expected);
    if (status != 0)
        QCOMPARE(scratch.read("old/bubble.csv"), QByteArray("old\r\n"));
}

void CommandLineTest::terminatedRunLeavesOldOrNewFilesOnly()
{
    Scratch scratch;
    const QStringList arguments{"--csv", "d", "--chart", "d/c.png"};
    QElapsedTimer timer;
    timer.start();
    QCOMPARE(scratch.run(arguments).status, 0);
    const qint64 whole = timer.elapsed();
    const QStringList names{"bubble.csv", "c.png", "dew.csv", "interpolation.csv", "vapour-fractions.csv"};
    QMap<QString, QByteArray> fresh;
    for (const QString& name : names)
        fresh[name] = scratch.read("d/" + name);

    std::mt19937 random(20261207);
    std::uniform_int_distribution<qint64> moment(0, whole);
    int killed = 0;
    for (int run = 0; run < 20; ++run) {
        // Every other run starts from old files, the others from nothing.
        QDir(scratch.path("d")).removeRecursively();
        if (run % 2 == 1) {
            QVERIFY(QDir(scratch.path()).mkdir("d"));
            for (const QString& name : names)
                scratch.write("d/" + name, "old");
        }
        QProcess program;
        program.setWorkingDirectory(scratch.path());
        program.setProcessEnvironment(scratch.environment());
        program.start(QStringLiteral(ENVELOPE_PROGRAM), arguments);
        QVERIFY(program.waitForStarted());
        std::this_thread::sleep_for(std::chrono::milliseconds(moment(random)));
        program.terminate();
        QVERIFY(program.waitForFinished(60000));
        killed += program.exitStatus() == QProcess::CrashExit ? 1 : 0;

        // The files are put in place as one set: all of them are the old
        // ones (none, after a run from nothing), or all the new ones; and
        // nothing else is there, no temporary and no directory made.
        QStringList present;
        bool allNew = true;
        bool allOld = true;
        for (const QString& name : names) {
            const QString path = "d/" + name;
            const QByteArray contents = scratch.read(path);
            if (QFile::exists(scratch.path(path)))
                present << path;
            allNew = allNew && contents == fresh[name];
            allOld = allOld && contents == (run % 2 == 1 ? QByteArray("old") : QByteArray());
        }
        QVERIFY2(allNew || allOld, qPrintable(QString::number(run)));
        if (!present.isEmpty())
            present.prepend("d");
        QCOMPARE(scratch.listing(), present);
    }
    // The moments were spread over the run, so that most runs were stopped.
    QVERIFY(killed > 5);
}

// Under a limit on its address space, from the least in which the program
// starts at all upwards, a run completes or ends with one line.
void CommandLineTest::memoryRunningOutIsOneLine()
{
    const auto run = [](long kilobytes, const QString& option) {
        QProcess program;
        const QString script = QString("ulimit -v %1 && exec \"$0\" %2").arg(kilobytes).arg(option);
        program.start(QStringLiteral("/bin/sh"), {"-c", script, QStringLiteral(ENVELOPE_PROGRAM)});
        Outcome outcome;
        if (program.waitForFinished(60000) && program.exitStatus() == QProcess::NormalExit)
            outcome = {program.exitCode(), program.readAllStandardOutput(), program.readAllStandardError()};
        return outcome;
    };
    long starts = 4 << 20;
    if (run(starts, "--version").status != 0)
        QSKIP("the program does not start under a limit of 4 GiB (a sanitizer build)");
    for (long fails = 0; starts - fails > 128;) {
        const long middle = (starts + fails) / 2;
        (run(middle, "--version").status == 0 ? starts : fails) = middle;
    }
    int outOfMemory = 0;
    // The run needs about a megabyte more than starting does.
    for (long limit = starts; limit <= starts + 2048; limit += 256) {
        const Outcome outcome = run(limit, "--headless");
        if (outcome.status == 0) {
            QCOMPARE(outcome.out, Report(expected_));
        } else {
            QCOMPARE(outcome.err, QByteArray("envelope: out of memory\n"));
            QCOMPARE(outcome.status, 1);
            ++outOfMemory;
        }
    }
    QVERIFY(outOfMemory > 0);
}

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
