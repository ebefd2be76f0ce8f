#include "envelope/csv.h"

#include <array>
#include <charconv>
#include <system_error>

namespace envelope {

std::string CsvField(std::string_view text)
{
    if (text.find_first_of(",\"\r\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '"';
    for (const char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

std::string TableCsv(const Table& table)
{
    std::string csv;
    for (int row = 0; row < table.rowCount(); ++row) {
        std::array<std::string, Table::ColumnCount> cells;
        bool empty = true;
        for (int column = 0; column < Table::ColumnCount; ++column) {
            cells[static_cast<std::size_t>(column)] = table.readCell(row, column);
            empty = empty && cells[static_cast<std::size_t>(column)].empty();
        }
        if (row > 0 && empty)
            continue;
        for (int column = 0; column < Table::ColumnCount; ++column) {
            if (column > 0)
                csv += ',';
            csv += CsvField(cells[static_cast<std::size_t>(column)]);
        }
        csv += "\r\n";
    }
    return csv;
}

namespace {

std::string ShortestRoundTrip(double value)
{
    // 32 characters hold any double in its shortest form.
    std::array<char, 32> text{};
    const auto [end, error] = std::to_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc())
        return {};
    return std::string(text.data(), end);
}

} // namespace

std::string FractionCsv(const std::vector<FractionPoint>& points)
{
    std::string csv = "vapour fraction,T (K),P (bar)\r\n";
    for (const FractionPoint& point : points) {
        csv += ShortestRoundTrip(point.fraction);
        csv += ',';
        csv += ShortestRoundTrip(point.temperature);
        csv += ',';
        csv += ShortestRoundTrip(point.pressure);
        csv += "\r\n";
    }
    return csv;
}

std::array<CsvFile, 4> RunCsvFiles(const Table& bubbleTable, const Table& dewTable, const Table& interpolationTable,
                                   const std::vector<FractionPoint>& fractionPoints)
{
    return {{
        {BubbleCsvFileName, TableCsv(bubbleTable)},
        {DewCsvFileName, TableCsv(dewTable)},
        {InterpolationCsvFileName, TableCsv(interpolationTable)},
        {FractionCsvFileName, FractionCsv(fractionPoints)},
    }};
}

std::string RowsCsv(const std::vector<std::vector<std::string>>& rows)
{
    std::string csv;
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0)
                csv += ',';
            csv += CsvField(row[column]);
        }
        csv += "\r\n";
    }
    return csv;
}

} // namespace envelope
