// The run over in-memory tables and chart: every row and point is checked
// against the physics (flashes of the feed) and the writing rules, not against
// a stored copy of the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "envelope/case.h"
#include "envelope/memory_chart.h"
#include "envelope/memory_run.h"
#include "envelope/memory_table.h"
#include "envelope/run.h"
#include "envelope/text_format.h"
#include "equilibrium/flash.h"
#include "equilibrium/saturation_pressure.h"
#include "equilibrium/saturation_temperature.h"
#include "thermo/composition.h"
#include "thermo/numerical_fault.h"

#include "test_mixtures.h"

namespace envelope {
namespace {

struct Results {
    MemoryTable bubble, dew, interp;
    MemoryChart chart;
    RunOutcome outcome = RunOutcome::Completed;
    RunReport report;
    RunOutcome run()
    {
        SolverCounters counters;
        report = RunWithReport(BuiltInMixture(), SoaveRedlichKwong, bubble, dew, interp, chart, counters);
        return outcome = report.outcome;
    }
};

double Number(const MemoryTable& table, int row, int column)
{
    return ReadLeadingNumber(table.readCell(row, column));
}

int LastRow(const MemoryTable& table)
{
    return table.rowCount() - 1;
}

double FlashV(const Mixture& mixture, double T, double P, double tolerance = 1e-5, std::int16_t passes = 50)
{
    CompositionVector x(mixture.feed.size(), 0.0), y(mixture.feed.size(), 0.0);
    double V = 0.0;
    SolverWorkspace work;
    IsothermalFlash(mixture, SoaveRedlichKwong, mixture.feed, T, P, y, x, V, tolerance, passes, work);
    return V;
}

double FlashV(double T, double P, double tolerance = 1e-5, std::int16_t passes = 50)
{
    return FlashV(BuiltInMixture(), T, P, tolerance, passes);
}

class CompletedRun : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        run_ = new Results;
        run_->run();
    }
    static void TearDownTestSuite() { delete run_; }
    static Results* run_;
    const MemoryTable& bubble() const { return run_->bubble; }
    const MemoryTable& dew() const { return run_->dew; }
    const MemoryTable& interp() const { return run_->interp; }
    const std::vector<ChartPoint>& points(int series) const { return run_->chart.series(series).points; }
};
Results* CompletedRun::run_ = nullptr;

TEST_F(CompletedRun, SeriesTitlesAndPointColours)
{
    EXPECT_EQ(run_->outcome, RunOutcome::Completed);
    const char* titles[] = {"bubble", "dew", "interp", "VF=0.05", "VF=0.3", "VF=0.5"};
    const Colour colours[] = {0xFF0000, 0x0000FF, 0x000000, 0x00FFFF, 0x000000, 0xFFFF00};
    for (int s = 0; s < Chart::SeriesCount; ++s) {
        EXPECT_EQ(run_->chart.series(s).title, titles[s]);
        EXPECT_FALSE(points(s).empty()) << s;
        for (const ChartPoint& p : points(s)) {
            EXPECT_EQ(p.colour, colours[s]);
            EXPECT_EQ(p.label, "");
        }
    }
}

// The bubble and dew temperatures at 2 bar, searched as the run searches them.
struct StartTemperatures {
    double bubble = 163.0;
    double dew = 412.0;
    StartTemperatures()
    {
        const Mixture mixture = BuiltInMixture();
        CompositionVector scratch(3, 0.0);
        SolverWorkspace work;
        BubbleTemperature(mixture, SoaveRedlichKwong, mixture.feed, 2.0, scratch, bubble, 0.001, work);
        DewTemperature(mixture, SoaveRedlichKwong, mixture.feed, 2.0, scratch, dew, 0.001, work);
    }
};

