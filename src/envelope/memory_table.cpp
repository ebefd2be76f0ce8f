#include "envelope/memory_table.h"

#include "thermo/numerical_fault.h"

namespace envelope {

void MemoryTable::setRowCount(int rows)
{
    if (rows < 0)
        RaiseNumericalFault(FaultKind::Index, "negative row count");
    rows_.resize(static_cast<std::size_t>(rows));
}

const MemoryTable::Row& MemoryTable::row(int row, int column) const
{
    if (column < 0 || column >= ColumnCount)
        RaiseNumericalFault(FaultKind::Index, "column out of range");
    return At(rows_, row);
}

void MemoryTable::writeCell(int row, int column, const std::string& text)
{
    const_cast<Row&>(this->row(row, column))[static_cast<std::size_t>(column)] = text;
}

std::string MemoryTable::readCell(int row, int column) const
{
    return this->row(row, column)[static_cast<std::size_t>(column)];
}

} // namespace envelope
