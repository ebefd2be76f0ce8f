#pragma once
// The chart window: the chart TChart1 with its six series, pressure in bar
// against temperature in K, and the column of legend labels Label1 to Label5
// to its right. The window opens wide enough to show the whole label column;
// when it is resized the chart takes the room and the labels keep beside it.
// Every series keeps its points in ascending order of x, a point of equal x
// going after those already there, and the axes follow the data.

#include <QAction>
#include <QByteArray>
#include <QColor>
#include <QLabel>
#include <QList>
#include <QPair>
#include <QPointF>
#include <QWidget>
#include <QXYSeries>

#include <array>

class QChart;
class QPrinter;
class QValueAxis;

namespace envelope {

class ChartView;

class Form2 : public QWidget {
    Q_OBJECT

public:
    static constexpr int SeriesCount = 6;
    // The series drawn as small circles without a line; the others are lines.
    static constexpr int MarkerSeries = 2;

    explicit Form2(QWidget* parent = nullptr);

    ChartView& chartView() const { return *view_; }
    QChart& chart() const;
    QXYSeries& series(int index) const;
    QValueAxis& axisX() const { return *axisX_; }
    QValueAxis& axisY() const { return *axisY_; }

    void setSeriesTitle(int index, const QString& title);
    // Adds the point to the series and returns the index at which it stands.
    int addPoint(int index, QPointF point, const QString& label, const QColor& colour);
    QString pointLabel(int series, int point) const;
    QColor pointColour(int series, int point) const;
    // Removes every point of every series; the titles stay.
    void clearPoints();

    // The checkable context-menu item "Show traced envelope", off at first.
    // While it is checked the traced curve is drawn as a thin grey line over
    // the series, with its named points as markers, and the axes take them
    // in; unchecked, the chart is as it was.
    QAction& showTracedAction() const { return *showTraced_; }
    // Gives the traced curve and its named points (replacing any before).
    void setTracedOverlay(const QList<QPointF>& curve, const QList<QPair<QString, QPointF>>& markers);
    bool hasTracedOverlay() const { return !overlay_.isEmpty(); }
    // The overlay's series: the curve first, then one per named point.
    const QList<QXYSeries*>& tracedSeries() const { return overlay_; }

    // The window's picture, the chart with its label column, as the window
    // shows it: an SVG drawing or a PNG image; empty when it could not be drawn.
    enum class PictureFormat { Png, Svg };
    QByteArray picture(PictureFormat format);
    // Writes the picture into the file, an SVG drawing where the name ends in
    // ".svg", otherwise a PNG image, and replaces the file only with a
    // complete new one. When that fails, false, with the reason in problem if
    // given.
    bool saveImage(const QString& fileName, QString* problem = nullptr);
    // Prints the picture on one page, as large as fits with its proportions
    // kept and at the top; false when the printer could not be started.
    bool print(QPrinter& printer);

public slots:
    // Asks for a file name and saves the picture there.
    void saveChartAs();
    // Puts the picture on the clipboard as an image.
    void copyChart();
    // Asks for a printer and prints the picture.
    void printChart();

signals:
    // The item was checked while the form has no overlay to show.
    void tracedOverlayWanted();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct PointStyle {
        QString label;
        QColor colour;
    };

    void fitAxesToData();
    void showTracedOverlay(bool shown);

    ChartView* view_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    std::array<QXYSeries*, SeriesCount> series_{};
    std::array<QList<PointStyle>, SeriesCount> styles_;
    std::array<QLabel*, 5> labels_{};
    QAction* showTraced_;
    QList<QXYSeries*> overlay_;
    bool overlayOnChart_ = false;
};

} // namespace envelope