TEST_F(CompletedRun, StartRowsAreTheSaturationTemperaturesAtTwoBar)
{
    const StartTemperatures start;
    const double Tb = start.bubble, Td = start.dew;
    const double Vb = FlashV(Tb, 2.0);
    const double Vd = FlashV(Td, 2.0);
    EXPECT_GT(Vb, 0.0);
    EXPECT_LE(Vb, 0.001);
    EXPECT_GE(Vd, 0.999);
    EXPECT_LT(Vd, 1.0);
    EXPECT_EQ(bubble().rows()[1], (MemoryTable::Row{"1", FormatThreeDecimals(Tb - 273.15), "2"}));
    EXPECT_EQ(dew().rows()[1], (MemoryTable::Row{"1", FormatThreeDecimals(Td - 273.15), "2"}));
    // The start points go on no series: each march's first point is one step on.
    EXPECT_EQ(points(0).front().x, Tb + 8.0);
    EXPECT_EQ(points(1).front().x, Td + 5.0);
}

TEST_F(CompletedRun, TheBuiltInCaseByAnyNameKeepsItsOwnStartGuesses)
{
    Mixture named = BuiltInMixture();
    named.name = "methane, ethane and octane";
    named.kij.assign(9, 0.0);
    const MemoryRun same = RunInMemory(named);
    // Row 0 aside, which the fixture's tables leave without headings.
    const auto fromRow1 = [](const MemoryTable& table) {
        return std::vector<MemoryTable::Row>(table.rows().begin() + 1, table.rows().end());
    };
    EXPECT_EQ(fromRow1(same.bubbleTable), fromRow1(bubble()));
    EXPECT_EQ(fromRow1(same.dewTable), fromRow1(dew()));
    EXPECT_EQ(fromRow1(same.interpolationTable), fromRow1(interp()));

    // Any other feed starts from Wilson's estimates: its start rows still lie
    // on the saturation curves (the binary's test checks the rows after).
    named.feed = {0.2, 0.15, 0.65};
    const MemoryRun other = RunInMemory(named);
    ASSERT_EQ(other.report.start.end, StageEnd::Done);
    EXPECT_EQ(FlashV(named, other.report.bubbleStartTemperature - 0.5, 2.0), 0.0);
    EXPECT_GT(FlashV(named, other.report.bubbleStartTemperature + 0.5, 2.0), 0.0);
    EXPECT_EQ(FlashV(named, other.report.dewStartTemperature + 0.5, 2.0), 1.0);
    EXPECT_LT(FlashV(named, other.report.dewStartTemperature - 0.5, 2.0), 1.0);
}

TEST_F(CompletedRun, TheReportSaysWhatEachStageWroteAndWhatEndedIt)
{
    const RunReport& report = run_->report;
    const StartTemperatures start;
    EXPECT_EQ(report.start.end, StageEnd::Done);
    EXPECT_EQ(report.start.rows, 2);
    EXPECT_EQ(report.bubbleStartTemperature, start.bubble);
    EXPECT_EQ(report.dewStartTemperature, start.dew);
    // Each march ends at the step after its last row, and says why.
    EXPECT_EQ(report.bubble.rows, LastRow(bubble()) - 1);
    EXPECT_EQ(report.dew.rows, LastRow(dew()) - 1);
    EXPECT_EQ(report.bubble.temperature, points(0).back().x + 8.0);
    EXPECT_EQ(report.dew.temperature, points(1).back().x + 5.0);
    // Near the critical region both pressure searches fall onto the feed itself.
    for (const StageReport* march : {&report.bubble, &report.dew}) {
        EXPECT_EQ(march->end, StageEnd::Fault);
        EXPECT_EQ(march->fault, FaultKind::TrivialSolution);
        EXPECT_EQ(march->reason, "saturation search converged on the trivial solution");
    }
    EXPECT_EQ(report.spline.end, StageEnd::Done);
    EXPECT_EQ(report.spline.rows, 21);
    EXPECT_EQ(report.FailureReason(), "");

    // The summary counts the rows each table shows, the start row included,
    // and a reason that names its kind is not followed by the kind again.
    const std::string summary = report.Summary();
    EXPECT_NE(summary.find("bubble " + std::to_string(LastRow(bubble())) + " rows, trivial solution at "),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("dew " + std::to_string(LastRow(dew())) + " rows, "), std::string::npos) << summary;
    EXPECT_NE(summary.find("spline 21 rows"), std::string::npos) << summary;
    const std::string details = report.Details();
    EXPECT_NE(details.find("converged on the trivial solution at "), std::string::npos) << details;
    EXPECT_EQ(details.find("(trivial solution)"), std::string::npos) << details;
}

