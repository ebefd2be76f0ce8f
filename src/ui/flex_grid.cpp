#include "ui/flex_grid.h"

#include <algorithm>

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHeaderView>
#include <QItemSelection>
#include <QKeyEvent>
#include <QLocale>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include "ui/look.h"

namespace envelope {

namespace {

constexpr int RowHeight = Pixels(240);
constexpr int ColumnWidth = Pixels(960);
const QColor OutsideCells(128, 128, 128);
const QColor GridLines(192, 192, 192);

bool IsHeading(const QModelIndex& index)
{
    return index.row() == 0 || index.column() == 0;
}

// Numbers stand to the right of their cell, other texts to the left.
Qt::Alignment GeneralAlignment(const QString& text)
{
    bool number = false;
    QLocale::c().toDouble(text.trimmed(), &number);
    return (number ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
}

class CellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem cell = option;
        initStyleOption(&cell, index);
        cell.displayAlignment = GeneralAlignment(cell.text);
        const QWidget* widget = cell.widget;
        QStyle* style = widget != nullptr ? widget->style() : QApplication::style();

        if (IsHeading(index)) {
            QStyleOptionHeader heading;
            heading.rect = cell.rect;
            heading.palette = cell.palette;
            heading.fontMetrics = cell.fontMetrics;
            heading.direction = cell.direction;
            heading.state = QStyle::State_Enabled | QStyle::State_Raised | QStyle::State_Horizontal;
            heading.orientation = Qt::Horizontal;
            heading.text = cell.text;
            heading.textAlignment = cell.displayAlignment;
            heading.position = QStyleOptionHeader::Middle;
            // The style may leave a clip behind it.
            painter->save();
            style->drawControl(QStyle::CE_Header, &heading, painter, widget);
            painter->restore();
            return;
        }

        painter->fillRect(cell.rect, cell.palette.base());
        style->drawControl(QStyle::CE_ItemViewItem, &cell, painter, widget);
        painter->save();
        painter->setPen(GridLines);
        const QRect& r = cell.rect;
        painter->drawLine(r.topRight(), r.bottomRight());
        painter->drawLine(r.bottomLeft(), r.bottomRight());
        painter->restore();
    }
};

void SetUpView(QTableView& view, QAbstractItemDelegate& delegate)
{
    view.setItemDelegate(&delegate);
    view.horizontalHeader()->hide();
    view.verticalHeader()->hide();
    view.horizontalHeader()->setMinimumSectionSize(1);
    view.verticalHeader()->setMinimumSectionSize(1);
    view.horizontalHeader()->setDefaultSectionSize(ColumnWidth);
    view.verticalHeader()->setDefaultSectionSize(RowHeight);
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.setTextElideMode(Qt::ElideNone);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    view.setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    QPalette outside = view.viewport()->palette();
    outside.setColor(QPalette::Base, OutsideCells);
    view.viewport()->setPalette(outside);
}

} // namespace

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent), heading_(new QTableView(this))
{
    auto* delegate = new CellDelegate(this);
    SetUpView(*this, *delegate);
    setSelectionMode(QAbstractItemView::ContiguousSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab moves on to the next control, not to the next cell.
    setTabKeyNavigation(false);

    heading_->setObjectName(QStringLiteral("headingRow"));
    heading_->setModel(model());
    SetUpView(*heading_, *delegate);
    heading_->setFrameShape(QFrame::NoFrame);
    heading_->setFocusPolicy(Qt::NoFocus);
    heading_->setSelectionMode(QAbstractItemView::NoSelection);
    heading_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    heading_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    viewport()->stackUnder(heading_);

    connect(horizontalHeader(), &QHeaderView::sectionResized, heading_,
            [this](int column, int, int width) { heading_->setColumnWidth(column, width); });
    connect(verticalHeader(), &QHeaderView::sectionResized, heading_, [this](int row, int, int height) {
        heading_->setRowHeight(row, height);
        if (row == 0)
            placeHeadingRow();
    });
    connect(horizontalScrollBar(), &QScrollBar::valueChanged, heading_->horizontalScrollBar(),
            &QScrollBar::setValue);
    connect(model(), &QAbstractItemModel::rowsInserted, this, &FlexGrid::placeHeadingRow);
    connect(model(), &QAbstractItemModel::rowsRemoved, this, &FlexGrid::placeHeadingRow);
    connect(heading_, &QAbstractItemView::pressed, this, &FlexGrid::selectFromHeading);
    connect(this, &QAbstractItemView::pressed, this, &FlexGrid::selectFromHeading);
    placeHeadingRow();
}

void FlexGrid::placeHeadingRow()
{
    if (rowCount() == 0) {
        heading_->hide();
        return;
    }
    const QRect area = viewport()->geometry();
    heading_->setGeometry(area.x(), area.y(), area.width(), std::min(rowHeight(0), area.height()));
    heading_->horizontalScrollBar()->setValue(horizontalScrollBar()->value());
    heading_->show();
}

void FlexGrid::resizeEvent(QResizeEvent* event)
{
    QTableWidget::resizeEvent(event);
    placeHeadingRow();
}

void FlexGrid::updateGeometries()
{
    QTableWidget::updateGeometries();
    placeHeadingRow();
}

void FlexGrid::scrollTo(const QModelIndex& index, ScrollHint hint)
{
    QTableWidget::scrollTo(index, hint);
    if (!index.isValid() || index.row() == 0 || !heading_->isVisibleTo(this))
        return;
    // A row that came to rest beneath the heading row is moved just below it.
    QScrollBar* bar = verticalScrollBar();
    while (visualRect(index).top() < rowHeight(0) && bar->value() > bar->minimum())
        bar->setValue(bar->value() - 1);
}

QModelIndex FlexGrid::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // The current cell stays among the data cells, as far as there are any.
    const QModelIndex next = QTableWidget::moveCursor(action, modifiers);
    if (!next.isValid() || rowCount() < 2 || columnCount() < 2)
        return next;
    return model()->index(std::max(next.row(), 1), std::max(next.column(), 1));
}

