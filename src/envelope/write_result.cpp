#include "envelope/write_result.h"

namespace envelope {

void WriteRows(const ResultTable& rows, Table& table)
{
    for (std::size_t k = 0; k < rows.rows.size(); ++k) {
        const int r = static_cast<int>(k) + 1;
        if (r > 1 || !rows.startRow)
            table.setRowCount(r + 1);
        for (int column = 0; column < Table::ColumnCount; ++column)
            table.writeCell(r, column, rows.rows[k].cells[static_cast<std::size_t>(column)]);
    }
}

namespace {

void SetSeriesTitles(Chart& chart)
{
    for (int series = 0; series < Chart::SeriesCount; ++series)
        chart.setSeriesTitle(series, SeriesTitles[static_cast<std::size_t>(series)]);
}

void AddPoints(const RunResult& result, Chart& chart)
{
    for (const ResultPoint& point : result.points)
        chart.addPoint(point.series, point.temperature, point.pressure, point.label, point.colour);
}

} // namespace

void DrawPoints(const RunResult& result, Chart& chart)
{
    SetSeriesTitles(chart);
    AddPoints(result, chart);
}

void WriteRunResult(const RunResult& result, Table& bubbleTable, Table& dewTable, Table& interpolationTable,
                    Chart& chart)
{
    SetSeriesTitles(chart);
    WriteRows(result.bubble, bubbleTable);
    WriteRows(result.dew, dewTable);
    WriteRows(result.interpolation, interpolationTable);
    AddPoints(result, chart);
}

} // namespace envelope
