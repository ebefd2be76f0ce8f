// The table operations over a grid widget.

#include <QTableWidget>
#include <QTest>

#include "thermo/numerical_fault.h"
#include "ui/flex_grid.h"
#include "ui/qt_table.h"

using namespace envelope;

class QtTableTest : public QObject {
    Q_OBJECT

private slots:
    void readReturnsExactlyWhatWasWritten();
    void rowCountGrowsAndDropsRowsWithTheirTexts();
    void outOfRangeAccessFaults();
    void headingCellsAreNotSelectableAndNoCellIsEditable();
};

void QtTableTest::readReturnsExactlyWhatWasWritten()
{
    FlexGrid grid;
    grid.setRowCount(2);
    QtTable table(grid);
    // Texts that a round trip through a display string could change: an
    // embedded NUL, bytes that are not UTF-8, surrounding blanks.
    const std::string texts[] = {"002.345", "2.", " -1.5 ", std::string("a\0b", 3), "\xff\xfe\x80", "", "T (C)"};
    for (const std::string& text : texts) {
        table.writeCell(1, 1, text);
        QCOMPARE(table.readCell(1, 1), text);
    }
    QCOMPARE(table.readCell(1, 2), std::string());
    // The grid shows the text decoded from UTF-8.
    table.writeCell(0, 1, "T (\xc2\xb0" "C)");
    QCOMPARE(grid.item(0, 1)->text(), QStringLiteral("T (\u00b0C)"));
    QCOMPARE(table.readCell(0, 1), std::string("T (\xc2\xb0" "C)"));
}

void QtTableTest::rowCountGrowsAndDropsRowsWithTheirTexts()
{
    FlexGrid grid;
    grid.setRowCount(2);
    QtTable table(grid);
    table.writeCell(0, 0, "Index");
    table.writeCell(1, 1, "first");
    table.setRowCount(5);
    QCOMPARE(grid.rowCount(), 5);
    QCOMPARE(table.readCell(4, 2), std::string());
    table.writeCell(4, 2, "last");
    table.writeCell(3, 0, "3");

    table.setRowCount(4);
    QCOMPARE(table.rowCount(), 4);
    QCOMPARE(grid.rowCount(), 4);
    QCOMPARE(table.readCell(0, 0), std::string("Index"));
    QCOMPARE(table.readCell(1, 1), std::string("first"));
    QCOMPARE(table.readCell(3, 0), std::string("3"));

    // A row that comes back after being dropped is empty.
    table.setRowCount(5);
    QCOMPARE(table.readCell(4, 2), std::string());
    QCOMPARE(grid.item(4, 2)->text(), QString());

    table.setRowCount(0);
    QCOMPARE(grid.rowCount(), 0);
    QVERIFY(grid.headingRow().isHidden());
    table.setRowCount(2);
    QCOMPARE(table.readCell(0, 0), std::string());
}

void QtTableTest::outOfRangeAccessFaults()
{
    FlexGrid grid;
    grid.setRowCount(2);
    QtTable table(grid);
    const QList<QPair<int, int>> outside = {{-1, 0}, {2, 0}, {0, -1}, {0, 3}, {1, 3}, {100, 1}};
    for (const auto& [row, column] : outside) {
        QVERIFY_THROWS_EXCEPTION(NumericalFault, table.writeCell(row, column, "x"));
        QVERIFY_THROWS_EXCEPTION(NumericalFault, (void)table.readCell(row, column));
    }
    QVERIFY_THROWS_EXCEPTION(NumericalFault, table.setRowCount(-1));
    QCOMPARE(grid.rowCount(), 2);
    QCOMPARE(grid.columnCount(), 3);
}

void QtTableTest::headingCellsAreNotSelectableAndNoCellIsEditable()
{
    FlexGrid grid;
    grid.setRowCount(2);
    QtTable table(grid);
    table.setRowCount(4);
    table.writeCell(2, 1, "x");
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column) {
            const Qt::ItemFlags flags = grid.item(row, column)->flags();
            QVERIFY(!(flags & Qt::ItemIsEditable));
            QCOMPARE(bool(flags & Qt::ItemIsSelectable), row > 0 && column > 0);
        }
    QCOMPARE(grid.editTriggers(), QAbstractItemView::NoEditTriggers);
}

QTEST_MAIN(QtTableTest)
#include "qt_table_test.moc"