// Rows 2 on: index = row, temperature by repeated addition of the step, the
// pressure text by the table's rule; one chart point per row with the exact
// (T, P) of the march.
void CheckMarchRows(const MemoryTable& table, const std::vector<ChartPoint>& points, double start, double step,
                    bool bubble)
{
    ASSERT_EQ(static_cast<int>(points.size()), LastRow(table) - 1);
    double T = start;
    for (int r = 2; r <= LastRow(table); ++r) {
        T += step;
        const ChartPoint& p = points[static_cast<std::size_t>(r - 2)];
        EXPECT_EQ(p.x, T) << r;
        const std::string pressure = bubble ? FormatShortest(ReadLeadingNumber(FormatThreeDecimalsPadded(p.y)))
                                            : FormatThreeDecimalsPadded(p.y);
        EXPECT_EQ(table.rows()[static_cast<std::size_t>(r)],
                  (MemoryTable::Row{std::to_string(r), FormatThreeDecimals(T - 273.15), pressure}))
            << r;
    }
}

TEST_F(CompletedRun, MarchRowsFollowTheStepsAndTheTextRules)
{
    const StartTemperatures start;
    CheckMarchRows(bubble(), points(0), start.bubble, 8.0, true);
    CheckMarchRows(dew(), points(1), start.dew, 5.0, false);
}

TEST_F(CompletedRun, PressuresRiseAlongTheDewBranchAndPeakOnceAlongTheBubbleBranch)
{
    for (std::size_t k = 1; k < points(1).size(); ++k)
        EXPECT_GT(points(1)[k].y, points(1)[k - 1].y) << k;
    // The bubble branch passes its highest pressure before the critical
    // region and falls after it.
    const auto peak = std::max_element(points(0).begin(), points(0).end(),
                                       [](const ChartPoint& a, const ChartPoint& b) { return a.y < b.y; });
    for (auto p = points(0).begin() + 1; p <= peak; ++p)
        EXPECT_GT(p->y, (p - 1)->y);
    for (auto p = peak + 1; p < points(0).end(); ++p)
        EXPECT_LT(p->y, (p - 1)->y);
    EXPECT_GT(peak->y, 2.0);
}

TEST_F(CompletedRun, EveryRowIsAGenuineSaturationPoint)
{
    // Just above a bubble pressure the feed is all liquid, just below it boils;
    // just below a dew pressure it is all vapour, just above it condenses. A
    // trivial solution of the pressure search would fail this.
    for (const ChartPoint& p : points(0)) {
        EXPECT_LE(FlashV(p.x, p.y), 0.1) << p.x;
        EXPECT_EQ(FlashV(p.x, p.y * 1.01), 0.0) << p.x;
        EXPECT_GT(FlashV(p.x, p.y * 0.99), 0.0) << p.x;
    }
    for (const ChartPoint& p : points(1)) {
        EXPECT_GE(FlashV(p.x, p.y), 0.9) << p.x;
        EXPECT_EQ(FlashV(p.x, p.y * 0.99), 1.0) << p.x;
        EXPECT_LT(FlashV(p.x, p.y * 1.01), 1.0) << p.x;
    }
}

TEST_F(CompletedRun, BothMarchesEndAtTheirFirstRejectedStepNearTheCriticalRegion)
{
    const Mixture mixture = BuiltInMixture();
    const CompositionVector& feed = mixture.feed;
    CompositionVector scratch(3, 0.0);
    SolverWorkspace work;
    // The step after the last bubble row: the pressure search from the last
    // bubble pressure either fails or gives a point the check flash rejects.
    double T = points(0).back().x + 8.0;
    double P = points(0).back().y;
    bool rejected = true;
    try {
        BubblePressure(mixture, SoaveRedlichKwong, feed, T, scratch, P, 1e-5, work);
        rejected = FlashV(T, P) > 0.1;
    } catch (const NumericalFault&) {
    }
    EXPECT_TRUE(rejected);
    EXPECT_NEAR(T, 553.0, 5.0);

    T = points(1).back().x + 5.0;
    rejected = true;
    try {
        DewPressure(mixture, SoaveRedlichKwong, feed, T, scratch, P, 1e-5, work);
        rejected = P == 0 || FlashV(T, P) < 0.9;
    } catch (const NumericalFault&) {
    }
    EXPECT_TRUE(rejected);
    EXPECT_NEAR(T, 553.0, 5.0);
}

