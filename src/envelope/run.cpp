#include "envelope/run.h"

#include <exception>
#include <string>

#include "envelope/case.h"
#include "envelope/march.h"
#include "envelope/run_workspace.h"
#include "envelope/spline_stage.h"
#include "envelope/text_format.h"
#include "equilibrium/saturation_temperature.h"
#include "equilibrium/wilson_start.h"
#include "thermo/numerical_fault.h"
#include "thermo/vector_state.h"

namespace envelope {

void WriteResultRow(Table& table, std::int16_t r, double temperatureKelvin, const std::string& pressureText)
{
    table.writeCell(r, 0, std::to_string(r));
    table.writeCell(r, 1, FormatThreeDecimals(Finite(temperatureKelvin - KelvinOffset)));
    table.writeCell(r, 2, pressureText);
}

void AddChartPoint(Chart& chart, Series series, double temperatureKelvin, double pressure)
{
    chart.addPoint(series, temperatureKelvin, pressure, std::string(), At(SeriesColours, series));
}

namespace {

struct StartPoints {
    double bubbleTemperature = BubbleStartGuess; // K
    double dewTemperature = DewStartGuess;       // K
};

// Where the start searches begin: the built-in case's own guesses for it, and
// Wilson's bubble and dew temperatures at the start pressure for any other
// mixture, so that the searches' bracket walks start near their answers.
StartPoints StartGuesses(const Mixture& mixture)
{
    if (IsBuiltInCase(mixture))
        return {};
    return {WilsonBubbleTemperature(mixture, mixture.feed, StartPressure, BubbleStartGuess),
            WilsonDewTemperature(mixture, mixture.feed, StartPressure, DewStartGuess)};
}

// The dew search reports a point it could not find as 0 K. A temperature that
// is not above absolute zero is no start point, and a march from it would
// trace nothing real: it fails the start phase like a numerical fault.
void RequireStartPoint(double temperature)
{
    if (!(temperature > 0))
        RaiseNumericalFault(FaultKind::NotConverged, "no temperature found within the vapour-fraction band");
}

// Runs one start search, naming it in the reason of a fault it raises.
template <class Search>
void StartSearch(const char* name, Search search)
{
    try {
        search();
    } catch (const NumericalFault& fault) {
        throw NumericalFault(fault.kind(), (std::string(name) + ": " + fault.what()).c_str());
    }
}

// The run's stages, over the workspace the caller made. The work is shared
// out over this thread and a second one, and everything is written here
// afterwards, in the order in which one thread would have found it: the
// series titles, row 1 of both tables from the start points at 2 bar (no
// chart point, no row count), the bubble march, the dew march and the spline.
// A fault ends whatever stage it arises in at the same place as ever, and the
// report says how each stage ended.
RunReport RunStages(RunWorkspace& run, Table& bubbleTable, Table& dewTable, Table& interpolationTable, Chart& chart)
{
    RunReport report;
    const auto startFailed = [&report](const NumericalFault& fault) {
        report.start.EndBy(fault);
        report.outcome = RunOutcome::StartPhaseFailed;
        return report;
    };

    ClearUpperVectorState();
    try {
        for (int series = 0; series < Chart::SeriesCount; ++series)
            chart.setSeriesTitle(series, At(SeriesTitles, series));
    } catch (const NumericalFault& fault) {
        return startFailed(fault);
    }

    // The dew start point, and the dew march from it, need nothing of the
    // bubble branch: the second thread finds them first, while this thread
    // finds the bubble start point and begins the bubble march, and then
    // takes up its share of the bubble march's constant vapour-fraction
    // searches.
    const StartPoints guesses = StartGuesses(run.mixture);
    double dewTemperature = guesses.dewTemperature;
    std::exception_ptr dewError;
    DewBranch dewBranch;
    BubbleBranch bubbleBranch(run, [&] {
        ClearUpperVectorState();
        try {
            // The incipient liquid is written by the search before it is
            // read; this one is the search's own, apart from the bubble
            // march's compositions.
            CompositionVector liquid(run.feed.size(), 0.0);
            DewTemperature(run.mixture, run.model, run.feed, StartPressure, liquid, dewTemperature, StartBandWidth,
                           run.helperSolver);
            if (dewTemperature > 0)
                dewBranch = TraceDewBranch(run, dewTemperature, run.helperSolver);
        } catch (...) {
            dewError = std::current_exception();
        }
    });

    double bubbleTemperature = guesses.bubbleTemperature;
    try {
        StartSearch("bubble point", [&] {
            BubbleTemperature(run.mixture, run.model, run.feed, StartPressure, run.vapour, bubbleTemperature,
                              StartBandWidth, run.solver);
            RequireStartPoint(bubbleTemperature);
        });
        WriteResultRow(bubbleTable, 1, bubbleTemperature, FormatShortest(StartPressure));
        report.start.rows = 1;
    } catch (const NumericalFault& fault) {
        return startFailed(fault);
    }

    bubbleBranch.Trace(bubbleTemperature);

    try {
        StartSearch("dew point", [&] {
            if (dewError)
                std::rethrow_exception(dewError);
            RequireStartPoint(dewTemperature);
        });
        WriteResultRow(dewTable, 1, dewTemperature, FormatShortest(StartPressure));
        report.start.rows = 2;
    } catch (const NumericalFault& fault) {
        return startFailed(fault);
    }
    report.start.end = StageEnd::Done;
    report.bubbleStartTemperature = bubbleTemperature;
    report.dewStartTemperature = dewTemperature;

    const std::int16_t rb = bubbleBranch.Write(bubbleTable, chart, report.bubble);

    // The bubble knots are read before the dew march is written. When they
    // cannot be gathered the dew march still fills its table and series, and
    // the rest of the spline stage is skipped.
    try {
        GatherBubbleKnots(run, bubbleTable, rb);
    } catch (const NumericalFault& fault) {
        report.spline.EndBy(fault);
    }

    const std::int16_t rd = WriteDewBranch(dewBranch, dewTable, chart, report.dew);
    if (report.spline.end == StageEnd::Fault) {
        report.outcome = RunOutcome::SplineStageFailed;
        return report;
    }

    try {
        GatherDewKnots(run, dewTable, rd);
        InterpolateGap(run, interpolationTable, chart, report.spline.rows);
    } catch (const NumericalFault& fault) {
        report.spline.EndBy(fault);
        report.outcome = RunOutcome::SplineStageFailed;
        return report;
    }
    report.spline.end = StageEnd::Done;
    return report;
}

} // namespace

RunOutcome Run(const Mixture& mixture, Table& bubbleTable, Table& dewTable, Table& interpolationTable, Chart& chart)
{
    SolverCounters counters;
    return Run(mixture, bubbleTable, dewTable, interpolationTable, chart, counters);
}

RunOutcome Run(const Mixture& mixture, Table& bubbleTable, Table& dewTable, Table& interpolationTable, Chart& chart,
               SolverCounters& counters)
{
    return RunWithReport(mixture, SoaveRedlichKwong, bubbleTable, dewTable, interpolationTable, chart,
                         counters).outcome;
}

RunReport RunWithReport(const Mixture& mixture, const CubicModel& model, Table& bubbleTable, Table& dewTable,
                        Table& interpolationTable, Chart& chart, SolverCounters& counters)
{
    RunWorkspace run(mixture, model);
    run.solver.cubicRoots.Enable();
    run.helperSolver.cubicRoots.Enable();
    RunReport report = RunStages(run, bubbleTable, dewTable, interpolationTable, chart);
    counters += run.solver.counters;
    counters += run.helperSolver.counters;
    return report;
}

} // namespace envelope
