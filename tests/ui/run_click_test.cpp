// A click on "Run" in the main window: the tables fill, the chart window
// opens, and points accumulate on the chart while it lives and the mixture
// stays the same; closing the main window ends the program.
#include <QApplication>
#include <QChart>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTimer>
#include <QXYSeries>

#include <array>
#include <string>
#include <vector>

#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "envelope/traced_overlay.h"
#include "envelope/traced_tables.h"
#include "ui/legend_entry.h"
#include "ui/points_panel.h"
#include "ui/form1.h"
#include "ui/form2.h"

#include "../test_mixtures.h"

using namespace envelope;

namespace {

std::vector<std::vector<std::string>> Contents(const Table& table)
{
    std::vector<std::vector<std::string>> rows;
    for (int row = 0; row < table.rowCount(); ++row)
        rows.push_back({table.readCell(row, 0), table.readCell(row, 1), table.readCell(row, 2)});
    return rows;
}

std::vector<std::vector<std::string>> Contents(const MemoryTable& table)
{
    return Contents(static_cast<const Table&>(table));
}

std::array<qsizetype, 6> PointCounts(const Form2& form)
{
    std::array<qsizetype, 6> counts{};
    for (int series = 0; series < 6; ++series)
        counts[static_cast<std::size_t>(series)] = form.series(series).count();
    return counts;
}

void ClickRun(Form1& form)
{
    auto* run = form.findChild<QPushButton*>(QStringLiteral("Command1"));
    QVERIFY(run != nullptr);
    QTest::mouseClick(run, Qt::LeftButton);
}

std::array<qsizetype, 6> PointCounts(const MemoryChart& chart)
{
    std::array<qsizetype, 6> counts{};
    for (int series = 0; series < 6; ++series)
        counts[static_cast<std::size_t>(series)] = static_cast<qsizetype>(chart.series(series).points.size());
    return counts;
}

// Whether the window holds exactly what one run over fresh tables and a
// fresh chart writes.
bool HoldsOnly(Form1& form, const MemoryRun& run)
{
    return Contents(form.bubbleTable()) == Contents(run.bubbleTable) &&
           Contents(form.dewTable()) == Contents(run.dewTable) &&
           Contents(form.splineTable()) == Contents(run.interpolationTable) && form.chart().form() != nullptr &&
           PointCounts(*form.chart().form()) == PointCounts(run.chart);
}

} // namespace

class RunClickTest : public QObject {
    Q_OBJECT

private slots:
    void clickFillsTheTablesAndShowsTheChart();
    void pointsAccumulateWhileTheChartLivesAndStartAfreshWhenClosed();
    void closingTheMainWindowEndsTheProgram();
    void anotherMixtureStartsFromEmptyTablesAndChart();
    void aFailedRunGivesItsReasonAsTheMessagesDetails();
    void aUsersMixtureShowsItsTracedEnvelopeFirst();
    void theBuiltInCaseKeepsItsChart();
    void openingAnotherMixtureEmptiesTheResults();
};

void RunClickTest::clickFillsTheTablesAndShowsTheChart()
{
    Form1 form;
    form.show();
    QVERIFY(form.chart().form() == nullptr);
    ClickRun(form);

    // The windows show exactly what a run over in-memory tables writes.
    const MemoryRun expected = RunInMemory(BuiltInMixture());
    QCOMPARE(expected.result.report.outcome, RunOutcome::Completed);
    QVERIFY(Contents(form.bubbleTable()) == Contents(expected.bubbleTable));
    QVERIFY(Contents(form.dewTable()) == Contents(expected.dewTable));
    QVERIFY(Contents(form.splineTable()) == Contents(expected.interpolationTable));
    QCOMPARE(form.splineTable().rowCount(), 22);

    Form2* chart = form.chart().form();
    QVERIFY(chart != nullptr);
    QVERIFY(chart->isVisible());
    QVERIFY(chart->parentWidget() == nullptr);
    QVERIFY(!chart->isModal());
    for (int series = 0; series < 6; ++series)
        QCOMPARE(chart->series(series).count(),
                 static_cast<qsizetype>(expected.chart.series(series).points.size()));
    QCOMPARE(chart->series(2).count(), 21);
}