TEST_F(CompletedRun, ConstantFractionPointsLieInsideTheEnvelopeAtTheirTarget)
{
    const double targets[] = {0.05, 0.3, 0.5};
    for (int line = 0; line < 3; ++line) {
        EXPECT_LE(points(3 + line).size(), points(0).size());
        for (const ChartPoint& p : points(3 + line)) {
            const auto bubblePoint = std::find_if(points(0).begin(), points(0).end(),
                                                  [&](const ChartPoint& b) { return b.x == p.x; });
            ASSERT_NE(bubblePoint, points(0).end()) << p.x;
            EXPECT_GE(p.y, 2.0);
            EXPECT_LE(p.y, bubblePoint->y);
            EXPECT_LT(std::fabs(FlashV(p.x, p.y, 1e-4, 100) - targets[line]), 0.001) << p.x;
        }
    }
}

TEST_F(CompletedRun, InterpolationBridgesTheLastBubbleAndDewRows)
{
    ASSERT_EQ(interp().rowCount(), 22);
    const int rb = LastRow(bubble());
    const int rd = LastRow(dew());
    // Row 1 repeats the last bubble point as read back; row 21 ends on the last
    // dew point, through which the spline passes.
    EXPECT_EQ(interp().readCell(1, 1), bubble().readCell(rb, 1));
    EXPECT_EQ(Number(interp(), 1, 2), Number(bubble(), rb, 2));
    EXPECT_EQ(Number(interp(), 21, 2), Number(dew(), rd, 2));
    EXPECT_NEAR(Number(interp(), 21, 1), Number(dew(), rd, 1), 0.0011);

    const double first = Number(interp(), 1, 2);
    const double last = Number(interp(), 21, 2);
    ASSERT_EQ(points(2).size(), 21u);
    for (int r = 1; r <= 21; ++r) {
        EXPECT_EQ(interp().readCell(r, 0), std::to_string(r));
        EXPECT_NEAR(Number(interp(), r, 2), first + (last - first) * (r - 1) / 20, 0.0005 + 1e-9) << r;
        // Each row has its chart point: x the spline temperature in kelvin.
        const bool plotted = std::any_of(points(2).begin(), points(2).end(), [&](const ChartPoint& p) {
            return FormatThreeDecimals(p.x - 273.15) == interp().readCell(r, 1) &&
                   FormatThreeDecimalsPadded(p.y) == interp().readCell(r, 2);
        });
        EXPECT_TRUE(plotted) << r;
    }
}

TEST_F(CompletedRun, ASecondRunRewritesTheTablesAndDoublesEveryPoint)
{
    Results twice;
    twice.run();
    EXPECT_EQ(twice.run(), RunOutcome::Completed);
    EXPECT_EQ(twice.bubble.rows(), bubble().rows());
    EXPECT_EQ(twice.dew.rows(), dew().rows());
    EXPECT_EQ(twice.interp.rows(), interp().rows());
    for (int s = 0; s < Chart::SeriesCount; ++s) {
        const auto& again = twice.chart.series(s).points;
        ASSERT_EQ(again.size(), 2 * points(s).size()) << s;
        for (const ChartPoint& p : points(s))
            EXPECT_EQ(std::count(again.begin(), again.end(), p), 2 * std::count(points(s).begin(), points(s).end(), p));
    }
}

// ---------------------------------------------------------------------------
// Failures, injected through a table or chart that raises the numerical fault.

