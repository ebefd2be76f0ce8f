#include "envelope/march.h"

#include "envelope/text_format.h"
#include "equilibrium/flash.h"
#include "equilibrium/quality_line.h"
#include "equilibrium/saturation_pressure.h"
#include "thermo/numerical_fault.h"
#include "thermo/vector_state.h"

namespace envelope {

namespace {

// The bubble table keeps the pressure as its "00#.###" text read back, so the
// leading zeros disappear while the rounding stays.
std::string BubblePressureText(double P)
{
    return FormatShortest(ReadLeadingNumber(FormatThreeDecimalsPadded(P)));
}

// The constant vapour-fraction searches of one step, one after another, until
// one raises an error. They share nothing with the march or with each other:
// each search's pressure depends only on the step's temperature and bubble
// pressure, its target and the feed, and the liquid and vapour compositions it
// is handed are written by every flash before they are read (their contents
// on entry never reach a result). Never throws.
FractionPressures FindFractionPressures(const RunWorkspace& run, const MarchStep& step, SolverWorkspace& solver)
{
    FractionPressures result;
    try {
        CompositionVector liquid(run.feed.size(), 0.0);
        CompositionVector vapour(run.feed.size(), 0.0);
        for (const FractionLine& line : FractionLines) {
            double Pq = step.P;
            QualityLinePressure(run.mixture, run.model, step.T, line.target, run.feed, liquid, vapour, Pq, solver);
            result.P[result.found++] = Pq;
        }
    } catch (...) {
        result.error = std::current_exception();
    }
    return result;
}

// Adds one accepted step after r has been advanced, as the march always has:
// the constant vapour-fraction points, then row r of the bubble table and the
// bubble point. A search that raised an error raises it here, after the points
// of the searches before it, where it would have arisen had the search run
// here.
void WriteBubbleStep(std::int16_t r, const MarchStep& step, const FractionPressures& fractions, RunResult& result)
{
    for (std::size_t k = 0; k < fractions.found; ++k)
        // 0 means that no pressure gives this fraction here: no point.
        if (fractions.P[k] != 0)
            AddChartPoint(result, FractionLines[k].series, step.T, fractions.P[k]);
    if (fractions.error)
        std::rethrow_exception(fractions.error);

    result.bubble.rows.push_back(MakeResultRow(r, step.T, step.P, BubblePressureText(step.P)));
    AddChartPoint(result, BubbleSeries, step.T, step.P);
}

// What a step came to: accepted, or the end of its march with nothing of it
// kept.
enum class Step { Accepted, CheckFlash, NoDewPressure };

// Advances r and the temperature by one step at a time until takeStep
// rejects a step or raises the numerical fault, which ends the march as its
// test would. Returns r as it stood at the end; end takes what ended the
// march, at which temperature, and with the check flash's vapour fraction V.
template <class StepFunction>
std::int16_t March(double startTemperature, double step, const double& V, StageReport& end, StepFunction takeStep)
{
    std::int16_t r = 1;
    double T = startTemperature;
    try {
        Step taken = Step::Accepted;
        do {
            Increment16(r);
            // Repeated addition: row k stands at the start plus (k - 1) steps.
            T = Finite(T + step);
            taken = takeStep(r, T);
        } while (taken == Step::Accepted);
        end.end = taken == Step::CheckFlash ? StageEnd::CheckFlash : StageEnd::NoDewPressure;
        end.vapourFraction = V;
    } catch (const NumericalFault& fault) {
        end.EndBy(fault);
    }
    end.temperature = T;
    return r;
}

// The report of a march whose writing ended at row counter r: the tracing's
// end when every step was written, otherwise the fault of the write, at the
// temperature of the step that raised it.
void ReportWrittenMarch(StageReport& report, const StageReport& traced, std::int16_t r, const MarchStep* failed,
                        const NumericalFault* fault)
{
    report = traced;
    if (failed != nullptr) {
        report.EndBy(*fault);
        report.temperature = failed->T;
    }
    // Rows 2 to r - 1 hold the march's steps.
    report.rows = r - 2;
}

} // namespace

BubbleBranch::BubbleBranch(RunWorkspace& run, std::function<void()> helperFirst)
    : run_(run),
      searches_(
          std::move(helperFirst),
          [&run](const MarchStep& step, int lane) {
              return FindFractionPressures(run, step, lane == 0 ? run.solver : run.helperSolver);
          },
          run.secondThread)
{
}

BubbleMarch BubbleBranch::Trace(double startTemperature)
{
    // Whatever ran on this thread before may have left the vector registers'
    // upper halves in use.
    ClearUpperVectorState();
    // The bubble pressure of each step starts from the one before, and its
    // check flash decides whether the march goes on; the constant
    // vapour-fraction searches, most of the run's work, need only their own
    // step's temperature and pressure and are handed to the second thread.
    BubbleMarch march;
    double P = StartPressure;
    march.rEnd = March(startTemperature, BubbleStep, run_.V, march.end, [&](std::int16_t, double T) {
        // P enters holding the previous bubble pressure: the start of the search.
        BubblePressure(run_.mixture, run_.model, run_.feed, T, run_.vapour, P, MarchTolerance, run_.solver);
        IsothermalFlash(run_.mixture, run_.model, run_.feed, T, P, run_.vapour, run_.liquid, run_.V, MarchTolerance,
                        CheckFlashPasses, run_.solver);
        if (run_.V > BubbleCheckLimit)
            return Step::CheckFlash;
        march.steps.push_back({T, P});
        searches_.Add(march.steps.back());
        return Step::Accepted;
    });
    // This thread joins in on the searches not yet taken up.
    march.fractions = searches_.Finish();
    return march;
}

void WriteBubbleMarch(const BubbleMarch& march, RunResult& result)
{
    // An error ends the march at the step where it arose, with what that step
    // had added before it; the steps after it were searched for nothing.
    std::int16_t r = 1;
    std::size_t k = 0;
    try {
        for (; k < march.steps.size(); ++k) {
            Increment16(r);
            WriteBubbleStep(r, march.steps[k], At(march.fractions, static_cast<long long>(k)), result);
        }
    } catch (const NumericalFault& fault) {
        ReportWrittenMarch(result.report.bubble, march.end, r, &march.steps[k], &fault);
        return;
    }
    ReportWrittenMarch(result.report.bubble, march.end, march.rEnd, nullptr, nullptr);
}

DewMarch TraceDewMarch(const RunWorkspace& run, double startTemperature, SolverWorkspace& solver)
{
    // The march's compositions are written by the dew search and the flash
    // before they are read; these are the march's own.
    CompositionVector liquid(run.feed.size(), 0.0);
    CompositionVector vapour(run.feed.size(), 0.0);
    double V = 0.0;
    double P = StartPressure;
    DewMarch march;
    march.rEnd = March(startTemperature, DewStep, V, march.end, [&](std::int16_t, double T) {
        // The dew search starts from its own Wilson estimate: the P passed in
        // is not used, and P is produced afresh.
        DewPressure(run.mixture, run.model, run.feed, T, liquid, P, MarchTolerance, solver);
        // The check flash runs before the tests, also when P is 0.
        IsothermalFlash(run.mixture, run.model, run.feed, T, P, vapour, liquid, V, MarchTolerance, CheckFlashPasses,
                        solver);
        if (P == 0)
            return Step::NoDewPressure;
        if (V < DewCheckLimit)
            return Step::CheckFlash;
        march.steps.push_back({T, P});
        return Step::Accepted;
    });
    return march;
}

void WriteDewMarch(const DewMarch& march, RunResult& result)
{
    std::int16_t r = 1;
    std::size_t k = 0;
    try {
        for (; k < march.steps.size(); ++k) {
            const MarchStep& step = march.steps[k];
            Increment16(r);
            result.dew.rows.push_back(MakeResultRow(r, step.T, step.P, FormatThreeDecimalsPadded(step.P)));
            AddChartPoint(result, DewSeries, step.T, step.P);
        }
    } catch (const NumericalFault& fault) {
        ReportWrittenMarch(result.report.dew, march.end, r, &march.steps[k], &fault);
        return;
    }
    ReportWrittenMarch(result.report.dew, march.end, march.rEnd, nullptr, nullptr);
}

} // namespace envelope
