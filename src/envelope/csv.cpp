#include "envelope/csv.h"

#include <array>

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

} // namespace envelope
