#include "envelope/spline_stage.h"

#include <cmath>

#include "envelope/text_format.h"
#include "spline/spline.h"
#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

// The knot at the knot count from row i (from 1) of the table: the row as
// the table shows it, so the knots carry the rounding of its texts.
void ReadKnot(RunWorkspace& run, const ResultTable& table, std::int16_t i)
{
    const ShownPoint shown = ReadBack(At(table.rows, i - 1));
    At(run.knotPressure, run.knotCount) = shown.pressure;
    At(run.knotTemperature, run.knotCount) = shown.temperature;
    Increment16(run.knotCount);
}

// The row counter a march left: one past the table's last row.
std::int16_t RowCounter(const ResultTable& table)
{
    return Count16(static_cast<long long>(table.rows.size()) + 1);
}

// Row 0 holds the headings, which would read as 0 bar at 0 degrees Celsius: a
// gathering that reaches it has too few rows to fit a spline.
void RequireResultRows(std::int16_t firstRow)
{
    if (firstRow < 1)
        RaiseNumericalFault(FaultKind::TooFewPoints, "too few table rows for the spline knots");
}

} // namespace

void GatherBubbleKnots(RunWorkspace& run, const ResultTable& table)
{
    const std::int16_t rb = RowCounter(table);
    const std::int16_t first = Count16(rb - BubbleKnotRows);
    RequireResultRows(first);
    run.knotCount = 0;
    for (std::int16_t i = first; i <= rb - 1; Increment16(i))
        ReadKnot(run, table, i);
}

void GatherDewKnots(RunWorkspace& run, const ResultTable& table)
{
    const std::int16_t rd = RowCounter(table);
    const std::int16_t last = Count16(rd - DewKnotRows);
    RequireResultRows(last);
    for (std::int16_t i = Count16(rd - 1); i >= last; i = Count16(i - 1)) {
        if (run.knotCount > static_cast<std::int16_t>(KnotCapacity - 1))
            break;
        ReadKnot(run, table, i);
    }
}

void InterpolateGap(const RunWorkspace& run, RunResult& result)
{
    int& rows = result.report.spline.rows;
    rows = 0;
    // Created zero here, so nothing of an earlier run reaches it.
    SplineCoefficients coefficients(KnotCapacity, 5);
    SplineInterpolate(run.knotPressure, run.knotTemperature, coefficients, NaturalSpline);

    const double start = At(run.knotPressure, GapSegment);
    const double end = At(run.knotPressure, GapSegment + 1);
    for (std::int16_t i = 0; i <= InterpolationSteps; Increment16(i)) {
        const double h = Finite(Finite(end - start) / InterpolationSteps);
        const double P = Finite(start + Finite(h * i));
        const double d = Finite(P - start);
        // The cubic of the gap segment in powers of d, highest power first;
        // d^0 is 1 also for d = 0.
        double s = 0;
        for (int k = 3; k >= 0; --k)
            s = Finite(s + Finite(coefficients(GapSegment, 3 - k) * Finite(std::pow(d, k))));

        AddChartPoint(result, InterpSeries, s, P);
        result.interpolation.rows.push_back(MakeResultRow(Count16(i + 1), s, P, FormatThreeDecimalsPadded(P)));
        ++rows;
    }
}

} // namespace envelope
