// The run over in-memory tables and chart: every row and point is checked
// against the physics (flashes of the feed) and the writing rules, not against
// a stored copy of the output.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <exception>
#include <string>
#include <utility>
#include <vector>

#include "envelope/case.h"
#include "envelope/march.h"
#include "envelope/memory_chart.h"
#include "envelope/memory_run.h"
#include "envelope/memory_table.h"
#include "envelope/run.h"
#include "envelope/run_workspace.h"
#include "envelope/text_format.h"
#include "envelope/write_result.h"
#include "equilibrium/flash.h"
#include "equilibrium/saturation_pressure.h"
#include "equilibrium/saturation_temperature.h"
#include "thermo/composition.h"
#include "thermo/numerical_fault.h"

#include "test_mixtures.h"

namespace envelope {
namespace {

// A run's result written onto tables and a chart of the test's own.
struct Results {
    MemoryTable bubble, dew, interp;
    MemoryChart chart;
    RunResult result;
    RunOutcome outcome = RunOutcome::Completed;
    RunReport report;
    RunOutcome run(const Mixture& mixture = BuiltInMixture())
    {
        result = Run(mixture);
        WriteRunResult(result, bubble, dew, interp, chart);
        report = result.report;
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
    const RunReport other = envelope::Run(named).report;
    ASSERT_EQ(other.start.end, StageEnd::Done);
    EXPECT_EQ(FlashV(named, other.bubbleStartTemperature - 0.5, 2.0), 0.0);
    EXPECT_GT(FlashV(named, other.bubbleStartTemperature + 0.5, 2.0), 0.0);
    EXPECT_EQ(FlashV(named, other.dewStartTemperature + 0.5, 2.0), 1.0);
    EXPECT_LT(FlashV(named, other.dewStartTemperature - 0.5, 2.0), 1.0);
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
// The result as the tables show it, and as the adapters write it.

TEST_F(CompletedRun, EveryRowReadsBackAsItsTableRoundsItAndTheSplineStartsThere)
{
    const RunResult& result = run_->result;
    const std::pair<const ResultTable*, const MemoryTable*> tables[] = {
        {&result.bubble, &bubble()}, {&result.dew, &dew()}, {&result.interpolation, &interp()}};
    for (const auto& [rows, table] : tables) {
        ASSERT_EQ(static_cast<int>(rows->rows.size()), LastRow(*table));
        for (std::size_t k = 0; k < rows->rows.size(); ++k) {
            const ResultRow& row = rows->rows[k];
            EXPECT_EQ(table->rows()[k + 1], row.cells) << k;
            EXPECT_EQ(row.cells[0], std::to_string(k + 1));
            const ShownPoint shown = ReadBack(row);
            EXPECT_NEAR(shown.temperature, row.temperature, 0.0005 + 1e-9) << k;
            EXPECT_NEAR(shown.pressure, row.pressure, 0.0005 + 1e-9) << k;
        }
    }
    // The spline passes through the last bubble and dew rows as read back:
    // its first row is the last bubble row's rounded point, to the last bit.
    const ShownPoint lastBubble = ReadBack(result.bubble.rows.back());
    const ShownPoint lastDew = ReadBack(result.dew.rows.back());
    EXPECT_EQ(result.interpolation.rows.front().temperature, lastBubble.temperature);
    EXPECT_EQ(result.interpolation.rows.front().pressure, lastBubble.pressure);
    EXPECT_NEAR(result.interpolation.rows.back().pressure, lastDew.pressure, 1e-12);
    EXPECT_NE(lastBubble.pressure, result.bubble.rows.back().pressure);
}

MemoryTable Prefilled(const std::string& marker)
{
    MemoryTable table;
    table.setRowCount(4);
    for (int r = 1; r < 4; ++r)
        table.writeCell(r, 2, marker);
    return table;
}

ResultRow Row(int r)
{
    const std::string text = std::to_string(r);
    return {0.0, 0.0, {text, "T" + text, "P" + text}};
}

TEST(WriteRows, OnlyRowsAfterAStartRowSetTheRowCount)
{
    // A start row alone is written into the table as it stands: an earlier
    // run's rows from row 2 on stay.
    MemoryTable table = Prefilled("old");
    WriteRows({{Row(1)}, true}, table);
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.rows()[1], Row(1).cells);
    EXPECT_EQ(table.rows()[3], Prefilled("old").rows()[3]);
    // A row after it drops the rows beyond it.
    WriteRows({{Row(1), Row(2)}, true}, table);
    EXPECT_EQ(table.rowCount(), 3);
    EXPECT_EQ(table.rows()[2], Row(2).cells);
    // Without a start row, row 1 sets the row count too.
    MemoryTable interpolation = Prefilled("old");
    WriteRows({{Row(1)}, false}, interpolation);
    EXPECT_EQ(interpolation.rowCount(), 2);
    // No rows: the table keeps what it holds.
    WriteRows({{}, false}, interpolation);
    EXPECT_EQ(interpolation.rows(), (std::vector<MemoryTable::Row>{{}, Row(1).cells}));
}

TEST(WriteRunResult, AFailedStartChangesOnlyTheBubbleStartRowAndTheTitles)
{
    // Hydrogen and helium: the dew start point is not found, after the
    // bubble start point was. Written over an earlier run's tables and chart.
    const RunResult failed = envelope::Run(test::HydrogenHelium());
    ASSERT_EQ(failed.report.outcome, RunOutcome::StartPhaseFailed);
    MemoryTable bubble = Prefilled("old"), dew = Prefilled("old"), interp = Prefilled("old");
    MemoryChart chart;
    chart.addPoint(BubbleSeries, 300.0, 1.0, "", 0);
    WriteRunResult(failed, bubble, dew, interp, chart);
    EXPECT_EQ(bubble.rowCount(), 4);
    EXPECT_EQ(bubble.rows()[1], failed.bubble.rows.front().cells);
    EXPECT_EQ(bubble.rows()[2], Prefilled("old").rows()[2]);
    EXPECT_EQ(dew.rows(), Prefilled("old").rows());
    EXPECT_EQ(interp.rows(), Prefilled("old").rows());
    EXPECT_EQ(chart.series(BubbleSeries).points.size(), 1u);
    EXPECT_EQ(chart.series(Fraction05Series).title, "VF=0.5");
}

// ---------------------------------------------------------------------------
// Failures in the marches and the spline stage. The run's faults come from its
// searches, so the marches the completed run traced are rebuilt from its
// result, changed where a fault or an earlier end is wanted, and written
// again after its start rows, as the run writes them.

const Mixture& TheBuiltInMixture()
{
    static const Mixture mixture = BuiltInMixture();
    return mixture;
}

// A march's steps: the points of its series, in order.
std::vector<MarchStep> StepsOf(const RunResult& result, Series series)
{
    std::vector<MarchStep> steps;
    for (const ResultPoint& p : result.points)
        if (p.series == series)
            steps.push_back({p.temperature, p.pressure});
    return steps;
}

BubbleMarch TracedBubbleMarch(const RunResult& result)
{
    BubbleMarch march;
    march.steps = StepsOf(result, BubbleSeries);
    for (const MarchStep& step : march.steps) {
        // 0 where a line has no point at the step.
        FractionPressures searched;
        searched.found = FractionLines.size();
        for (std::size_t k = 0; k < FractionLines.size(); ++k)
            for (const ResultPoint& p : result.points)
                if (p.series == FractionLines[k].series && p.temperature == step.T)
                    searched.P[k] = p.pressure;
        march.fractions.push_back(searched);
    }
    march.rEnd = static_cast<std::int16_t>(march.steps.size() + 2);
    march.end = result.report.bubble;
    return march;
}

DewMarch TracedDewMarch(const RunResult& result)
{
    DewMarch march;
    march.steps = StepsOf(result, DewSeries);
    march.rEnd = static_cast<std::int16_t>(march.steps.size() + 2);
    march.end = result.report.dew;
    return march;
}

template <class March>
March FirstSteps(March march, std::size_t steps)
{
    march.steps.resize(steps);
    if constexpr (requires { march.fractions; })
        march.fractions.resize(steps);
    march.rEnd = static_cast<std::int16_t>(steps + 2);
    return march;
}

RunResult WriteAgain(const RunResult& run, const BubbleMarch& bubble, const DewMarch& dew)
{
    RunResult again;
    again.bubble.rows = {run.bubble.rows.front()};
    again.dew.rows = {run.dew.rows.front()};
    again.report.start = run.report.start;
    again.report.bubbleStartTemperature = run.report.bubbleStartTemperature;
    again.report.dewStartTemperature = run.report.dewStartTemperature;
    RunWorkspace workspace(TheBuiltInMixture(), SoaveRedlichKwong);
    WriteMarchesAndSpline(workspace, bubble, dew, again);
    return again;
}

using RunFailure = CompletedRun;

TEST_F(RunFailure, TheRebuiltMarchesGiveTheRunsResult)
{
    const RunResult& run = run_->result;
    const RunResult again = WriteAgain(run, TracedBubbleMarch(run), TracedDewMarch(run));
    EXPECT_EQ(again.bubble, run.bubble);
    EXPECT_EQ(again.dew, run.dew);
    EXPECT_EQ(again.interpolation, run.interpolation);
    EXPECT_EQ(again.points, run.points);
    EXPECT_EQ(again.report.outcome, RunOutcome::Completed);
    EXPECT_EQ(again.report.Details(), run.report.Details());
}

TEST_F(RunFailure, AFaultInAConstantFractionSearchEndsTheBubbleMarchInsideItsStep)
{
    // The 0.3 search of the ninth step fails: the step keeps its 0.05 point
    // and loses the rest, every earlier step is complete, and the run goes
    // on with the rows that stand.
    const RunResult& run = run_->result;
    BubbleMarch bubble = TracedBubbleMarch(run);
    FractionPressures& failing = bubble.fractions[8];
    ASSERT_NE(failing.P[0], 0.0);
    failing.found = 1;
    failing.error = std::make_exception_ptr(NumericalFault(FaultKind::NotConverged, "injected"));
    const double T = bubble.steps[8].T;
    const RunResult again = WriteAgain(run, bubble, TracedDewMarch(run));

    EXPECT_EQ(again.report.outcome, RunOutcome::Completed);
    EXPECT_EQ(again.report.bubble.end, StageEnd::Fault);
    EXPECT_EQ(again.report.bubble.reason, "injected");
    EXPECT_EQ(again.report.bubble.rows, 8);
    EXPECT_EQ(again.report.bubble.temperature, T);
    ASSERT_EQ(again.bubble.rows.size(), 9u);
    EXPECT_TRUE(std::equal(again.bubble.rows.begin(), again.bubble.rows.end(), run.bubble.rows.begin()));
    EXPECT_EQ(again.dew, run.dew);
    // The run's points up to the failing step, then its 0.05 point.
    const auto failingStep = std::find_if(run.points.begin(), run.points.end(),
                                          [T](const ResultPoint& p) { return p.temperature == T; });
    const std::vector<ResultPoint> before(run.points.begin(), failingStep);
    ASSERT_GE(again.points.size(), before.size() + 1);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), again.points.begin()));
    EXPECT_EQ(again.points[before.size()], *failingStep);
    EXPECT_EQ(failingStep->series, Fraction005Series);
    EXPECT_EQ(std::count_if(again.points.begin(), again.points.end(),
                            [T](const ResultPoint& p) { return p.temperature == T; }),
              1);
    // The spline starts from the last bubble row that stands.
    EXPECT_EQ(again.interpolation.rows.front().cells[1], again.bubble.rows.back().cells[1]);