void RunClickTest::pointsAccumulateWhileTheChartLivesAndStartAfreshWhenClosed()
{
    Form1 form;
    form.show();
    ClickRun(form);
    const auto firstBubble = Contents(form.bubbleTable());
    const auto firstDew = Contents(form.dewTable());
    const auto firstSpline = Contents(form.splineTable());
    Form2* chart = form.chart().form();
    QVERIFY(chart != nullptr);
    const std::array<qsizetype, 6> once = PointCounts(*chart);

    ClickRun(form);
    QVERIFY(Contents(form.bubbleTable()) == firstBubble);
    QVERIFY(Contents(form.dewTable()) == firstDew);
    QVERIFY(Contents(form.splineTable()) == firstSpline);
    QCOMPARE(form.chart().form(), chart);
    const std::array<qsizetype, 6> twice = PointCounts(*chart);
    for (std::size_t series = 0; series < 6; ++series) {
        QCOMPARE(twice[series], 2 * once[series]);
        // Every point is there twice, next to its copy in the x order.
        const QList<QPointF> points = chart->series(static_cast<int>(series)).points();
        for (qsizetype i = 0; i + 1 < points.size(); i += 2)
            QCOMPARE(points[i], points[i + 1]);
    }

    chart->close(); // the chart window hides, and starts afresh on the next run
    QVERIFY(!chart->isVisible());
    ClickRun(form);
    QCOMPARE(form.chart().form(), chart);
    QVERIFY(form.chart().form()->isVisible());
    QVERIFY(PointCounts(*form.chart().form()) == once);
    // The vapour-fraction points are those of the latest run, not gathered.
    QVERIFY(form.fractionPoints() == FractionPoints(RunInMemory(BuiltInMixture()).result));
}

void RunClickTest::closingTheMainWindowEndsTheProgram()
{
    Form1 form;
    form.show();
    ClickRun(form);
    const QPointer<Form2> chart = form.chart().form();
    QVERIFY(chart != nullptr && chart->isVisible());

    // The event loop ends as the program's does when its last window closes;
    // the chart window would keep it running.
    QTimer::singleShot(0, &form, &QWidget::close);
    QTimer stuck;
    stuck.setSingleShot(true);
    connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    stuck.start(5000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(chart.isNull() || !chart->isVisible());
}

void RunClickTest::anotherMixtureStartsFromEmptyTablesAndChart()
{
    const MemoryRun builtIn = RunInMemory(BuiltInMixture());
    const MemoryRun binary = RunInMemory(test::BuiltInWithoutMethane());
    // The binary's bubble table is shorter, so leftovers would show.
    QVERIFY(binary.bubbleTable.rowCount() < builtIn.bubbleTable.rowCount());

    Form1 form;
    form.show();
    ClickRun(form);
    QVERIFY(HoldsOnly(form, builtIn));
    QVERIFY(form.statusLine().currentMessage().endsWith(QStringLiteral("Run: ") +
                                                        QString::fromStdString(builtIn.result.report.Summary())));

    form.useMixture(test::BuiltInWithoutMethane());
    ClickRun(form);
    QVERIFY(HoldsOnly(form, binary));
    QVERIFY(form.statusLine().currentMessage().endsWith(QStringLiteral("Run: ") +
                                                        QString::fromStdString(binary.result.report.Summary())));

    // The same mixture again: the rows are rewritten, the points doubled.
    ClickRun(form);
    QVERIFY(Contents(form.bubbleTable()) == Contents(binary.bubbleTable));
    std::array<qsizetype, 6> doubled = PointCounts(binary.chart);
    for (qsizetype& count : doubled)
        count *= 2;
    QVERIFY(PointCounts(*form.chart().form()) == doubled);

    form.useMixture(BuiltInMixture());
    ClickRun(form);
    QVERIFY(HoldsOnly(form, builtIn));

    // The same mixture with another equation of state gives other results,
    // which replace these.
    form.useMixture(BuiltInMixture(), EosKind::PR);
    ClickRun(form);
    QVERIFY(HoldsOnly(form, RunInMemory(BuiltInMixture(), PengRobinson1976)));
}

void RunClickTest::aFailedRunGivesItsReasonAsTheMessagesDetails()
{
    // Hydrogen and helium: the dew search at 2 bar fails.
    const Mixture light = test::HydrogenHelium();
    const MemoryRun expected = RunInMemory(light);
    QCOMPARE(expected.result.report.outcome, RunOutcome::StartPhaseFailed);

    Form1 form;
    form.show();
    form.useMixture(light);
    QString text, details;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        text = box->text();
        details = box->detailedText();
        box->accept();
    });
    ClickRun(form);
    QCOMPARE(text, QStringLiteral("a numerical error has occured"));
    QCOMPARE(details, QString::fromStdString(expected.result.report.FailureReason()));
    QVERIFY(details.startsWith(QStringLiteral("start points: dew point: ")));
    // A run without start points traces nothing and says only how it failed.
    QCOMPARE(form.statusLine().currentMessage(),
             QStringLiteral("Run: ") + QString::fromStdString(expected.result.report.Summary()));
    QVERIFY(form.chart().form() == nullptr || !form.chart().form()->isVisible());
}

