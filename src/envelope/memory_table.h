#pragma once
// In-memory table: used by the headless mode and by the run's tests.

#include <array>
#include <string>
#include <vector>

#include "envelope/table.h"

namespace envelope {

class MemoryTable final : public Table {
public:
    // A new table has two rows, as a grid has before the first run.
    MemoryTable() : rows_(2) {}

    int rowCount() const override { return static_cast<int>(rows_.size()); }
    void setRowCount(int rows) override;
    void writeCell(int row, int column, const std::string& text) override;
    std::string readCell(int row, int column) const override;

    using Row = std::array<std::string, ColumnCount>;
    const std::vector<Row>& rows() const { return rows_; }

private:
    const Row& row(int row, int column) const;

    std::vector<Row> rows_;
};

} // namespace envelope