class FaultingTable final : public Table {
public:
    explicit FaultingTable(int faultAtRowCount = -1, int faultAtWrittenRow = -1)
        : faultAtRowCount_(faultAtRowCount), faultAtWrittenRow_(faultAtWrittenRow) {}
    int rowCount() const override { return table.rowCount(); }
    void setRowCount(int rows) override
    {
        if (rows == faultAtRowCount_)
            RaiseNumericalFault(FaultKind::Index, "injected");
        table.setRowCount(rows);
    }
    void writeCell(int row, int column, const std::string& text) override
    {
        if (row == faultAtWrittenRow_)
            RaiseNumericalFault(FaultKind::Index, "injected");
        table.writeCell(row, column, text);
    }
    std::string readCell(int row, int column) const override { return table.readCell(row, column); }
    MemoryTable table;

private:
    int faultAtRowCount_;
    int faultAtWrittenRow_;
};

class FaultingChart final : public Chart {
public:
    FaultingChart(int series, std::size_t faultAtPoint) : series_(series), faultAtPoint_(faultAtPoint) {}
    void setSeriesTitle(int series, const std::string& title) override
    {
        if (faultAtPoint_ == 0)
            RaiseNumericalFault(FaultKind::Index, "injected");
        chart.setSeriesTitle(series, title);
    }
    int addPoint(int series, double x, double y, const std::string& label, Colour colour) override
    {
        if (series == series_ && chart.series(series).points.size() + 1 == faultAtPoint_)
            RaiseNumericalFault(FaultKind::Index, "injected");
        return chart.addPoint(series, x, y, label, colour);
    }
    MemoryChart chart;

private:
    int series_;
    std::size_t faultAtPoint_;
};

using RunFailure = CompletedRun;

MemoryTable Prefilled(const std::string& marker)
{
    MemoryTable table;
    table.setRowCount(4);
    for (int r = 1; r < 4; ++r)
        table.writeCell(r, 2, marker);
    return table;
}

TEST_F(RunFailure, AFaultWhileFindingTheStartPointsEndsTheRun)
{
    MemoryTable bubbleTable, interpTable = Prefilled("old");
    FaultingTable dewTable(-1, 1);
    dewTable.table = Prefilled("old");
    MemoryChart chart;
    EXPECT_EQ(envelope::Run(BuiltInMixture(), bubbleTable, dewTable, interpTable, chart), RunOutcome::StartPhaseFailed);
    // The bubble start row stands; nothing else of the run happened.
    EXPECT_EQ(bubbleTable.rows()[1], bubble().rows()[1]);
    EXPECT_EQ(bubbleTable.rowCount(), 2);
    EXPECT_EQ(dewTable.table.rows(), Prefilled("old").rows());
    EXPECT_EQ(interpTable.rows(), Prefilled("old").rows());
    for (int s = 0; s < Chart::SeriesCount; ++s)
        EXPECT_TRUE(chart.series(s).points.empty());

    FaultingChart noTitles(0, 0);
    MemoryTable b, d, i;
    EXPECT_EQ(envelope::Run(BuiltInMixture(), b, d, i, noTitles), RunOutcome::StartPhaseFailed);
    EXPECT_EQ(b.rows(), MemoryTable().rows());
}

TEST_F(RunFailure, AFaultInTheBubbleMarchEndsItSilentlyAndTheRunGoesOn)
{
    // The step of row 11 fails when it sets the row count, after its
    // constant-fraction points were added.
    FaultingTable bubbleTable(12);
    Results rest;
    EXPECT_EQ(envelope::Run(BuiltInMixture(), bubbleTable, rest.dew, rest.interp, rest.chart), RunOutcome::Completed);
    ASSERT_EQ(bubbleTable.table.rowCount(), 11);
    for (int r = 1; r <= 10; ++r)
        EXPECT_EQ(bubbleTable.table.rows()[r], bubble().rows()[r]);
    EXPECT_EQ(rest.chart.series(0).points.size(), 9u);
    const double failingStep = points(0)[9].x;
    for (int s = 3; s <= 5; ++s)
        EXPECT_EQ(rest.chart.series(s).points.size(),
                  std::count_if(points(s).begin(), points(s).end(), [&](const ChartPoint& p) { return p.x <= failingStep; }));
    EXPECT_EQ(rest.dew.rows(), dew().rows());
    EXPECT_EQ(rest.interp.readCell(1, 1), bubbleTable.table.readCell(10, 1));
    EXPECT_EQ(rest.interp.readCell(21, 2), dew().readCell(LastRow(dew()), 2));
}

