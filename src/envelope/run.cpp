#include "envelope/run.h"

#include <exception>
#include <string>

#include "envelope/march.h"
#include "envelope/run_workspace.h"
#include "envelope/spline_stage.h"
#include "envelope/text_format.h"
#include "envelope/two_threads.h"
#include "equilibrium/saturation_temperature.h"
#include "thermo/numerical_fault.h"

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

// The dew search reports a point it could not find as 0 K. A temperature that
// is not above absolute zero is no start point, and a march from it would
// trace nothing real: it fails the start phase like a numerical fault.
void RequireStartPoint(double temperature)
{
    if (!(temperature > 0))
        RaiseNumericalFault("start point not found");
}

// Titles the series and writes row 1 of both tables from the start points at
// 2 bar. Row 1 takes no chart point and sets no row count.
StartPoints FindStartPoints(RunWorkspace& run, Table& bubbleTable, Table& dewTable, Chart& chart)
{
    for (int series = 0; series < Chart::SeriesCount; ++series)
        chart.setSeriesTitle(series, At(SeriesTitles, series));

    // The two start searches are independent of each other and run at once;
    // their rows are written afterwards, in their order, and a fault in the
    // bubble search ends the run before the dew search's row as it always has.
    StartPoints start;
    std::exception_ptr bubbleError;
    std::exception_ptr dewError;
    BothAtOnce(
        [&] {
            try {
                BubbleTemperature(run.mixture, run.feed, StartPressure, run.vapour, start.bubbleTemperature,
                                  StartBandWidth, run.solver);
            } catch (...) {
                bubbleError = std::current_exception();
            }
        },
        [&] {
            try {
                DewTemperature(run.mixture, run.feed, StartPressure, run.liquid, start.dewTemperature, StartBandWidth,
                               run.helperSolver);
            } catch (...) {
                dewError = std::current_exception();
            }
        });

    if (bubbleError)
        std::rethrow_exception(bubbleError);
    RequireStartPoint(start.bubbleTemperature);
    WriteResultRow(bubbleTable, 1, start.bubbleTemperature, FormatShortest(StartPressure));

    if (dewError)
        std::rethrow_exception(dewError);
    RequireStartPoint(start.dewTemperature);
    WriteResultRow(dewTable, 1, start.dewTemperature, FormatShortest(StartPressure));
    return start;
}

// The run's stages in order, over the workspace the caller made.
RunOutcome RunStages(RunWorkspace& run, Table& bubbleTable, Table& dewTable, Table& interpolationTable, Chart& chart)
{
    StartPoints start;
    try {
        start = FindStartPoints(run, bubbleTable, dewTable, chart);
    } catch (const NumericalFault&) {
        return RunOutcome::StartPhaseFailed;
    }

    const std::int16_t rb = BubbleMarch(run, start.bubbleTemperature, bubbleTable, chart);

    // The bubble knots are read before the dew march starts. When they cannot
    // be gathered the dew march still fills its table and series, and the rest
    // of the spline stage is skipped.
    bool bubbleKnotsGathered = true;
    try {
        GatherBubbleKnots(run, bubbleTable, rb);
    } catch (const NumericalFault&) {
        bubbleKnotsGathered = false;
    }

    const std::int16_t rd = DewMarch(run, start.dewTemperature, dewTable, chart);
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
