#include "ui/chart_view.h"

#include <algorithm>
#include <cmath>

#include <QAbstractAxis>
#include <QContextMenuEvent>
#include <QGraphicsEllipseItem>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QToolTip>
#include <QValueAxis>
#include <QWheelEvent>
#include <QXYSeries>

#include "ui/unit_choice.h"

namespace envelope {

namespace {

constexpr double MarkerRadius = 5.0;
// The readout's text stays this long while the mouse rests, in milliseconds.
constexpr int ReadoutShownFor = 3600 * 1000;
// The angle of one step of a mouse wheel, in eighths of a degree.
constexpr double WheelStep = 120.0;

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

ChartView::ChartView(QChart* chart, QWidget* parent)
    : QChartView(chart, parent), band_(new QRubberBand(QRubberBand::Rectangle, viewport())),
      marker_(new QGraphicsEllipseItem(-MarkerRadius, -MarkerRadius, 2 * MarkerRadius, 2 * MarkerRadius, chart))
{
    setMouseTracking(true);
    viewport()->setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    setFocusPolicy(Qt::StrongFocus);
    band_->hide();
    marker_->setPen(QPen(Qt::black, 2));
    marker_->setBrush(Qt::NoBrush);
    marker_->setZValue(1000);
    marker_->hide();
    // A ring left behind by a change of the view would mark nothing.
    connect(chart, &QChart::plotAreaChanged, this, &ChartView::hideReadout);
    for (QAbstractAxis* axis : chart->axes())
        if (auto* values = qobject_cast<QValueAxis*>(axis))
            connect(values, &QValueAxis::rangeChanged, this, &ChartView::hideReadout);
}

ChartView::Readout ChartView::readoutAt(const QPoint& position) const
{
    const QRectF plot = chart()->plotArea().adjusted(-0.5, -0.5, 0.5, 0.5);
    double nearest = SnapRadius * SnapRadius;
    Readout readout;
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
                readout.series = series;
                readout.value = point;
            }
        }
    }
    if (readout.series == nullptr)
        return readout;
    QStringList lines;
    if (!readout.series->name().isEmpty())
        lines << readout.series->name();
    const TemperatureUnit t = units_.temperature;
    const double kelvin = ToKelvin(readout.value.x(), t);
    if (t == TemperatureUnit::Kelvin)
        lines << QStringLiteral("T: %1 K (%2 \u00B0C)")
                     .arg(QString::number(kelvin, 'f', 3),
                          QString::number(FromKelvin(kelvin, TemperatureUnit::Celsius), 'f', 3));
    else
        lines << QStringLiteral("T: %1 %2 (%3 K)")
                     .arg(QString::number(readout.value.x(), 'f', Decimals(t)), UnitSymbol(t),
                          QString::number(kelvin, 'f', 3));
    const PressureUnit p = units_.pressure;
    lines << QStringLiteral("P: %1 %2")
                 .arg(QString::number(readout.value.y(), 'f', Decimals(p)), UnitSymbol(p));
    readout.text = lines.join(QLatin1Char('\n'));
    return readout;
}

void ChartView::showReadout(const QPoint& position, const QPoint& globalPosition)
{
    const Readout readout = readoutAt(position);
    if (readout.series == nullptr) {
        hideReadout();
        return;
    }
    marker_->setPos(chart()->mapToPosition(readout.value, readout.series));
    marker_->show();
    readoutAt_ = globalPosition;
    readoutText_ = readout.text;
    QToolTip::showText(globalPosition, readout.text, this, {}, ReadoutShownFor);
}

void ChartView::hideReadout()
{
    marker_->hide();
    readoutText_.clear();
    QToolTip::hideText();
}

bool ChartView::viewportEvent(QEvent* event)
{
    // The scene answers a resting mouse with the tool tip of the item under
    // it, of which there is none: that would hide the readout.
    if (event->type() == QEvent::ToolTip) {
        if (marker_->isVisible() && !readoutText_.isEmpty())
            QToolTip::showText(readoutAt_, readoutText_, this, {}, ReadoutShownFor);
        event->accept();
        return true;
    }
    return QChartView::viewportEvent(event);
}

void ChartView::showFullView()
{
    chart()->zoomReset();
    hideReadout();
}

QPointF ChartView::toChart(const QPointF& position) const
{
    return chart()->mapFromScene(mapToScene(position.toPoint()));
}

