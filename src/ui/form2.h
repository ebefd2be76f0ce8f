#pragma once
// The chart window: the chart TChart1 with its six series, pressure in bar
// against temperature in K, and the column of legend labels Label1 to Label5
// to its right. The window opens wide enough to show the whole label column;
// when it is resized the chart takes the room and the labels keep beside it.
// Every series keeps its points in ascending order of x, a point of equal x
// going after those already there, and the axes follow the data.
// Points are given in K and bar and shown in the units chosen (K and bar
// until another choice); the values given are kept, so a change of units
// loses nothing. Below the labels, further legend entries name the spline
// points, the traced envelope and its three points where there is something
// to name: for a mixture other than the built-in case, or while the traced
// envelope is shown. Checked conditions are drawn above every curve, each
// named by its number and answer, with a legend entry for each kind of
// answer shown. Closing the window hides it (closed()); it keeps its
// points, zoom and traced envelope until its owner clears it.

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

#include "units/units.h"

class QChart;
class QPrinter;
class QValueAxis;

namespace envelope {

class ChartView;
class LegendEntry;
class UnitChoice;

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
    // The point as given (K, bar), whatever the units shown.
    QPointF pointValue(int series, int point) const;

    // The units the axes, the series and the readout show.
    const Units& units() const { return units_; }
    void setUnits(const Units& units);
    // Follows the choice from now on and offers it in the context menu.
    void followUnits(UnitChoice& choice);

    // Names every series in the legend, not only the five labels: for a
    // mixture other than the built-in case.
    void setFullLegend(bool full);
    // Draws the spline points hollow and names them an estimate.
    void setBridgeEstimate(bool estimate);
    bool bridgeEstimate() const { return bridgeEstimate_; }
    // The legend entries below the labels: the spline points, the traced
    // envelope and its named points, in that order; hidden where they name
    // nothing.
    const QList<LegendEntry*>& legendEntries() const { return entries_; }
    // The legend entries below those: a condition of two phases, of one, and
    // one not checked; each shown while such a condition is drawn.
    const QList<LegendEntry*>& conditionLegendEntries() const { return conditionEntries_; }

    // The checkable context-menu item "Show traced envelope", off at first.
    // While it is checked the traced curve is drawn as a thin grey line over
    // the series, with its named points as markers, and the axes take them
    // in; unchecked, the chart is as it was.
    QAction& showTracedAction() const { return *showTraced_; }
    // Gives the traced curve (K, bar) and its named points (replacing any
    // before), with the verdict on the trace that its legend entry shows.
    // The named points are the critical point, the cricondenbar and the
    // cricondentherm, in that order: each is drawn in a shape and colour of
    // its own (a filled circle, a hollow square, a hollow triangle, of
    // growing sizes), so that they stay apart where they crowd.
    void setTracedOverlay(const QList<QPointF>& curve, const QList<QPair<QString, QPointF>>& markers,
                          const QString& verdict = {});
    bool hasTracedOverlay() const { return !overlay_.isEmpty(); }
    // The overlay's series: the curve first, then one per named point.
    const QList<QXYSeries*>& tracedSeries() const { return overlay_; }

    // A checked condition as the chart draws it: a diamond, filled for two
    // phases, hollow for one, hollow and grey for a condition that could not
    // be checked; named (for the readout) by what the check answered.
    enum class ConditionKind { TwoPhases, OnePhase, NotChecked };
    struct ConditionMarker {
        QString name;
        QPointF value; // K, bar
        ConditionKind kind = ConditionKind::NotChecked;
    };
    // Replaces the conditions drawn, one series each, above every other
    // series; the axes take them in. Clearing the points leaves them.
    void setConditionMarkers(const QList<ConditionMarker>& markers);
    const QList<QXYSeries*>& conditionSeries() const { return conditions_; }

    // The window's picture, the chart with its label column, as the window
    // shows it: an SVG drawing or a PNG image; empty when it could not be drawn.
    enum class PictureFormat { Png, Svg, Jpeg };
    QByteArray picture(PictureFormat format);
    // Writes the picture into the file, an SVG drawing where the name ends in
    // ".svg", a JPEG image where it ends in ".jpg" or ".jpeg", a PNG image
    // where it ends in ".png" or has no suffix (in any letter case), and
    // replaces the file only with a complete new one. Any other suffix is
    // refused. When that
    // fails, false, with the reason in problem if given.
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
    // The window was closed (it is hidden, not deleted).
    void closed();

protected:
    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    struct PointStyle {
        QString label;
        QColor colour;
    };

    void fitAxesToData();
    void showTracedOverlay(bool shown);
    // The value as shown in the units chosen.
    QPointF shown(QPointF value) const;
    void showValues(QXYSeries& series, const QList<QPointF>& values) const;
    void styleSplinePoints();
    void placeLegendEntries();
    // Puts the conditions' series back on top after others were added.
    void raiseConditionSeries();

    ChartView* view_;
    QValueAxis* axisX_;
    QValueAxis* axisY_;
    std::array<QXYSeries*, SeriesCount> series_{};
    std::array<QList<PointStyle>, SeriesCount> styles_;
    std::array<QList<QPointF>, SeriesCount> values_;
    std::array<QLabel*, 5> labels_{};
    QAction* showTraced_;
    QList<QXYSeries*> overlay_;
    QList<QList<QPointF>> overlayValues_;
    bool overlayOnChart_ = false;
    Units units_;
    QList<QXYSeries*> conditions_;
    QList<QPointF> conditionValues_;
    QList<ConditionKind> conditionKinds_;
    QList<LegendEntry*> entries_;
    QList<LegendEntry*> conditionEntries_;
    bool fullLegend_ = false;
    bool bridgeEstimate_ = false;
};

} // namespace envelope