    // Written over the completed run's tables and chart, as a second run of
    // the same mixture: the bubble rows of the later steps are dropped, the
    // dew rows rewritten, and every point is added once more.
    Results shown;
    shown.run();
    WriteRunResult(again, shown.bubble, shown.dew, shown.interp, shown.chart);
    EXPECT_EQ(shown.bubble.rowCount(), 10);
    EXPECT_EQ(shown.dew.rows(), dew().rows());
    for (int s = 0; s < Chart::SeriesCount; ++s)
        EXPECT_EQ(shown.chart.series(s).points.size(),
                  points(s).size() + static_cast<std::size_t>(std::count_if(
                                         again.points.begin(), again.points.end(),
                                         [s](const ResultPoint& p) { return p.series == s; })))
            << s;
}

TEST_F(RunFailure, TooFewRowsForTheKnotsFailTheSplineStageOnly)
{
    // Bubble rows 1 to 4: the knots would reach the heading row. The dew
    // march is still written; the interpolation table keeps its earlier rows.
    const RunResult& run = run_->result;
    const RunResult failed = WriteAgain(run, FirstSteps(TracedBubbleMarch(run), 3), TracedDewMarch(run));
    EXPECT_EQ(failed.report.outcome, RunOutcome::SplineStageFailed);
    EXPECT_EQ(failed.report.spline.fault, FaultKind::TooFewPoints);
    EXPECT_EQ(failed.report.FailureReason(), "spline: too few table rows for the spline knots (too few points)");
    EXPECT_EQ(failed.report.dew.rows, run.report.dew.rows);
    EXPECT_EQ(failed.dew, run.dew);
    EXPECT_TRUE(failed.interpolation.rows.empty());
    MemoryTable interpolation = Prefilled("old");
    WriteRows(failed.interpolation, interpolation);
    EXPECT_EQ(interpolation.rows(), Prefilled("old").rows());

    // Rows 1 to 5 are just enough, the start row included.
    const RunResult enough = WriteAgain(run, FirstSteps(TracedBubbleMarch(run), 4), TracedDewMarch(run));
    EXPECT_EQ(enough.report.outcome, RunOutcome::Completed);
    EXPECT_EQ(enough.interpolation.rows.front().cells[1], enough.bubble.rows[4].cells[1]);

    // The dew table needs six rows.
    EXPECT_EQ(WriteAgain(run, TracedBubbleMarch(run), FirstSteps(TracedDewMarch(run), 4)).report.outcome,
              RunOutcome::SplineStageFailed);
    EXPECT_EQ(WriteAgain(run, TracedBubbleMarch(run), FirstSteps(TracedDewMarch(run), 5)).report.outcome,
              RunOutcome::Completed);
}

