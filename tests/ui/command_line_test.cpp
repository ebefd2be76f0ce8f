// The envelope program run from the command line: the files that --csv and
// --chart write, and the refusal of bad input with its message, exit status
// and no file left behind.

#include <unistd.h>

#include <sstream>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QTest>

#include "envelope/csv.h"
#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "envelope/report.h"
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

} // namespace

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void csvAndChartWriteAllFourFiles();
    void pngHasTheWindowSizeWithoutAnyPlatformSet();
    void headlessRunNeedsNoGuiPlatform();
    void badInputIsRefusedBeforeTheRun_data();
    void badInputIsRefusedBeforeTheRun();
    void readOnlyDirectoryIsRefused();
    void existingCsvIsReplacedOnlyOnSuccess();

private:
    MemoryRun expected_;
};

void CommandLineTest::initTestCase()
{
    expected_ = RunInMemory(BuiltInMixture());
    QCOMPARE(expected_.outcome, RunOutcome::Completed);
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
                                             "out/interpolation.csv"}));

    // The tables of the same run in memory, formatted as CSV (whose rows
    // envelope_csv_test reads back against the table texts).
    QCOMPARE(scratch.read("out/bubble.csv"), Csv(expected_.bubbleTable));
    QCOMPARE(scratch.read("out/dew.csv"), Csv(expected_.dewTable));
    QCOMPARE(scratch.read("out/interpolation.csv"), Csv(expected_.interpolationTable));
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
                                             "tables/interpolation.csv"}));
    QCOMPARE(scratch.read("tables/bubble.csv"), Csv(expected_.bubbleTable));
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
}

void CommandLineTest::badInputIsRefusedBeforeTheRun()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    Scratch scratch;
    scratch.write("file", "a regular file\n");
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
                                             "out/interpolation.csv", "out/notes.txt"}));
}

QTEST_MAIN(CommandLineTest)
#include "command_line_test.moc"
