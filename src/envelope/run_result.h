#pragma once
// What one run gives, as a value: the rows of the bubble, dew and
// interpolation tables, both as the numbers the run found and as the exact
// texts the tables show; the chart points in the order and with the colours
// the chart receives them; how each stage ended; and the numeric core's work.
// The tables, the chart, the batch text and the CSV files are all written
// from it (write_result.h, report.h, csv.h).

#include <array>
#include <string>
#include <vector>

#include "envelope/chart.h"
#include "envelope/run_report.h"
#include "envelope/table.h"
#include "thermo/workspace.h"
#include "units/units.h"

namespace envelope {

// Table temperatures are in degrees Celsius.
inline constexpr double KelvinOffset = KelvinAtZeroCelsius;

// Chart series, in the order their titles are set.
enum Series : int { BubbleSeries = 0, DewSeries, InterpSeries, Fraction005Series, Fraction03Series, Fraction05Series };
inline constexpr std::array<const char*, Chart::SeriesCount> SeriesTitles = {"bubble", "dew",    "interp",
                                                                            "VF=0.05", "VF=0.3", "VF=0.5"};
// Point colours per series, 0x00BBGGRR.
inline constexpr std::array<Colour, Chart::SeriesCount> SeriesColours = {0xFF0000, 0x0000FF, 0x000000,
                                                                         0x00FFFF, 0x000000, 0xFFFF00};

// The constant vapour-fraction lines drawn along the bubble march.
struct FractionLine {
    double target;
    Series series;
};
inline constexpr std::array<FractionLine, 3> FractionLines = {
    FractionLine{0.05, Fraction005Series}, FractionLine{0.3, Fraction03Series}, FractionLine{0.5, Fraction05Series}};

// One row of a result table.
struct ResultRow {
    double temperature = 0.0; // K, as the run found it
    double pressure = 0.0;    // bar, as the run found it
    // The texts of the columns "Index", "T (C)" and "P (bar)": the row number,
    // the temperature in degrees Celsius as "###.###", and the pressure text
    // of the row's table.
    std::array<std::string, Table::ColumnCount> cells;

    bool operator==(const ResultRow&) const = default;
};

// The rows a run writes into one table, row 1 first: rows[k] is row k + 1.
struct ResultTable {
    std::vector<ResultRow> rows;
    // Whether row 1 holds a start point: the run writes it into the table as
    // it stands, without setting the row count (the bubble and dew tables).
    bool startRow = false;

    bool operator==(const ResultTable&) const = default;
};

// One chart point, with the label (always empty) and colour it is drawn with.
struct ResultPoint {
    Series series = BubbleSeries;
    double temperature = 0.0; // K, the x value
    double pressure = 0.0;    // bar, the y value
    std::string label;
    Colour colour = 0;

    bool operator==(const ResultPoint&) const = default;
};

struct RunResult {
    RunReport report;
    ResultTable bubble{{}, true};
    ResultTable dew{{}, true};
    ResultTable interpolation;
    // Every chart point of the run in the order the chart receives them: at
    // each bubble step its constant vapour-fraction points (0.05, 0.3, 0.5)
    // and then its bubble point; then the dew points; then the interpolated
    // points. The start points are in the tables only.
    std::vector<ResultPoint> points;
    // The numeric core's work in the run, both threads together.
    SolverCounters counters;
};

// A row's point as its table shows it: the temperature and pressure texts
// read back as numbers (the leading decimal number of each text), the
// temperature back in kelvin. This is the rounding that the tables' texts
// give, which the spline's knots carry.
struct ShownPoint {
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
};
ShownPoint ReadBack(const ResultRow& row);

// A point of a constant vapour-fraction line.
struct FractionPoint {
    double fraction = 0.0;    // vapour fraction of the line
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
    bool operator==(const FractionPoint&) const = default;
};

// The points of the three constant vapour-fraction lines, in the order the
// run found them.
std::vector<FractionPoint> FractionPoints(const RunResult& result);

} // namespace envelope
