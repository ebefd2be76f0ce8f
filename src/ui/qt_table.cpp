#include "ui/qt_table.h"

#include <QByteArray>

#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

// The text as written, bytes included that are not valid UTF-8; the item's
// display text is its decoded form.
constexpr int WrittenTextRole = Qt::UserRole;

QTableWidgetItem* NewCell(int row, int column)
{
    auto* item = new QTableWidgetItem;
    const bool heading = row == 0 || column == 0;
    item->setFlags(heading ? Qt::ItemIsEnabled : Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace

QtTable::QtTable(QTableWidget& grid) : grid_(grid)
{
    grid_.setColumnCount(ColumnCount);
    fillRows(0);
}

int QtTable::rowCount() const
{
    return grid_.rowCount();
}

void QtTable::setRowCount(int rows)
{
    if (rows < 0)
        RaiseNumericalFault(FaultKind::Index, "negative row count");
    const int kept = grid_.rowCount();
    grid_.setRowCount(rows);
    fillRows(kept);
}

void QtTable::fillRows(int from)
{
    for (int row = from; row < grid_.rowCount(); ++row)
        for (int column = 0; column < ColumnCount; ++column)
            if (grid_.item(row, column) == nullptr)
                grid_.setItem(row, column, NewCell(row, column));
}

QTableWidgetItem& QtTable::cell(int row, int column) const
{
    if (row < 0 || row >= grid_.rowCount())
        RaiseNumericalFault(FaultKind::Index, "row out of range");
    if (column < 0 || column >= ColumnCount)
        RaiseNumericalFault(FaultKind::Index, "column out of range");
    QTableWidgetItem* item = grid_.item(row, column);
    if (item == nullptr) {
        // Rows added to the widget other than through this table.
        item = NewCell(row, column);
        grid_.setItem(row, column, item);
    }
    return *item;
}

void QtTable::writeCell(int row, int column, const std::string& text)
{
    QTableWidgetItem& item = cell(row, column);
    item.setData(WrittenTextRole, QByteArray(text.data(), static_cast<qsizetype>(text.size())));
    item.setText(QString::fromStdString(text));
}

std::string QtTable::readCell(int row, int column) const
{
    const QByteArray written = cell(row, column).data(WrittenTextRole).toByteArray();
    return written.toStdString();
}

} // namespace envelope
