#pragma once
// The result table operations over a QTableWidget. The widget's rows are the
// table's rows, heading row 0 included; every cell holds an item, so that the
// heading cells (row 0 and column 0) are never selectable, and no cell is
// editable by the user. A cell's text is kept byte for byte as written.

#include <QTableWidget>

#include "envelope/table.h"

namespace envelope {

class QtTable final : public Table {
public:
    // Gives the widget the table's three columns and fills its cells.
    explicit QtTable(QTableWidget& grid);

    int rowCount() const override;
    void setRowCount(int rows) override;
    void writeCell(int row, int column, const std::string& text) override;
    std::string readCell(int row, int column) const override;

    QTableWidget& grid() const { return grid_; }

private:
    QTableWidgetItem& cell(int row, int column) const;
    void fillRows(int from);

    QTableWidget& grid_;
};

} // namespace envelope
