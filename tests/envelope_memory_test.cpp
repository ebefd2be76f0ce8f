// The in-memory table and chart that the run's tests and the headless mode use,
// and the vapour-fraction points of a run's result.

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "envelope/case.h"
#include "envelope/memory_chart.h"
#include "envelope/memory_run.h"
#include "envelope/memory_table.h"
#include "thermo/numerical_fault.h"

namespace envelope {
namespace {

TEST(MemoryTable, StartsWithTwoEmptyRows)
{
    MemoryTable table;
    EXPECT_EQ(table.rowCount(), 2);
    for (int row = 0; row < 2; ++row)
        for (int column = 0; column < Table::ColumnCount; ++column)
            EXPECT_EQ(table.readCell(row, column), "");
}

TEST(MemoryTable, ReadReturnsExactlyWhatWasWritten)
{
    MemoryTable table;
    const std::string texts[] = {"002.5", " 1.50 ", std::string("a\0b", 3), "\xff\xfe", ""};
    for (const std::string& text : texts) {
        table.writeCell(1, 2, text);
        EXPECT_EQ(table.readCell(1, 2), text);
    }
    table.writeCell(1, 0, "1");
    EXPECT_EQ(table.readCell(1, 0), "1");
    EXPECT_EQ(table.readCell(1, 2), "");
}

TEST(MemoryTable, RowCountGrowsWithEmptyRowsAndDropsRowsWithTheirTexts)
{
    MemoryTable table;
    table.writeCell(0, 0, "Index");
    table.writeCell(1, 1, "one");
    table.setRowCount(4);
    table.writeCell(3, 2, "three");
    EXPECT_EQ(table.rowCount(), 4);
    EXPECT_EQ(table.readCell(2, 1), "");

    table.setRowCount(2);
    EXPECT_EQ(table.readCell(0, 0), "Index");
    EXPECT_EQ(table.readCell(1, 1), "one");
    EXPECT_THROW(table.readCell(3, 2), NumericalFault);

    table.setRowCount(4);
    EXPECT_EQ(table.readCell(3, 2), "") << "a dropped row comes back empty";
    table.setRowCount(0);
    EXPECT_EQ(table.rowCount(), 0);
}

TEST(MemoryTable, OutOfRangeAccessFaults)
{
    MemoryTable table;
    for (const auto& [row, column] : {std::pair{-1, 0}, {2, 0}, {0, -1}, {0, 3}}) {
        EXPECT_THROW(table.writeCell(row, column, "x"), NumericalFault) << row << ", " << column;
        EXPECT_THROW(table.readCell(row, column), NumericalFault) << row << ", " << column;
    }
    EXPECT_THROW(table.setRowCount(-1), NumericalFault);
    EXPECT_EQ(table.rowCount(), 2);
}

TEST(MemoryChart, KeepsPointsInAscendingXWithEqualXInInsertionOrder)
{
    MemoryChart chart;
    EXPECT_EQ(chart.addPoint(4, 300.0, 1.0, "", 0), 0);
    EXPECT_EQ(chart.addPoint(4, 200.0, 2.0, "", 0), 0);
    EXPECT_EQ(chart.addPoint(4, 300.0, 3.0, "b", 0x0000FF), 2);
    EXPECT_EQ(chart.addPoint(4, 250.0, 4.0, "", 0), 1);
    EXPECT_EQ(chart.addPoint(4, 300.0, 5.0, "", 0xFFFF00), 4);

    const std::vector<ChartPoint> expected = {{200.0, 2.0, "", 0},
                                              {250.0, 4.0, "", 0},
                                              {300.0, 1.0, "", 0},
                                              {300.0, 3.0, "b", 0x0000FF},
                                              {300.0, 5.0, "", 0xFFFF00}};
    EXPECT_EQ(chart.series(4).points, expected);
    for (int other : {0, 1, 2, 3, 5})
        EXPECT_TRUE(chart.series(other).points.empty());
}

TEST(MemoryChart, TitlesAreSetAndReplaced)
{
    MemoryChart chart;
    chart.setSeriesTitle(0, "bubble");
    chart.setSeriesTitle(5, "VF=0.5");
    chart.setSeriesTitle(0, "again");
    EXPECT_EQ(chart.series(0).title, "again");
    EXPECT_EQ(chart.series(5).title, "VF=0.5");
    EXPECT_EQ(chart.series(1).title, "");
}

TEST(MemoryChart, SeriesOutsideZeroToFiveAndNonFinitePointsFault)
{
    MemoryChart chart;
    for (int series : {-1, 6}) {
        EXPECT_THROW(chart.setSeriesTitle(series, "x"), NumericalFault);
        EXPECT_THROW(chart.addPoint(series, 1.0, 1.0, "", 0), NumericalFault);
        EXPECT_THROW(chart.series(series), NumericalFault);
    }
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_THROW(chart.addPoint(0, nan, 1.0, "", 0), NumericalFault);
    EXPECT_THROW(chart.addPoint(0, 1.0, inf, "", 0), NumericalFault);
    EXPECT_TRUE(chart.series(0).points.empty());
}

TEST(FractionPoints, AreTheVapourFractionSeriesInRunOrder)
{
    const MemoryRun run = RunInMemory(BuiltInMixture());
    const std::vector<FractionPoint> points = FractionPoints(run.result);
    std::size_t drawn = 0;
    for (int series = 3; series < Chart::SeriesCount; ++series)
        drawn += run.chart.series(series).points.size();
    ASSERT_EQ(points.size(), drawn);
    ASSERT_GT(drawn, 60u);

    // Step by step up the bubble branch, 0.05 before 0.3 before 0.5 within a
    // step; each line's points are those of its series.
    const double fractions[] = {0.05, 0.3, 0.5};
    for (std::size_t i = 1; i < points.size(); ++i) {
        const FractionPoint& before = points[i - 1];
        const FractionPoint& point = points[i];
        EXPECT_TRUE(point.temperature > before.temperature ||
                    (point.temperature == before.temperature && point.fraction > before.fraction))
            << "point " << i;
    }
    for (int line = 0; line < 3; ++line) {
        std::vector<std::pair<double, double>> recorded, charted;
        for (const FractionPoint& point : points)
            if (point.fraction == fractions[line])
                recorded.emplace_back(point.temperature, point.pressure);
        for (const ChartPoint& point : run.chart.series(3 + line).points)
            charted.emplace_back(point.x, point.y);
        EXPECT_EQ(recorded, charted) << "line " << fractions[line];
    }
}

} // namespace
} // namespace envelope
