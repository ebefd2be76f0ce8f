#pragma once
// A result table as a run's result is written onto it (write_result.h): a
// rectangle of text cells, three columns, a row count that includes the
// heading row 0. An out-of-range row or column raises the numerical fault.

#include <string>

namespace envelope {

class Table {
public:
    static constexpr int ColumnCount = 3;

    virtual ~Table() = default;

    virtual int rowCount() const = 0;
    // The table keeps rows 0 to rows - 1: rows beyond are dropped with their
    // texts, rows kept keep theirs, new rows start empty.
    virtual void setRowCount(int rows) = 0;
    virtual void writeCell(int row, int column, const std::string& text) = 0;
    // Exactly the text last written into (row, column).
    virtual std::string readCell(int row, int column) const = 0;
};

// Writes the headings of row 0: "Index", "T (C)", "P (bar)".
void WriteColumnHeadings(Table& table);

// Empties the table back to how a window shows it before the first run: the
// heading row, kept, and one empty row 1 (which a run writes without setting
// the row count).
void ClearResultRows(Table& table);

} // namespace envelope
