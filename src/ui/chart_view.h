#pragma once
// The view of the envelope chart. Besides drawing the chart it
// - draws the axis ticks inside the plot area: major ticks 6 pixels long,
//   minor ticks 3 pixels, on every value axis that uses dynamic ticks,
// - shows the coordinates of the data point under the mouse as a tool tip,
// - zooms into a rectangle dragged with the left button, and returns to the
//   full view from the context menu or with Escape or Home,
// - offers "Save chart as..." in its context menu (saveRequested()).

#include <QChartView>

namespace envelope {

class ChartView : public QChartView {
    Q_OBJECT

public:
    static constexpr int MajorTickLength = 6;
    static constexpr int MinorTickLength = 3;
    // How near, in pixels, the mouse must come to a point to show it.
    static constexpr int HoverRadius = 6;

    explicit ChartView(QChart* chart, QWidget* parent = nullptr);

    // The series title and both coordinates of the data point nearest to the
    // viewport position within HoverRadius, each coordinate headed by its
    // axis title; empty when no point is that near.
    QString pointTextAt(const QPoint& position) const;

public slots:
    void showFullView();

signals:
    void saveRequested();

protected:
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void drawForeground(QPainter* painter, const QRectF& rect) override;
};

} // namespace envelope
