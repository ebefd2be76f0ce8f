#include "envelope/march.h"

#include <array>
#include <deque>
#include <exception>
#include <vector>

#include "envelope/text_format.h"
#include "envelope/two_threads.h"
#include "equilibrium/flash.h"
#include "equilibrium/quality_line.h"
#include "equilibrium/saturation_pressure.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

// The bubble table keeps the pressure as its "00#.###" text read back, so the
// leading zeros disappear while the rounding stays.
std::string BubblePressureText(double P)
{
    return FormatShortest(ReadLeadingNumber(FormatThreeDecimalsPadded(P)));
}

// A bubble step that its check flash accepted.
struct AcceptedStep {
    double T; // K
    double P; // bar, the bubble pressure
};

// The constant vapour-fraction pressures of one accepted step, in the order of
// FractionLines, as far as the searches got.
struct FractionPressures {
    std::array<double, FractionLines.size()> P{};
    std::size_t found = 0;    // searches that returned
    std::exception_ptr error; // what the next search raised, if it did
};

// The constant vapour-fraction searches of one step, one after another, until
// one raises an error. They share nothing with the march or with each other:
// each search's pressure depends only on the step's temperature and bubble
// pressure, its target and the feed, and the liquid and vapour compositions it
// is handed are written by every flash before they are read (their contents
// on entry never reach a result). Never throws.
FractionPressures FindFractionPressures(const RunWorkspace& run, const AcceptedStep& step, SolverWorkspace& solver)
{
    FractionPressures result;
    try {
        CompositionVector liquid(run.feed.size(), 0.0);
        CompositionVector vapour(run.feed.size(), 0.0);
        for (const FractionLine& line : FractionLines) {
            double Pq = step.P;
            QualityLinePressure(run.mixture, step.T, line.target, run.feed, liquid, vapour, Pq, solver);
            result.P[result.found++] = Pq;
        }
    } catch (...) {
        result.error = std::current_exception();
    }
    return result;
}

// Writes one accepted step after r has been advanced, as the march always has:
// the constant vapour-fraction points, then row r of the table and the bubble
// point. A search that raised an error raises it here, after the points of the
// searches before it, where it would have arisen had the search run here.
void WriteBubbleStep(std::int16_t r, const AcceptedStep& step, const FractionPressures& fractions, Table& table,
                     Chart& chart)
{
    for (std::size_t k = 0; k < fractions.found; ++k)
        // 0 means that no pressure gives this fraction here: no point.
        if (fractions.P[k] != 0)
            AddChartPoint(chart, FractionLines[k].series, step.T, fractions.P[k]);
    if (fractions.error)
        std::rethrow_exception(fractions.error);

    table.setRowCount(Count16(r + 1));
    WriteResultRow(table, r, step.T, BubblePressureText(step.P));
    AddChartPoint(chart, BubbleSeries, step.T, step.P);
}

// One dew step after r has been advanced; false when the step ends the march.
bool TakeDewStep(RunWorkspace& run, std::int16_t r, double T, double& P, Table& table, Chart& chart)
{
    // The dew search starts from its own Wilson estimate: the P passed in is
    // not used, and P is produced afresh.
    DewPressure(run.mixture, run.feed, T, run.liquid, P, MarchTolerance, run.solver);
    // The check flash runs before the tests, also when P is 0.
    IsothermalFlash(run.mixture, run.feed, T, P, run.vapour, run.liquid, run.V, MarchTolerance, CheckFlashPasses,
                    run.solver);
    if (P == 0 || run.V < DewCheckLimit)
        return false;

    table.setRowCount(Count16(r + 1));
    WriteResultRow(table, r, T, FormatThreeDecimalsPadded(P));
    AddChartPoint(chart, DewSeries, T, P);
    return true;
}

// Advances r and the temperature by one step at a time until takeStep
// rejects a step. A numerical fault in a step ends the march as its test
// would, without a message: earlier rows stay, and so do points that the
// failing step had already added. Returns r as it stood at the end.
template <class StepFunction>
std::int16_t March(double startTemperature, double step, StepFunction takeStep)
{
    std::int16_t r = 1;
    double T = startTemperature;
    try {
        do {
            Increment16(r);
            // Repeated addition: row k stands at the start plus (k - 1) steps.
            T = Finite(T + step);
        } while (takeStep(r, T));
    } catch (const NumericalFault&) {
    }
    return r;
}

} // namespace

std::int16_t BubbleMarch(RunWorkspace& run, double startTemperature, Table& table, Chart& chart)
{
    // The constant vapour-fraction searches are most of the run's work: a
    // second thread takes up the searches of each step the march accepts while
    // the march goes on, and this thread joins in when the march has ended.
    TwoThreadWork<AcceptedStep, FractionPressures> fractionSearches(
        [&run](const AcceptedStep& step, int lane) {
            return FindFractionPressures(run, step, lane == 0 ? run.solver : run.helperSolver);
        });

    // The march proper: the bubble pressure of each step starts from the one
    // before, and its check flash decides whether the march goes on.
    std::vector<AcceptedStep> steps;
    double P = StartPressure;
    const std::int16_t rEnd = March(startTemperature, BubbleStep, [&](std::int16_t, double T) {
        // P enters holding the previous bubble pressure: the start of the search.
        BubblePressure(run.mixture, run.feed, T, run.vapour, P, MarchTolerance, run.solver);
        IsothermalFlash(run.mixture, run.feed, T, P, run.vapour, run.liquid, run.V, MarchTolerance, CheckFlashPasses,
                        run.solver);
        if (run.V > BubbleCheckLimit)
            return false;
        steps.push_back({T, P});
        fractionSearches.Add(steps.back());
        return true;
    });
    const std::deque<FractionPressures> fractions = fractionSearches.Finish();

    // Every result is written afterwards, step by step in the march's order.
    // An error ends the march at the step where it arose, with what that step
    // had written before it; the steps after it were searched for nothing.
    std::int16_t r = 1;
    try {
        for (std::size_t k = 0; k < steps.size(); ++k) {
            Increment16(r);
            WriteBubbleStep(r, steps[k], fractions[k], table, chart);
        }
    } catch (const NumericalFault&) {
        return r;
    }
    return rEnd;
}

std::int16_t DewMarch(RunWorkspace& run, double startTemperature, Table& table, Chart& chart)
{
    double P = StartPressure;
    return March(startTemperature, DewStep,
                 [&](std::int16_t r, double T) { return TakeDewStep(run, r, T, P, table, chart); });
}

} // namespace envelope
