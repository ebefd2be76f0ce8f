#include "envelope/table.h"

namespace envelope {

void WriteColumnHeadings(Table& table)
{
    table.writeCell(0, 0, "Index");
    table.writeCell(0, 1, "T (C)");
    table.writeCell(0, 2, "P (bar)");
}

void ClearResultRows(Table& table)
{
    table.setRowCount(1);
    table.setRowCount(2);
}

} // namespace envelope
