// Checked conditions as text: the two sections in the form the user reads,
// "?" and "-" for a failed check, "-" for one phase, compositions only for
// two phases, and the same rows as CSV.

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "envelope/condition_tables.h"
#include "envelope/csv.h"

namespace envelope {
namespace {

CheckedConditions ThreePoints()
{
    CheckedConditions c;
    c.componentNames = {"methane", ""};
    condition::ConditionCheck two;
    two.temperature = 250.0;
    two.pressure = 60.0;
    two.phases = condition::PointPhases::Two;
    two.vapourFraction = 0.734149;
    two.feed = {0.8354, 0.1646};
    two.liquid = {0.4123449, 0.5876551};
    two.vapour = {0.98876549, 0.01123451};
    condition::ConditionCheck one;
    one.temperature = 320.0;
    one.pressure = 60.0;
    one.phases = condition::PointPhases::One;
    one.feed = two.feed;
    condition::ConditionCheck failed;
    failed.temperature = 5.0;
    failed.pressure = 1.0005;
    failed.reason = "a numerical fault";
    c.points = {two, one, failed};
    return c;
}

TEST(ConditionTables, ReportReadsAsTheUserSeesIt)
{
    std::ostringstream report;
    WriteConditionsReport(report, ThreePoints());
    EXPECT_EQ(report.str(), "Conditions\n"
                            "Point\tT (K)\tP (bar)\tPhases\tVapour fraction\n"
                            "1\t250.000\t60.000\t2\t0.7341\n"
                            "2\t320.000\t60.000\t1\t-\n"
                            "3\t5.000\t1.000\t?\t-\n"
                            "\n"
                            "Phase Compositions\n"
                            "Point\tComponent\tFeed\tLiquid\tVapour\n"
                            "1\tmethane\t0.835400\t0.412345\t0.988765\n"
                            "1\tcomponent 2\t0.164600\t0.587655\t0.011235\n");
}

TEST(ConditionTables, CsvHoldsTheSameRows)
{
    const CheckedConditions c = ThreePoints();
    EXPECT_EQ(RowsCsv(ConditionsRows(c)), "Point,T (K),P (bar),Phases,Vapour fraction\r\n"
                                          "1,250.000,60.000,2,0.7341\r\n"
                                          "2,320.000,60.000,1,-\r\n"
                                          "3,5.000,1.000,?,-\r\n");
    EXPECT_EQ(RowsCsv(PhaseCompositionsRows({{}, {c.points[1], c.points[2]}})),
              "Point,Component,Feed,Liquid,Vapour\r\n");
}

TEST(ConditionTables, OtherUnitsNameThemselvesInTheHeadings)
{
    const TextRows rows = ConditionsRows(ThreePoints(), {TemperatureUnit::Celsius, PressureUnit::Psia});
    EXPECT_EQ(rows[0][1], "T (\u00B0C)");
    EXPECT_EQ(rows[0][2], "P (psia)");
    EXPECT_EQ(rows[1][1], "-23.150");
    EXPECT_EQ(rows[1][2], "870.23");
    EXPECT_EQ(rows[3][3], "?");
}

} // namespace
} // namespace envelope
