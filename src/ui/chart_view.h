#pragma once
// The view of the envelope chart. Besides drawing the chart it
// - draws the axis ticks inside the plot area: major ticks 6 pixels long,
//   minor ticks 3 pixels, on every value axis that uses dynamic ticks,
// - reads values: the mouse snaps to the nearest point of any visible series
//   within SnapRadius pixels, marks it with a ring and shows the series with
//   the point's temperature and pressure in the units shown (the temperature
//   also in °C where it is shown in K, else in K); ring and text stay while
//   the mouse rests,
// - zooms into a rectangle dragged with the left button (one smaller than
//   MinimumZoomBand in either direction is a click, and does not zoom), and
//   with the mouse wheel about the point under the cursor,
// - pans while dragged with the middle button, or with the left one and Shift,
// - returns to the full view on a double click, with Escape or Home, or from
//   the context menu,
// - offers "Copy chart" (also Ctrl+C), "Save chart as…" and "Print…" in its
//   context menu, which it leaves to its owner (the ...Requested() signals).

#include <QChartView>
#include <QPointF>
#include <QString>

#include "units/units.h"

class QGraphicsEllipseItem;
class QRubberBand;
class QXYSeries;

namespace envelope {

class ChartView : public QChartView {
    Q_OBJECT

public:
    static constexpr int MajorTickLength = 6;
    static constexpr int MinorTickLength = 3;
    // How near, in pixels, the mouse must come to a point to read it.
    static constexpr int SnapRadius = 20;
    // The smallest width and height, in pixels, of a rectangle that zooms.
    static constexpr int MinimumZoomBand = 6;
    // The zoom of one step of the wheel (15 degrees).
    static constexpr double WheelZoom = 1.25;

    // The point that the readout shows.
    struct Readout {
        QXYSeries* series = nullptr;
        QPointF value;
        QString text;
    };

    explicit ChartView(QChart* chart, QWidget* parent = nullptr);

    // The data point of a visible series nearest to the viewport position,
    // within SnapRadius, and its text: the series title, then "T: <K> K
    // (<°C> °C)" and "P: <bar> bar", each with three decimals, in the
    // default units; in others "T: <value> <unit> (<K> K)" and "P: <value>
    // <unit>" with the unit's decimals. No series when no point is that near.
    Readout readoutAt(const QPoint& position) const;
    QString pointTextAt(const QPoint& position) const { return readoutAt(position).text; }

    // The ring that marks the point read, a child of the chart; hidden while
    // no point is read.
    const QGraphicsEllipseItem& readoutMarker() const { return *marker_; }

    // Adds an item below the view's own in the context menu.
    void addMenuAction(QAction* action);

    // The units the series' values are in.
    void setUnits(const Units& units) { units_ = units; }

public slots:
    void showFullView();
    // Hides the readout's ring and text.
    void hideReadout();

signals:
    void copyRequested();
    void saveRequested();
    void printRequested();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;

private:
    enum class Drag { None, Zoom, Pan };

    // A viewport position in the chart's own coordinates, those of its plot area.
    QPointF toChart(const QPointF& position) const;
    QRect plotAreaInViewport() const;
    void showReadout(const QPoint& position, const QPoint& globalPosition);

    Drag drag_ = Drag::None;
    QPoint dragFrom_;
    QPoint dragLast_;
    QRubberBand* band_;
    QGraphicsEllipseItem* marker_;
    QList<QAction*> menuActions_;
    Units units_;
    // Where the readout's text was shown, and the text.
    QPoint readoutAt_;
    QString readoutText_;
};

} // namespace envelope