QRect ChartView::plotAreaInViewport() const
{
    return mapFromScene(chart()->mapToScene(chart()->plotArea())).boundingRect();
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    const bool shift = event->modifiers().testFlag(Qt::ShiftModifier);
    if (drag_ == Drag::None && event->button() == Qt::LeftButton && !shift && plotAreaInViewport().contains(at)) {
        drag_ = Drag::Zoom;
        dragFrom_ = at;
        band_->setGeometry(QRect(at, QSize()));
        band_->show();
        hideReadout();
        event->accept();
        return;
    }
    if (drag_ == Drag::None &&
        (event->button() == Qt::MiddleButton || (event->button() == Qt::LeftButton && shift))) {
        drag_ = Drag::Pan;
        dragLast_ = at;
        // Scrolling alone does not count as a zoom: a zoom into the whole plot
        // area changes nothing but lets the full view come back afterwards.
        if (!chart()->isZoomed())
            chart()->zoomIn(chart()->plotArea());
        viewport()->setCursor(Qt::ClosedHandCursor);
        hideReadout();
        event->accept();
        return;
    }
    QChartView::mousePressEvent(event);
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint at = event->position().toPoint();
    if (drag_ == Drag::Zoom) {
        band_->setGeometry(QRect(dragFrom_, at).normalized().intersected(plotAreaInViewport()));
        event->accept();
        return;
    }
    if (drag_ == Drag::Pan) {
        const QPoint moved = at - dragLast_;
        dragLast_ = at;
        // The data follow the mouse: the view moves the other way.
        chart()->scroll(-moved.x(), moved.y());
        event->accept();
        return;
    }
    QChartView::mouseMoveEvent(event);
    if (event->buttons() == Qt::NoButton)
        showReadout(at, event->globalPosition().toPoint());
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::Zoom && event->button() == Qt::LeftButton) {
        drag_ = Drag::None;
        band_->hide();
        const QRect band = band_->geometry();
        // A click whose hand moved a little is no rectangle to zoom into.
        if (band.width() >= MinimumZoomBand && band.height() >= MinimumZoomBand)
            chart()->zoomIn(QRectF(toChart(band.topLeft()), QSizeF(band.size())));
        event->accept();
        return;
    }
    if (drag_ == Drag::Pan && (event->button() == Qt::MiddleButton || event->button() == Qt::LeftButton)) {
        drag_ = Drag::None;
        viewport()->unsetCursor();
        event->accept();
        return;
    }
    // The right button opens the context menu; it does not zoom out.
    if (event->button() == Qt::RightButton) {
        event->accept();
        return;
    }
    QChartView::mouseReleaseEvent(event);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        showFullView();
        event->accept();
        return;
    }
    QChartView::mouseDoubleClickEvent(event);
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    const double steps = event->angleDelta().y() / WheelStep;
    if (steps == 0.0 || drag_ != Drag::None) {
        event->ignore();
        return;
    }
    // The value under the cursor stays where it is; outside the plot area the
    // nearest point of its edge stands still instead.
    const QRectF plot = chart()->plotArea();
    QPointF anchor = toChart(event->position());
    anchor.setX(std::clamp(anchor.x(), plot.left(), plot.right()));
    anchor.setY(std::clamp(anchor.y(), plot.top(), plot.bottom()));
    const double factor = std::pow(WheelZoom, steps);
    chart()->zoomIn(QRectF(anchor + (plot.topLeft() - anchor) / factor, plot.size() / factor));
    hideReadout();
    event->accept();
}

void ChartView::leaveEvent(QEvent* event)
{
    hideReadout();
    QChartView::leaveEvent(event);
}

void ChartView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_Home) {
        showFullView();
        event->accept();
        return;
    }
    if (event->matches(QKeySequence::Copy)) {
        emit copyRequested();
        event->accept();
        return;
    }
    QChartView::keyPressEvent(event);
}

void ChartView::contextMenuEvent(QContextMenuEvent* event)
{
    hideReadout();
    QMenu menu(this);
    QAction* full = menu.addAction(tr("Full view") + QStringLiteral("\t") + tr("Esc, Home"), this,
                                   &ChartView::showFullView);
    full->setEnabled(chart()->isZoomed());
    menu.addSeparator();
    QAction* copy = menu.addAction(tr("Copy chart"), this, &ChartView::copyRequested);
    copy->setShortcut(QKeySequence::Copy);
    menu.addAction(tr("Save chart as\u2026"), this, &ChartView::saveRequested);
    menu.addAction(tr("Print\u2026"), this, &ChartView::printRequested);
    if (!menuActions_.isEmpty()) {
        menu.addSeparator();
        menu.addActions(menuActions_);
    }
    menu.exec(event->globalPos());
}

void ChartView::addMenuAction(QAction* action)
{
    menuActions_.append(action);
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