void RunClickTest::aUsersMixtureShowsItsTracedEnvelopeFirst()
{
    Form1 form;
    QCOMPARE(form.openCase(QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json")), QString());
    form.show();
    ClickRun(form);
    const trace::TracedEnvelope traced = TracedEnvelopeOf(form.mixture());
    QCOMPARE(traced.verdict.kind, trace::Verdict::Complete);

    // The chart shows the traced envelope without being asked, every legend
    // entry named, the spline points as an estimate.
    Form2* chart = form.chart().form();
    QVERIFY(chart != nullptr && chart->isVisible());
    QVERIFY(chart->showTracedAction().isChecked());
    QVERIFY(chart->chart().series().contains(chart->tracedSeries().constFirst()));
    QVERIFY(chart->bridgeEstimate());
    QVERIFY(form.bridgeDeviation().IsEstimate());
    QStringList legend;
    for (const LegendEntry* entry : chart->legendEntries()) {
        QVERIFY(entry->isVisible());
        legend << entry->text();
    }
    QCOMPARE(legend, (QStringList{"spline points (estimate)", "traced envelope: complete", "critical point",
                                  "cricondenbar", "cricondentherm"}));

    // The panel gives the three points as the batch run prints them.
    const QString panel = form.pointsPanel().text();
    for (const auto& row : CriticalPointsRows(traced))
        QVERIFY2(panel.contains(QString::fromStdString(row[0] + "\t" + row[1] + "\t" + row[2])), qPrintable(panel));
    QVERIFY(panel.endsWith(QStringLiteral("Traced envelope: complete")));

    // The status line says how the trace ended and that the points are an
    // estimate, in words.
    const QString status = form.statusLine().currentMessage();
    QVERIFY2(status.startsWith(QStringLiteral("Traced envelope: complete. Hollow spline points: only an estimate")),
             qPrintable(status));
}

void RunClickTest::theBuiltInCaseKeepsItsChart()
{
    Form1 form;
    form.show();
    ClickRun(form);
    Form2* chart = form.chart().form();
    QVERIFY(chart != nullptr);
    QVERIFY(!chart->showTracedAction().isChecked());
    QVERIFY(!chart->bridgeEstimate());
    for (const LegendEntry* entry : chart->legendEntries())
        QVERIFY(!entry->isVisible());
    // Its numbers are in the panel all the same.
    QVERIFY(form.pointsPanel().text().contains(QStringLiteral("critical point\t553.132\t44.119")));

    // Shown on request, the traced envelope brings its legend entries.
    chart->showTracedAction().trigger();
    QVERIFY(chart->chart().series().contains(chart->tracedSeries().constFirst()));
    for (const LegendEntry* entry : chart->legendEntries())
        QVERIFY(entry->isVisible());
}

void RunClickTest::openingAnotherMixtureEmptiesTheResults()
{
    Form1 form;
    form.show();
    ClickRun(form);
    Form2* chart = form.chart().form();
    QVERIFY(chart->series(0).count() > 0);

    QCOMPARE(form.openCase(QStringLiteral(ENVELOPE_EXAMPLES_DIR "/natural-gas.json")), QString());
    // Renamed and emptied at once: no curve of the built-in case stays under
    // the natural gas's name, and no traced envelope of it over them.
    QCOMPARE(chart->windowTitle(), QStringLiteral("Envelope \u2014 natural gas"));
    for (int series = 0; series < 6; ++series)
        QCOMPARE(chart->series(series).count(), 0);
    QCOMPARE(form.bubbleTable().rowCount(), 2);
    QCOMPARE(form.bubbleTable().readCell(1, 1), std::string());
    QVERIFY(form.pointsPanel().text().contains(QStringLiteral("critical point\t-\t-")));
    QVERIFY(form.fractionPoints().empty());
    // Asked for now, the traced envelope is the natural gas's, over an empty chart.
    chart->showTracedAction().trigger();
    QCOMPARE(chart->tracedSeries().constFirst()->count(),
             static_cast<qsizetype>(TracedEnvelopeOf(form.mixture()).points.size()));
}

QTEST_MAIN(RunClickTest)
#include "run_click_test.moc"