TEST_F(RunFailure, AFaultInTheSplineEndsOnlyItsStage)
{
    // A last dew point at the last bubble row's pressure as read back: two
    // knots at one pressure, which the spline divides by.
    const RunResult& run = run_->result;
    DewMarch dew = TracedDewMarch(run);
    dew.steps.back().P = ReadBack(run.bubble.rows.back()).pressure;
    const RunResult failed = WriteAgain(run, TracedBubbleMarch(run), dew);
    EXPECT_EQ(failed.report.outcome, RunOutcome::SplineStageFailed);
    EXPECT_EQ(failed.report.spline.end, StageEnd::Fault);
    EXPECT_EQ(failed.report.FailureReason(), "spline: non-finite floating-point result (not finite)");
    EXPECT_EQ(failed.report.spline.rows, 0);
    EXPECT_TRUE(failed.interpolation.rows.empty());
    EXPECT_EQ(failed.bubble, run.bubble);
    EXPECT_EQ(failed.dew.rows.size(), run.dew.rows.size());
}

TEST(MixtureRun, AMixtureWhoseStartFailsReportsTheSearchAndTheFault)
{
    // Hydrogen and helium: the dew search at 2 bar finds no temperature at
    // which the feed is all liquid.
    const Mixture light = test::HydrogenHelium();
    const MemoryRun run = RunInMemory(light);
    const RunReport& report = run.result.report;
    EXPECT_EQ(report.outcome, RunOutcome::StartPhaseFailed);
    EXPECT_EQ(report.start.end, StageEnd::Fault);
    EXPECT_EQ(report.start.fault, FaultKind::NoBracket);
    EXPECT_EQ(report.start.reason, "dew point: no all-liquid temperature found below the start guess");
    EXPECT_EQ(report.FailureReason(),
              "start points: dew point: no all-liquid temperature found below the start guess (no bracket)");
    EXPECT_EQ(report.start.rows, 1);
    for (const StageReport* later : {&report.bubble, &report.dew, &report.spline})
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
    EXPECT_EQ(run.run(binary), RunOutcome::Completed);
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
