#pragma once
// The grid of a result table. Row 0 and column 0 are heading cells, drawn like
// header sections; row 0 is a real row of the widget (the table operations
// write and read it like any other) and stays visible at the top while the
// other rows scroll: a second view over the same model, showing only row 0,
// lies over the top of the viewport and follows the horizontal scrolling.
// The cells are read-only for the user; a rectangle of data cells can be
// selected and copied as tab-separated text (Ctrl+C or the context menu), and
// the context menu asks for the whole table to be exported (exportRequested()),
// or every result of the run (exportAllRequested()).
// Outside the cells the grid is grey, and thin light grey lines part them.

#include <QTableWidget>

namespace envelope {

class FlexGrid : public QTableWidget {
    Q_OBJECT

public:
    explicit FlexGrid(QWidget* parent = nullptr);

    // The selected cells, row by row over the rectangle that holds them:
    // cells separated by tabs, rows by line feeds, unselected cells empty.
    QString selectedText() const;

    // The view that keeps row 0 in sight.
    QTableView& headingRow() const { return *heading_; }

    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

public slots:
    void copySelection() const;

signals:
    // "Export CSV…" was chosen from the context menu.
    void exportRequested();
    // "Export all…" was chosen from the context menu.
    void exportAllRequested();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void updateGeometries() override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void placeHeadingRow();
    void selectFromHeading(const QModelIndex& index);

    QTableView* heading_;
};

} // namespace envelope
