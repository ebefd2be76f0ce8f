// Writing results to files: a set of output files that replaces its targets
// all together or not at all, "Export CSV…" in the tables' context menus, and
// the chart picture drawn from a run held in memory.

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QXYSeries>

#include <memory>

#include "envelope/csv.h"
#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "envelope/traced_overlay.h"
#include "envelope/traced_tables.h"
#include "output/output_files.h"
#include "ui/chart_picture.h"
#include "ui/flex_grid.h"
#include "ui/form1.h"
#include "ui/form2.h"
#include "ui/qt_chart.h"

using namespace envelope;

namespace {

QStringList Listing(const QString& folder)
{
    QStringList entries;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        entries << QDir(folder).relativeFilePath(it.next());
    entries.sort();
    return entries;
}

std::string Path(const QString& fileName)
{
    return QFile::encodeName(fileName).toStdString();
}

QByteArray Read(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& fileName, const QByteArray& contents)
{
    QFile file(fileName);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(contents), contents.size());
}

void FillRows(Table& table, int rows)
{
    table.setRowCount(rows + 1);
    for (int row = 1; row <= rows; ++row) {
        table.writeCell(row, 0, std::to_string(row));
        table.writeCell(row, 1, std::to_string(row * 10) + ".5");
        table.writeCell(row, 2, "00" + std::to_string(row));
    }
}

// Opens the grid's context menu and chooses the entry; the entries seen are
// returned. What the entry opens is handled by the next queued call.
QStringList ChooseFromContextMenu(FlexGrid& grid, const QString& entry)
{
    QStringList seen;
    QTimer::singleShot(0, [&seen, entry] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr)
            return;
        QAction* chosen = nullptr;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                seen << action->text();
            if (action->text() == entry)
                chosen = action;
        }
        menu->close();
        if (chosen != nullptr)
            chosen->trigger();
    });
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(40, 40), grid.viewport()->mapToGlobal(QPoint(40, 40)));
    QApplication::sendEvent(grid.viewport(), &event);
    return seen;
}

// Answers the next file dialog with the file name, and reports the name that
// the dialog offered first. Unchecked, the answer skips the dialog's own
// checks of the name, as when the directory goes away after it was chosen.
void AnswerNextFileDialog(const QString& fileName, QString* offered, bool checked = true)
{
    QTimer::singleShot(0, [fileName, offered, checked] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        *offered = dialog->selectedFiles().value(0);
        dialog->selectFile(fileName);
        if (checked)
            QMetaObject::invokeMethod(dialog, "accept");
        else
            QMetaObject::invokeMethod(dialog, "done", Q_ARG(int, QDialog::Accepted));
    });
}

// Closes the next message box as soon as it shows, and reports its name and
// text; gives up after a few seconds.
void CloseNextMessageBox(QString* shown)
{
    auto* poll = new QTimer;
    auto tries = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, tries, shown] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box != nullptr) {
            *shown = box->objectName() + QLatin1Char(':') + box->text();
            box->accept();
        }
        if (box != nullptr || ++*tries > 500)
            poll->deleteLater();
    });
    poll->start(10);
}

} // namespace

class ExportTest : public QObject {
    Q_OBJECT

private slots:
    void filesReplaceTheirTargetsOnlyWhenCommitted();
    void aFailedFileDiscardsTheWholeSet();
    void contextMenuExportsTheTableAsCsv();
    void aFailedExportIsReportedAndWritesNothing();
    void chartPictureShowsTheReplayedRun();
    void exportAllWritesWhatTheCommandLineWrites();
};

void ExportTest::filesReplaceTheirTargetsOnlyWhenCommitted()
{
    QTemporaryDir folder;
    const QString old = folder.filePath("a.csv");
    Write(old, "old\r\n");
    const QString deep = folder.filePath("new/deeper/b.csv");
    {
        OutputFiles files;
        QVERIFY(files.add(Path(old), "new\r\n"));
        QVERIFY(files.add(Path(deep), "b\r\n"));
        // Written, but nothing is in place yet.
        QCOMPARE(Read(old), QByteArray("old\r\n"));
        QVERIFY(!QFile::exists(deep));
    }
    // Dropped without commit: the targets as they were, and no directory or
    // temporary file left behind.
    QCOMPARE(Listing(folder.path()), QStringList{"a.csv"});
    QCOMPARE(Read(old), QByteArray("old\r\n"));

    OutputFiles files;
    QVERIFY(files.add(Path(old), "new\r\n"));
    QVERIFY(files.add(Path(deep), "b\r\n"));
    QVERIFY(files.commit());
    QCOMPARE(Read(old), QByteArray("new\r\n"));
    QCOMPARE(Read(deep), QByteArray("b\r\n"));
    QCOMPARE(Listing(folder.path()), (QStringList{"a.csv", "new", "new/deeper", "new/deeper/b.csv"}));
}

