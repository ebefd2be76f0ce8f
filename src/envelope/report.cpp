#include "envelope/report.h"

#include <initializer_list>

#include "envelope/memory_chart.h"
#include "envelope/memory_table.h"

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

RunOutcome RunHeadless(std::ostream& out)
{
    MemoryTable bubbleTable, dewTable, interpolationTable;
    for (MemoryTable* table : {&bubbleTable, &dewTable, &interpolationTable})
        WriteColumnHeadings(*table);
    MemoryChart chart;
    const RunOutcome outcome = Run(bubbleTable, dewTable, interpolationTable, chart);
    WriteReport(out, bubbleTable, dewTable, interpolationTable);
    return outcome;
}

} // namespace envelope