TEST_F(RunFailure, AFaultAtAConstantFractionPointEndsTheBubbleMarchInsideItsStep)
{
    // The fifth point of the VF=0.3 line fails: its step keeps its VF=0.05
    // point and loses the rest; every earlier step is complete.
    FaultingChart chart(4, 5);
    Results rest;
    EXPECT_EQ(envelope::Run(BuiltInMixture(), rest.bubble, rest.dew, rest.interp, chart), RunOutcome::Completed);
    const double failingStep = points(4)[4].x;
    const auto before = [&](int series, bool withFailingStep) {
        return static_cast<std::size_t>(std::count_if(points(series).begin(), points(series).end(), [&](const ChartPoint& p) {
            return p.x < failingStep || (withFailingStep && p.x == failingStep);
        }));
    };
    EXPECT_EQ(chart.chart.series(3).points.size(), before(3, true));
    EXPECT_EQ(chart.chart.series(4).points.size(), 4u);
    EXPECT_EQ(chart.chart.series(5).points.size(), before(5, false));
    EXPECT_EQ(chart.chart.series(0).points.size(), before(0, false));
    ASSERT_EQ(rest.bubble.rowCount(), static_cast<int>(before(0, false)) + 2);
    for (int r = 1; r < rest.bubble.rowCount(); ++r)
        EXPECT_EQ(rest.bubble.rows()[r], bubble().rows()[r]);
    EXPECT_EQ(rest.dew.rows(), dew().rows());
}

TEST_F(RunFailure, AFaultInTheDewMarchEndsItSilentlyAndTheSplineUsesWhatIsThere)
{
    FaultingTable dewTable(10);
    Results rest;
    SolverCounters counters;
    const RunReport report =
        RunWithReport(BuiltInMixture(), SoaveRedlichKwong, rest.bubble, dewTable, rest.interp, rest.chart, counters);
    EXPECT_EQ(report.outcome, RunOutcome::Completed);
    // The silent end is in the report, with the fault's kind and reason.
    EXPECT_EQ(report.dew.end, StageEnd::Fault);
    EXPECT_EQ(report.dew.fault, FaultKind::Index);
    EXPECT_EQ(report.dew.reason, "injected");
    EXPECT_EQ(report.dew.rows, 7);
    EXPECT_EQ(report.bubble.end, run_->report.bubble.end);
    ASSERT_EQ(dewTable.table.rowCount(), 9);
    EXPECT_EQ(rest.chart.series(1).points.size(), 7u);
    EXPECT_EQ(rest.bubble.rows(), bubble().rows());
    EXPECT_EQ(rest.interp.readCell(1, 1), bubble().readCell(LastRow(bubble()), 1));
    EXPECT_EQ(Number(rest.interp, 21, 2), Number(dewTable.table, 8, 2));
}

TEST_F(RunFailure, TooFewRowsForTheKnotsFailTheSplineStageOnly)
{
    // Bubble rows 1 to 3: the knots would reach the heading row. The dew march
    // still runs; the interpolation table keeps its earlier rows.
    FaultingTable shortBubble(5);
    Results rest;
    rest.interp = Prefilled("old");
    SolverCounters counters;
    const RunReport report =
        RunWithReport(BuiltInMixture(), SoaveRedlichKwong, shortBubble, rest.dew, rest.interp, rest.chart, counters);
    EXPECT_EQ(report.outcome, RunOutcome::SplineStageFailed);
    EXPECT_EQ(report.spline.fault, FaultKind::TooFewPoints);
    EXPECT_EQ(report.FailureReason(), "spline: too few table rows for the spline knots (too few points)");
    EXPECT_EQ(report.dew.rows, run_->report.dew.rows);
    EXPECT_EQ(shortBubble.table.rowCount(), 4);
    EXPECT_EQ(rest.dew.rows(), dew().rows());
    EXPECT_EQ(rest.interp.rows(), Prefilled("old").rows());
    EXPECT_TRUE(rest.chart.series(2).points.empty());

    // Rows 1 to 5 are just enough, the start row included.
    FaultingTable fiveRows(7);
    Results enough;
    EXPECT_EQ(envelope::Run(BuiltInMixture(), fiveRows, enough.dew, enough.interp, enough.chart), RunOutcome::Completed);
    EXPECT_EQ(enough.interp.readCell(1, 1), fiveRows.table.readCell(5, 1));

    // The dew table needs six rows.
    FaultingTable fiveDewRows(7), sixDewRows(8);
    Results a, b;
    EXPECT_EQ(envelope::Run(BuiltInMixture(), a.bubble, fiveDewRows, a.interp, a.chart), RunOutcome::SplineStageFailed);
    EXPECT_EQ(envelope::Run(BuiltInMixture(), b.bubble, sixDewRows, b.interp, b.chart), RunOutcome::Completed);
}

