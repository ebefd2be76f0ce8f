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

ResultRow MakeResultRow(std::int16_t r, double temperatureKelvin, double pressure, std::string pressureText)
{
    std::string temperatureText = FormatThreeDecimals(Finite(temperatureKelvin - KelvinOffset));
    return {temperatureKelvin, pressure, {std::to_string(r), std::move(temperatureText), std::move(pressureText)}};
}

void AddChartPoint(RunResult& result, Series series, double temperatureKelvin, double pressure)
{
    result.points.push_back({series, temperatureKelvin, pressure, std::string(), At(SeriesColours, series)});
}

void WriteMarchesAndSpline(RunWorkspace& run, const BubbleMarch& bubble, const DewMarch& dew, RunResult& result)
{
    RunReport& report = result.report;
    WriteBubbleMarch(bubble, result);

    // The bubble knots are gathered before the dew march is written. When
    // they cannot be gathered the dew march still adds its rows and points,
    // and the rest of the spline stage is skipped.
    try {
        GatherBubbleKnots(run, result.bubble);
    } catch (const NumericalFault& fault) {
        report.spline.EndBy(fault);
    }

    WriteDewMarch(dew, result);
    if (report.spline.end == StageEnd::Fault) {
        report.outcome = RunOutcome::SplineStageFailed;
        return;
    }

    try {
        GatherDewKnots(run, result.dew);
        InterpolateGap(run, result);
    } catch (const NumericalFault& fault) {
        report.spline.EndBy(fault);
        report.outcome = RunOutcome::SplineStageFailed;
        return;
    }
    report.spline.end = StageEnd::Done;
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
// out over this thread and a second one, and everything enters the result
// here afterwards, in the order in which one thread would have found it: row
// 1 of both tables from the start points at 2 bar (no chart point), the
// bubble march, the dew march and the spline. A fault ends whatever stage it
// arises in at the same place as ever, and the report says how each stage
// ended.
void RunStages(RunWorkspace& run, RunResult& result)
{
    RunReport& report = result.report;
    const auto startFailed = [&report](const NumericalFault& fault) {
        report.start.EndBy(fault);
        report.outcome = RunOutcome::StartPhaseFailed;
    };

    ClearUpperVectorState();

    // The dew start point, and the dew march from it, need nothing of the
    // bubble branch: the second thread finds them first, while this thread
    // finds the bubble start point and begins the bubble march, and then
    // takes up its share of the bubble march's constant vapour-fraction
    // searches.
    const StartPoints guesses = StartGuesses(run.mixture);
    double dewTemperature = guesses.dewTemperature;
    std::exception_ptr dewError;
    DewMarch dewMarch;
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
                dewMarch = TraceDewMarch(run, dewTemperature, run.helperSolver);
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
        result.bubble.rows.push_back(
            MakeResultRow(1, bubbleTemperature, StartPressure, FormatShortest(StartPressure)));
        report.start.rows = 1;
    } catch (const NumericalFault& fault) {
        startFailed(fault);
        return;
    }

    const BubbleMarch bubbleMarch = bubbleBranch.Trace(bubbleTemperature);

    try {
        StartSearch("dew point", [&] {
            if (dewError)
                std::rethrow_exception(dewError);
            RequireStartPoint(dewTemperature);
        });
        result.dew.rows.push_back(MakeResultRow(1, dewTemperature, StartPressure, FormatShortest(StartPressure)));
        report.start.rows = 2;
    } catch (const NumericalFault& fault) {
        startFailed(fault);
        return;
    }
    report.start.end = StageEnd::Done;
    report.bubbleStartTemperature = bubbleTemperature;
    report.dewStartTemperature = dewTemperature;

    WriteMarchesAndSpline(run, bubbleMarch, dewMarch, result);
}

} // namespace

RunResult Run(const Mixture& mixture, const CubicModel& model, const RunOptions& options)
{
    RunWorkspace run(mixture, model);
    run.secondThread = options.secondThread;
    if (options.cubicMemo) {
        run.solver.cubicRoots.Enable();
        run.helperSolver.cubicRoots.Enable();
    }
    RunResult result;
    RunStages(run, result);
    result.counters += run.solver.counters;
    result.counters += run.helperSolver.counters;
    return result;
}

} // namespace envelope