void FlexGrid::selectFromHeading(const QModelIndex& index)
{
    // A heading cell selects the data cells it heads: the column below a cell
    // of row 0, the row beside a cell of column 0, all of them for the corner.
    if (!index.isValid() || !IsHeading(index) || rowCount() < 2 || columnCount() < 2)
        return;
    const int top = index.row() == 0 ? 1 : index.row();
    const int bottom = index.row() == 0 ? rowCount() - 1 : index.row();
    const int left = index.column() == 0 ? 1 : index.column();
    const int right = index.column() == 0 ? columnCount() - 1 : index.column();
    const QModelIndex first = model()->index(top, left);
    selectionModel()->select(QItemSelection(first, model()->index(bottom, right)),
                             QItemSelectionModel::ClearAndSelect);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::NoUpdate);
}

QString FlexGrid::selectedText() const
{
    const QModelIndexList cells = selectionModel()->selectedIndexes();
    if (cells.isEmpty())
        return {};
    int top = cells.front().row(), bottom = top;
    int left = cells.front().column(), right = left;
    for (const QModelIndex& cell : cells) {
        top = std::min(top, cell.row());
        bottom = std::max(bottom, cell.row());
        left = std::min(left, cell.column());
        right = std::max(right, cell.column());
    }
    QStringList lines;
    for (int row = top; row <= bottom; ++row) {
        QStringList fields;
        for (int column = left; column <= right; ++column) {
            const QModelIndex cell = model()->index(row, column);
            fields << (selectionModel()->isSelected(cell) ? cell.data().toString() : QString());
        }
        lines << fields.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n'));
}

void FlexGrid::copySelection() const
{
    const QString text = selectedText();
    if (!text.isEmpty())
        QApplication::clipboard()->setText(text);
}

void FlexGrid::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        event->accept();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void FlexGrid::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* copy = menu.addAction(tr("Copy"), this, &FlexGrid::copySelection);
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(selectionModel()->hasSelection());
    menu.addAction(tr("Export CSV\u2026"), this, &FlexGrid::exportRequested);
    menu.addAction(tr("Export all\u2026"), this, &FlexGrid::exportAllRequested);
    menu.exec(event->globalPos());
}

} // namespace envelope