TEST_F(RunFailure, AFaultInTheInterpolationKeepsTheRowsWrittenBeforeIt)
{
    FaultingChart chart(2, 6);
    Results rest;
    EXPECT_EQ(envelope::Run(BuiltInMixture(), rest.bubble, rest.dew, rest.interp, chart), RunOutcome::SplineStageFailed);
    EXPECT_EQ(rest.interp.rowCount(), 6);
    EXPECT_EQ(chart.chart.series(2).points.size(), 5u);
    for (int r = 1; r <= 5; ++r)
        EXPECT_EQ(rest.interp.rows()[r], interp().rows()[r]);
    EXPECT_EQ(chart.chart.series(0).points, points(0));
}

TEST(MixtureRun, AMixtureWhoseStartFailsReportsTheSearchAndTheFault)
{
    // Hydrogen and helium: the dew search at 2 bar finds no temperature at
    // which the feed is all liquid.
    const Mixture light = test::HydrogenHelium();
    const MemoryRun run = RunInMemory(light);
    EXPECT_EQ(run.outcome, RunOutcome::StartPhaseFailed);
    EXPECT_EQ(run.report.start.end, StageEnd::Fault);
    EXPECT_EQ(run.report.start.fault, FaultKind::NoBracket);
    EXPECT_EQ(run.report.start.reason, "dew point: no all-liquid temperature found below the start guess");
    EXPECT_EQ(run.report.FailureReason(),
              "start points: dew point: no all-liquid temperature found below the start guess (no bracket)");
    EXPECT_EQ(run.report.start.rows, 1);
    for (const StageReport* later : {&run.report.bubble, &run.report.dew, &run.report.spline})
        EXPECT_EQ(later->end, StageEnd::NotRun);
    // The dew table's row 1 stays empty.
    EXPECT_EQ(run.dewTable.rowCount(), 2);
    EXPECT_EQ(run.dewTable.readCell(1, 1), "");
}

TEST(MixtureRun, ABinaryMixtureTracesItsEnvelope)
{
    // The built-in mixture without its lightest component.
    Mixture binary = BuiltInMixture();
    for (auto* list : {&binary.criticalTemperature, &binary.criticalPressure, &binary.acentricFactor})
        list->erase(list->begin());
    binary.feed = {0.3, 0.7};

    Results run;
    EXPECT_EQ(envelope::Run(binary, run.bubble, run.dew, run.interp, run.chart), RunOutcome::Completed);
    const std::vector<ChartPoint>& bubblePoints = run.chart.series(0).points;
    const std::vector<ChartPoint>& dewPoints = run.chart.series(1).points;
    ASSERT_GE(bubblePoints.size(), 4u);
    ASSERT_GE(dewPoints.size(), 5u);
    EXPECT_EQ(run.interp.rowCount(), 22);
    for (const ChartPoint& p : bubblePoints) {
        EXPECT_EQ(FlashV(binary, p.x, p.y * 1.01), 0.0) << p.x;
        EXPECT_GT(FlashV(binary, p.x, p.y * 0.99), 0.0) << p.x;
    }
    for (const ChartPoint& p : dewPoints) {
        EXPECT_EQ(FlashV(binary, p.x, p.y * 0.99), 1.0) << p.x;
        EXPECT_LT(FlashV(binary, p.x, p.y * 1.01), 1.0) << p.x;
    }
}

} // namespace
} // namespace envelope
