#include "envelope/march.h"

#include "envelope/text_format.h"
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

// One bubble step after r has been advanced. Returns false when the check
// flash rejects the step; nothing of the step has been written then.
bool TakeBubbleStep(RunWorkspace& run, std::int16_t r, double T, double& P, Table& table, Chart& chart)
{
    // P enters holding the previous bubble pressure: the start of the search.
    BubblePressure(run.mixture, run.feed, T, run.vapour, P, MarchTolerance, run.solver);
    IsothermalFlash(run.mixture, run.feed, T, P, run.vapour, run.liquid, run.V, MarchTolerance, CheckFlashPasses,
                    run.solver);
    if (run.V > BubbleCheckLimit)
        return false;

    for (const FractionLine& line : FractionLines) {
        double Pq = P;
        QualityLinePressure(run.mixture, T, line.target, run.feed, run.liquid, run.vapour, Pq, run.solver);
        // 0 means that no pressure gives this fraction here: no point.
        if (Pq != 0)
            AddChartPoint(chart, line.series, T, Pq);
    }

    table.setRowCount(Count16(r + 1));
    WriteResultRow(table, r, T, BubblePressureText(P));
    AddChartPoint(chart, BubbleSeries, T, P);
    return true;
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
    double P = StartPressure;
    return March(startTemperature, BubbleStep,
                 [&](std::int16_t r, double T) { return TakeBubbleStep(run, r, T, P, table, chart); });
}

std::int16_t DewMarch(RunWorkspace& run, double startTemperature, Table& table, Chart& chart)
{
    double P = StartPressure;
    return March(startTemperature, DewStep,
                 [&](std::int16_t r, double T) { return TakeDewStep(run, r, T, P, table, chart); });
}

} // namespace envelope
