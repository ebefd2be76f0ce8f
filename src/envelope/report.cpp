#include "envelope/report.h"

namespace envelope {

namespace {

void WriteTable(std::ostream& out, const char* caption, const Table& table)
{
    out << caption << '\n';
    for (int row = 0; row < table.rowCount(); ++row) {
        for (int column = 0; column < Table::ColumnCount; ++column) {
            if (column > 0)
                out << '\t';
            out << table.readCell(row, column);
        }
        out << '\n';
    }
}

} // namespace

void WriteReport(std::ostream& out, const Table& bubbleTable, const Table& dewTable, const Table& interpolationTable)
{
    WriteTable(out, BubbleTableCaption, bubbleTable);
    out << '\n';
    WriteTable(out, DewTableCaption, dewTable);
    out << '\n';
    WriteTable(out, InterpolationTableCaption, interpolationTable);
}

} // namespace envelope