void ExportTest::aFailedFileDiscardsTheWholeSet()
{
    QTemporaryDir folder;
    Write(folder.filePath("a.csv"), "old\r\n");
    Write(folder.filePath("file"), "");
    const QStringList before = Listing(folder.path());
    {
        OutputFiles files;
        QVERIFY(files.add(Path(folder.filePath("a.csv")), "new\r\n"));
        QVERIFY(files.add(Path(folder.filePath("made/c.csv")), "c\r\n"));
        QVERIFY(!files.add(Path(folder.filePath("file/b.csv")), "b\r\n"));
        QVERIFY2(files.problem().find("file") != std::string::npos, files.problem().c_str());
        QVERIFY(!files.add(Path(folder.path()), "a directory\r\n"));
        QVERIFY2(files.problem().rfind("cannot write '", 0) == 0, files.problem().c_str());
    }
    QCOMPARE(Listing(folder.path()), before);
    QCOMPARE(Read(folder.filePath("a.csv")), QByteArray("old\r\n"));
}

void ExportTest::contextMenuExportsTheTableAsCsv()
{
    QTemporaryDir folder;
    Form1 form;
    FillRows(form.dewTable(), 5);
    form.dewTable().writeCell(3, 1, "with,comma");
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* grid = form.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid2"));
    QVERIFY(grid != nullptr);

    const QString target = folder.filePath("exported.csv");
    QString offered;
    QTimer::singleShot(0, [&] { AnswerNextFileDialog(target, &offered); });
    const QStringList entries = ChooseFromContextMenu(*grid, QStringLiteral("Export CSV\u2026"));
    QCOMPARE(entries, (QStringList{QStringLiteral("Copy"), QStringLiteral("Export CSV\u2026"),
                                   QStringLiteral("Export all\u2026")}));
    QCOMPARE(QFileInfo(offered).fileName(), QStringLiteral("dew.csv"));
    QCOMPARE(Read(target), QByteArray::fromStdString(TableCsv(form.dewTable())));
    QVERIFY(Read(target).contains("3,\"with,comma\",003\r\n"));

    // The next export is offered the same directory, with the table's own name.
    auto* spline = form.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid3"));
    QTimer::singleShot(0, [&] { AnswerNextFileDialog(folder.filePath("spline.csv"), &offered); });
    ChooseFromContextMenu(*spline, QStringLiteral("Export CSV\u2026"));
    QCOMPARE(offered, folder.filePath("interpolation.csv"));
    QCOMPARE(Read(folder.filePath("spline.csv")), QByteArray("Index,T (C),P (bar)\r\n"));
    QCOMPARE(Listing(folder.path()), (QStringList{"exported.csv", "spline.csv"}));
}

void ExportTest::aFailedExportIsReportedAndWritesNothing()
{
    QTemporaryDir folder;
    Write(folder.filePath("file"), "");
    Form1 form;
    FillRows(form.bubbleTable(), 2);
    QVERIFY(Form1::ExportCsv(form.bubbleTable(), folder.filePath("file/bubble.csv"))
                .endsWith(QStringLiteral("is not a directory")));

    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QString offered;
    QString shown;
    QTimer::singleShot(0, [&] { AnswerNextFileDialog(folder.filePath("file/bubble.csv"), &offered, false); });
    CloseNextMessageBox(&shown);
    ChooseFromContextMenu(*form.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1")),
                          QStringLiteral("Export CSV\u2026"));
    QVERIFY2(shown.startsWith(QStringLiteral("ExportCsvProblem:The table could not be exported")), qPrintable(shown));
    QCOMPARE(Listing(folder.path()), QStringList{"file"});
}

