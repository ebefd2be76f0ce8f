#include "ui/chart_view.h"

#include <cmath>
#include <limits>

#include <QAbstractAxis>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QValueAxis>
#include <QXYSeries>

namespace envelope {

namespace {

QString AxisTitle(QXYSeries& series, Qt::Orientation orientation, const QString& otherwise)
{
    for (QAbstractAxis* axis : series.attachedAxes())
        if (axis->orientation() == orientation && !axis->titleText().isEmpty())
            return axis->titleText();
    return otherwise;
}

// Draws the ticks of one axis along its edge of the plot area, pointing inwards.
void DrawTicks(QPainter& painter, const QValueAxis& axis, const QRectF& plot)
{
    const double span = axis.max() - axis.min();
    const int perMajor = axis.minorTickCount() + 1;
    const double step = axis.tickInterval() / perMajor;
    if (!(span > 0.0) || !(step > 0.0) || span / step > 10000.0)
        return;
    const double anchor = axis.tickAnchor();
    const double slack = step * 1e-9;
    const auto first = static_cast<long long>(std::ceil((axis.min() - anchor - slack) / step));
    const auto last = static_cast<long long>(std::floor((axis.max() - anchor + slack) / step));
    const Qt::Alignment edge = axis.alignment();
    for (long long k = first; k <= last; ++k) {
        const double value = anchor + static_cast<double>(k) * step;
        const double share = (value - axis.min()) / span;
        const double length = k % perMajor == 0 ? ChartView::MajorTickLength : ChartView::MinorTickLength;
        if (edge == Qt::AlignBottom || edge == Qt::AlignTop) {
            const double x = plot.left() + share * plot.width();
            const double y = edge == Qt::AlignBottom ? plot.bottom() : plot.top();
            painter.drawLine(QPointF(x, y), QPointF(x, edge == Qt::AlignBottom ? y - length : y + length));
        } else {
            const double y = plot.bottom() - share * plot.height();
            const double x = edge == Qt::AlignLeft ? plot.left() : plot.right();
            painter.drawLine(QPointF(x, y), QPointF(edge == Qt::AlignLeft ? x + length : x - length, y));
        }
    }
}

} // namespace

ChartView::ChartView(QChart* chart, QWidget* parent) : QChartView(chart, parent)
{
    setRubberBand(QChartView::RectangleRubberBand);
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
}

QString ChartView::pointTextAt(const QPoint& position) const
{
    const QRectF plot = chart()->plotArea().adjusted(-0.5, -0.5, 0.5, 0.5);
    double nearest = HoverRadius * HoverRadius;
    QXYSeries* found = nullptr;
    QPointF value;
    for (QAbstractSeries* abstract : chart()->series()) {
        auto* series = qobject_cast<QXYSeries*>(abstract);
        if (series == nullptr || !series->isVisible())
            continue;
        for (const QPointF& point : series->points()) {
            const QPointF inChart = chart()->mapToPosition(point, series);
            if (!plot.contains(inChart))
                continue;
            const QPointF offset = QPointF(mapFromScene(chart()->mapToScene(inChart))) - QPointF(position);
            const double distance = QPointF::dotProduct(offset, offset);
            if (distance <= nearest) {
                nearest = distance;
                found = series;
                value = point;
            }
        }
    }
    if (found == nullptr)
        return {};
    QStringList lines;
    if (!found->name().isEmpty())
        lines << found->name();
    lines << QStringLiteral("%1: %2").arg(AxisTitle(*found, Qt::Horizontal, QStringLiteral("x")),
                                          QString::number(value.x(), 'f', 3));
    lines << QStringLiteral("%1: %2").arg(AxisTitle(*found, Qt::Vertical, QStringLiteral("y")),
                                          QString::number(value.y(), 'f', 3));
    return lines.join(QLatin1Char('\n'));
}

void ChartView::showFullView()
{
    chart()->zoomReset();
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    QChartView::mouseMoveEvent(event);
    if (event->buttons() != Qt::NoButton)
        return;
    const QString text = pointTextAt(event->position().toPoint());
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(event->globalPosition().toPoint(), text, this);
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    // The right button opens the context menu; it does not zoom out.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void ChartView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Home) {
        showFullView();
        event->accept();
        return;
    }
    QChartView::keyPressEvent(event);
}

void ChartView::contextMenuEvent(QContextMenuEvent* event)
{
    QMenu menu(this);
    QAction* full = menu.addAction(tr("Full view"), this, &ChartView::showFullView);
    full->setEnabled(chart()->isZoomed());
    menu.addSeparator();
    menu.addAction(tr("Save chart as\u2026"), this, &ChartView::saveRequested);
    menu.exec(event->globalPos());
}

void ChartView::drawForeground(QPainter* painter, const QRectF& rect)
{
    QChartView::drawForeground(painter, rect);
    const QRectF plot = chart()->mapRectToScene(chart()->plotArea());
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    painter->setPen(QPen(Qt::black, 0));
    for (QAbstractAxis* abstract : chart()->axes()) {
        const auto* axis = qobject_cast<const QValueAxis*>(abstract);
        if (axis != nullptr && axis->isVisible() && axis->tickType() == QValueAxis::TicksDynamic)
            DrawTicks(*painter, *axis, plot);
    }
    painter->restore();
}

} // namespace envelope
