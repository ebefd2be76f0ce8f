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

// The dew search reports a point it could not find as 0 K. A temperature that
// is not above absolute zero is no start point, and a march from it would
// trace nothing real: it fails the start phase like a numerical fault.
void RequireStartPoint(double temperature)
{
    if (!(temperature > 0))
        RaiseNumericalFault("start point not found");
}

// The run's stages, over the workspace the caller made. The work is shared
// out over this thread and a second one, and everything is written here
// afterwards, in the order in which one thread would have found it: the
// series titles, row 1 of both tables from the start points at 2 bar (no
// chart point, no row count), the bubble march, the dew march and the spline.
// A fault ends whatever stage it arises in at the same place as ever.
RunOutcome RunStages(RunWorkspace& run, Table& bubbleTable, Table& dewTable, Table& interpolationTable, Chart& chart)
{
    ClearUpperVectorState();
    try {
        for (int series = 0; series < Chart::SeriesCount; ++series)
            chart.setSeriesTitle(series, At(SeriesTitles, series));
    } catch (const NumericalFault&) {
        return RunOutcome::StartPhaseFailed;
    }

    // The dew start point, and the dew march from it, need nothing of the
    // bubble branch: the second thread finds them first, while this thread
    // finds the bubble start point and begins the bubble march, and then
    // takes up its share of the bubble march's constant vapour-fraction
    // searches.
    // The built-in case keeps its own start guesses; any other mixture starts
    // its bracket walks from Wilson's bubble and dew temperatures at 2 bar.
    const bool builtIn = run.mixture == BuiltInMixture();
    double dewTemperature =
        builtIn ? DewStartGuess : WilsonDewTemperature(run.mixture, run.feed, StartPressure, DewStartGuess);
    std::exception_ptr dewError;
    DewBranch dewBranch;
    BubbleBranch bubbleBranch(run, [&] {
        ClearUpperVectorState();
        try {
            // The incipient liquid is written by the search before it is
            // read; this one is the search's own, apart from the bubble
            // march's compositions.
            CompositionVector liquid(run.feed.size(), 0.0);
            DewTemperature(run.mixture, run.feed, StartPressure, liquid, dewTemperature, StartBandWidth,
                           run.helperSolver);
            if (dewTemperature > 0)
                dewBranch = TraceDewBranch(run, dewTemperature, run.helperSolver);
        } catch (...) {
            dewError = std::current_exception();
        }
    });

    double bubbleTemperature =
        builtIn ? BubbleStartGuess : WilsonBubbleTemperature(run.mixture, run.feed, StartPressure, BubbleStartGuess);
    try {
        BubbleTemperature(run.mixture, run.feed, StartPressure, run.vapour, bubbleTemperature, StartBandWidth,
                          run.solver);
        RequireStartPoint(bubbleTemperature);
        WriteResultRow(bubbleTable, 1, bubbleTemperature, FormatShortest(StartPressure));
    } catch (const NumericalFault&) {
        return RunOutcome::StartPhaseFailed;
    }

    bubbleBranch.Trace(bubbleTemperature);

    try {
        if (dewError)
            std::rethrow_exception(dewError);
        RequireStartPoint(dewTemperature);
        WriteResultRow(dewTable, 1, dewTemperature, FormatShortest(StartPressure));
    } catch (const NumericalFault&) {
        return RunOutcome::StartPhaseFailed;
    }

    const std::int16_t rb = bubbleBranch.Write(bubbleTable, chart);

    // The bubble knots are read before the dew march is written. When they
    // cannot be gathered the dew march still fills its table and series, and
    // the rest of the spline stage is skipped.
    bool bubbleKnotsGathered = true;
    try {
        GatherBubbleKnots(run, bubbleTable, rb);
    } catch (const NumericalFault&) {
        bubbleKnotsGathered = false;
    }

    const std::int16_t rd = WriteDewBranch(dewBranch, dewTable, chart);
    if (!bubbleKnotsGathered)
        return RunOutcome::SplineStageFailed;

    try {
        GatherDewKnots(run, dewTable, rd);
        InterpolateGap(run, interpolationTable, chart);
    } catch (const NumericalFault&) {
        return RunOutcome::SplineStageFailed;
    }
    return RunOutcome::Completed;
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
    RunWorkspace run(mixture);
    run.solver.cubicRoots.Enable();
    run.helperSolver.cubicRoots.Enable();
    const RunOutcome outcome = RunStages(run, bubbleTable, dewTable, interpolationTable, chart);
    counters += run.solver.counters;
    counters += run.helperSolver.counters;
    return outcome;
}

} // namespace envelope