void ExportTest::chartPictureShowsTheReplayedRun()
{
    const MemoryRun run = RunInMemory(BuiltInMixture());
    QCOMPARE(run.result.report.outcome, RunOutcome::Completed);

    QtChart chart;
    ReplayChart(run.chart, chart);
    QVERIFY(chart.form() != nullptr);
    for (int series = 0; series < Chart::SeriesCount; ++series) {
        const ChartSeries& source = run.chart.series(series);
        const QXYSeries& shown = chart.form()->series(series);
        QCOMPARE(shown.name().toStdString(), source.title);
        QCOMPARE(shown.count(), static_cast<qsizetype>(source.points.size()));
        for (int i = 0; i < shown.count(); ++i) {
            QCOMPARE(shown.at(i), QPointF(source.points[static_cast<std::size_t>(i)].x,
                                          source.points[static_cast<std::size_t>(i)].y));
            QCOMPARE(chart.form()->pointColour(series, i),
                     ColourFromBgr(source.points[static_cast<std::size_t>(i)].colour));
        }
    }
    QVERIFY(chart.form()->series(0).count() > 10);

    const Form2 window;
    QImage image;
    QVERIFY(image.loadFromData(ChartPicture(run.chart, QStringLiteral("out/picture.Png")), "PNG"));
    QCOMPARE(image.size(), window.size());
    const QByteArray svg = ChartPicture(run.chart, QStringLiteral("picture.svg"));
    QVERIFY(svg.startsWith("<?xml"));
    QVERIFY(svg.contains("<svg"));
    QVERIFY(ChartPicture(run.chart, QStringLiteral("picture.jpg")).isEmpty());
    QVERIFY(!IsChartPictureName(QStringLiteral("png")));
    QVERIFY(IsChartPictureName(QStringLiteral("a.SVG")));
}

void ExportTest::exportAllWritesWhatTheCommandLineWrites()
{
    QTemporaryDir folder;
    Write(folder.filePath("dew.csv"), "old\r\n");
    Form1 form;
    form.show();
    QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Command1")), Qt::LeftButton);
    QVERIFY(!form.fractionPoints().empty());

    QString offered;
    QTimer::singleShot(0, [&] { AnswerNextFileDialog(folder.path(), &offered); });
    ChooseFromContextMenu(*form.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid3")),
                          QStringLiteral("Export all\u2026"));
    // Byte for byte the files of --csv --trace, which come from a run in
    // memory and the traced envelope.
    const MemoryRun run = RunInMemory(BuiltInMixture());
    std::vector<CsvFile> expected;
    for (const CsvFile& csv :
         RunCsvFiles(run.bubbleTable, run.dewTable, run.interpolationTable, FractionPoints(run.result)))
        expected.push_back(csv);
    for (const CsvFile& csv : TracedCsvFiles(TracedEnvelopeOf(BuiltInMixture())))
        expected.push_back(csv);
    QStringList names;
    for (const CsvFile& csv : expected) {
        names << QString::fromLatin1(csv.fileName);
        QCOMPARE(Read(folder.filePath(csv.fileName)), QByteArray::fromStdString(csv.contents));
    }
    QVERIFY(names.contains(QStringLiteral("critical-points.csv")) && names.contains(QStringLiteral("traced.csv")));
    names.sort();
    QCOMPARE(Listing(folder.path()), names);

    // A folder that cannot be written: the reason in a message, nothing written.
    QTemporaryDir other;
    Write(other.filePath("file"), "");
    QString shown;
    QTimer::singleShot(0, [&] { AnswerNextFileDialog(other.filePath("file"), &offered, false); });
    CloseNextMessageBox(&shown);
    ChooseFromContextMenu(*form.findChild<FlexGrid*>(QStringLiteral("MSFlexGrid1")),
                          QStringLiteral("Export all\u2026"));
    QVERIFY2(shown.startsWith(QStringLiteral("ExportAllProblem:The results could not be exported: ")) &&
                 shown.contains(QStringLiteral("is not a directory")),
             qPrintable(shown));
    QCOMPARE(Listing(other.path()), QStringList{"file"});
}

QTEST_MAIN(ExportTest)
#include "export_test.moc"
