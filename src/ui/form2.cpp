#include "ui/form2.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QBuffer>
#include <QChart>
#include <QCloseEvent>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QMenu>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include "thermo/numerical_fault.h"
#include "ui/chart_view.h"
#include "ui/legend_entry.h"
#include "ui/look.h"
#include "ui/unit_choice.h"
#include "output/output_files.h"

namespace envelope {

namespace {

// The chart's rectangle, and the client area that shows the label column
// beside it with as wide a margin to its right as between chart and labels.
constexpr QRect ChartRect = TwipsRect(0, 0, 13455, 9240);
constexpr int LabelLeft = 13560;
constexpr int LabelWidth = 1455;
constexpr int LabelHeight = 255;
constexpr int LabelGap = Pixels(LabelLeft) - Pixels(13455);
constexpr int ClientWidth = Pixels(LabelLeft + LabelWidth) + LabelGap;
constexpr int ClientHeight = Pixels(9240);
constexpr int RoomRightOfChart = ClientWidth - Pixels(13455);

struct LegendLabel {
    const char* caption;
    int top;
    QRgb background;
    QRgb text;
};

constexpr QRgb DefaultText = qRgb(0, 0, 0);
constexpr std::array<LegendLabel, 5> LegendLabels{{
    {"Bubble", 720, qRgb(0, 0, 255), qRgb(255, 255, 255)},
    {"vapor fraction 0.05", 1080, qRgb(255, 255, 128), DefaultText},
    {"vapor fraction 0.3", 1440, qRgb(0, 0, 64), qRgb(255, 255, 255)},
    {"vapor fraction 0.5", 1800, qRgb(0, 255, 255), DefaultText},
    {"Dew", 2160, qRgb(255, 0, 0), qRgb(255, 255, 255)},
}};

const QColor Panel(196, 196, 196);
const QColor TracedLine(128, 128, 128);
const QColor GridLines(196, 196, 196);
constexpr int MarkerDiameter = 5;
// Spline points drawn as an estimate: hollow, grey and a little larger.
const QColor EstimateColour(96, 96, 96);
constexpr int EstimateDiameter = 7;

// How the traced envelope's named points are drawn, in the order given: of
// growing sizes, the larger ones hollow, so that each stays in sight where
// they crowd; the critical point in orange, apart from the black spline
// points around it.
struct TracedMarkerStyle {
    QScatterSeries::MarkerShape shape;
    LegendEntry::Symbol symbol;
    QRgb colour;
    int diameter;
};
constexpr std::array<TracedMarkerStyle, 3> TracedMarkerStyles{{
    {QScatterSeries::MarkerShapeCircle, LegendEntry::Symbol::Circle, qRgb(230, 110, 0), 9},
    {QScatterSeries::MarkerShapeRectangle, LegendEntry::Symbol::HollowSquare, qRgb(0, 128, 0), 13},
    {QScatterSeries::MarkerShapeTriangle, LegendEntry::Symbol::HollowTriangle, qRgb(192, 0, 192), 17},
}};
// Checked conditions: diamonds above the curves, filled for two phases,
// hollow for one, hollow and grey where the check failed; in the legend after
// the traced envelope's entries, in the order of ConditionKind.
const QColor ConditionColour(0, 120, 140);
const QColor NotCheckedColour(120, 120, 120);
constexpr int ConditionDiameter = 13;
// The room between two legend entries below the labels.
constexpr int EntryGap = 6;
// The printed picture has this many pixels for each pixel on the screen.
constexpr int PrintScale = 4;
// About as many tick intervals along each axis.
constexpr int TickIntervals = 10;

// 1, 2 or 5 times a power of ten, at least span / intervals.
double NiceStep(double span, int intervals)
{
    const double raw = span / intervals;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (const double multiple : {1.0, 2.0, 5.0})
        if (multiple * power >= raw * (1.0 - 1e-9))
            return multiple * power;
    return 10.0 * power;
}

void UseNiceTicks(QValueAxis& axis)
{
    const double span = axis.max() - axis.min();
    if (!(span > 0.0) || !std::isfinite(span))
        return;
    axis.setTickAnchor(0.0);
    axis.setTickInterval(NiceStep(span, TickIntervals));
}

QString TemperatureTitle(TemperatureUnit unit)
{
    return QStringLiteral("T (%1)").arg(UnitSymbol(unit));
}

QString PressureTitle(PressureUnit unit)
{
    return QStringLiteral("P (%1)").arg(UnitSymbol(unit));
}

QValueAxis* NewAxis(const QString& title, bool gridLines)
{
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setTitleFont(DialogFont());
    axis->setTitleBrush(QBrush(Qt::black));
    axis->setLabelsFont(ChartFont(11));
    axis->setLabelsColor(Qt::black);
    axis->setLabelFormat(QStringLiteral("%g"));
    // Ticks are drawn by the view, inside the plot area; the frame of the
    // plot area stands for the axis line.
    axis->setLineVisible(false);
    axis->setTickType(QValueAxis::TicksDynamic);
    axis->setMinorTickCount(3);
    axis->setGridLineVisible(gridLines);
    axis->setGridLinePen(QPen(GridLines, 1, Qt::SolidLine));
    axis->setMinorGridLineVisible(false);
    axis->setShadesVisible(false);
    axis->setRange(0.0, 1.0);
    UseNiceTicks(*axis);
    QObject::connect(axis, &QValueAxis::rangeChanged, axis, [axis] { UseNiceTicks(*axis); });
    return axis;
}

QXYSeries* NewSeries(int index)
{
    QXYSeries* series = nullptr;
    if (index == Form2::MarkerSeries) {
        auto* markers = new QScatterSeries;
        markers->setMarkerShape(QScatterSeries::MarkerShapeCircle);
        markers->setMarkerSize(MarkerDiameter);
        markers->setColor(Qt::black);
        markers->setBorderColor(Qt::black);
        series = markers;
    } else {
        auto* line = new QLineSeries;
        line->setPointsVisible(false);
        series = line;
    }
    series->setObjectName(QStringLiteral("Series%1").arg(index));
    series->setPointLabelsVisible(false);
    series->setPointLabelsFont(ChartFont(11));
    return series;
}

QChart* NewChart()
{
    auto* chart = new QChart;
    chart->setBackgroundBrush(Panel);
    chart->setBackgroundPen(QPen(Qt::black, 1));
    chart->setBackgroundRoundness(0);
    chart->setDropShadowEnabled(false);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundPen(QPen(Qt::black, 1));
    chart->setPlotAreaBackgroundVisible(true);
    chart->setMargins(QMargins(8, 8, 16, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setTitle(QString());
    chart->setTitleFont([] {
        QFont font = ChartFont(13);
        font.setBold(true);
        return font;
    }());
    chart->setTitleBrush(QBrush(Qt::black));
    chart->legend()->setVisible(false);
    chart->legend()->setFont(ChartFont(12));
    return chart;
}

// The SVG generator names only the first family of a font, which may not be
// installed where the drawing is viewed. Every family that the windows ask
// for is named instead, in their order, then the kind of font.
void NameEveryFamily(QByteArray& svg)
{
    for (const QFont& font : {DialogFont(), ChartFont(11)}) {
        QStringList families;
        for (const QString& family : font.families())
            families << QLatin1Char('\'') + family + QLatin1Char('\'');
        families << (font.styleHint() == QFont::TypeWriter ? QStringLiteral("monospace")
                                                            : QStringLiteral("sans-serif"));
        svg.replace("font-family=\"" + font.families().value(0).toUtf8() + '"',
                    "font-family=\"" + families.join(QStringLiteral(", ")).toUtf8() + '"');
    }
}

} // namespace

Form2::Form2(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("Form2"));
    setWindowTitle(QStringLiteral("Envelope"));
    setFont(DialogFont());

    QChart* chart = NewChart();
    axisX_ = NewAxis(TemperatureTitle(units_.temperature), false);
    axisY_ = NewAxis(PressureTitle(units_.pressure), true);
    chart->addAxis(axisX_, Qt::AlignBottom);
    chart->addAxis(axisY_, Qt::AlignLeft);
    for (int index = 0; index < SeriesCount; ++index) {
        QXYSeries* series = NewSeries(index);
        chart->addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        series_[static_cast<std::size_t>(index)] = series;
    }

    view_ = new ChartView(chart, this);
    view_->setObjectName(QStringLiteral("TChart1"));
    view_->setRenderHint(QPainter::Antialiasing);
    view_->setGeometry(ChartRect);
    connect(view_, &ChartView::saveRequested, this, &Form2::saveChartAs);
    connect(view_, &ChartView::copyRequested, this, &Form2::copyChart);
    connect(view_, &ChartView::printRequested, this, &Form2::printChart);
    showTraced_ = new QAction(tr("Show traced envelope"), this);
    showTraced_->setObjectName(QStringLiteral("ShowTracedEnvelope"));
    showTraced_->setCheckable(true);
    showTraced_->setChecked(false);
    connect(showTraced_, &QAction::toggled, this, &Form2::showTracedOverlay);
    view_->addMenuAction(showTraced_);

    for (std::size_t i = 0; i < LegendLabels.size(); ++i) {
        const LegendLabel& legend = LegendLabels[i];
        auto* label = new QLabel(QString::fromLatin1(legend.caption), this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        label->setGeometry(TwipsRect(LabelLeft, legend.top, LabelWidth, LabelHeight));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        label->setAutoFillBackground(true);
        QPalette colours = label->palette();
        colours.setColor(QPalette::Window, QColor(legend.background));
        colours.setColor(QPalette::WindowText, QColor(legend.text));
        label->setPalette(colours);
        labels_[i] = label;
    }
    setTabOrder(view_, labels_[0]);
    for (std::size_t i = 1; i < labels_.size(); ++i)
        setTabOrder(labels_[i - 1], labels_[i]);

    // The further entries: the spline points, the traced curve, its points;
    // then the kinds of condition.
    const auto addEntry = [this](const char* name, LegendEntry::Symbol symbol, const QColor& colour,
                                 const QString& text, QList<LegendEntry*>* entries = nullptr) {
        auto* entry = new LegendEntry(symbol, colour, text, this);
        entry->setObjectName(QString::fromLatin1(name));
        entry->hide();
        (entries != nullptr ? *entries : entries_).append(entry);
    };
    addEntry("LegendSplinePoints", LegendEntry::Symbol::Circle, Qt::black, tr("spline points"));
    addEntry("LegendTracedEnvelope", LegendEntry::Symbol::Line, TracedLine, tr("traced envelope"));
    const char* const markerNames[] = {"LegendTracedPoint1", "LegendTracedPoint2", "LegendTracedPoint3"};
    for (std::size_t i = 0; i < TracedMarkerStyles.size(); ++i)
        addEntry(markerNames[i], TracedMarkerStyles[i].symbol, QColor(TracedMarkerStyles[i].colour), QString());
    addEntry("LegendConditionTwoPhases", LegendEntry::Symbol::Diamond, ConditionColour, tr("condition: 2 phases"),
             &conditionEntries_);
    addEntry("LegendConditionOnePhase", LegendEntry::Symbol::HollowDiamond, ConditionColour, tr("condition: 1 phase"),
             &conditionEntries_);
    addEntry("LegendConditionNotChecked", LegendEntry::Symbol::HollowDiamond, NotCheckedColour,
             tr("condition not checked"), &conditionEntries_);

    resize(ClientWidth, ClientHeight);
    move(Pixels(1125), Pixels(705));
}

QChart& Form2::chart() const
{
    return *view_->chart();
}

QXYSeries& Form2::series(int index) const
{
    return *At(series_, index);
}

void Form2::setSeriesTitle(int index, const QString& title)
{
    series(index).setName(title);
}

int Form2::addPoint(int index, QPointF point, const QString& label, const QColor& colour)
{
    QXYSeries& target = series(index);
    const QList<QPointF>& points = At(values_, index);
    const auto after = std::upper_bound(points.begin(), points.end(), point.x(),
                                        [](double x, const QPointF& p) { return x < p.x(); });
    const auto at = static_cast<int>(after - points.begin());
    values_[static_cast<std::size_t>(index)].insert(at, point);
    target.insert(at, shown(point));
    QList<PointStyle>& styles = styles_[static_cast<std::size_t>(index)];
    styles.insert(at, PointStyle{label, colour});

    // The series is drawn in the colour of its latest point; the markers of
    // points of another colour keep their own.
    target.setColor(colour);
    if (auto* markers = qobject_cast<QScatterSeries*>(&target))
        markers->setBorderColor(colour);
    QHash<int, QHash<QXYSeries::PointConfiguration, QVariant>> own;
    for (int i = 0; i < styles.size(); ++i)
        if (styles[i].colour != colour)
            own[i][QXYSeries::PointConfiguration::Color] = styles[i].colour;
    target.setPointsConfiguration(own);
    if (index == MarkerSeries)
        styleSplinePoints();

    fitAxesToData();
    return at;
}

QPointF Form2::pointValue(int series, int point) const
{
    return At(At(values_, series), point);
}

QPointF Form2::shown(QPointF value) const
{
    return {FromKelvin(value.x(), units_.temperature), FromBar(value.y(), units_.pressure)};
}

void Form2::showValues(QXYSeries& series, const QList<QPointF>& values) const
{
    QList<QPointF> points;
    points.reserve(values.size());
    for (const QPointF& value : values)
        points.append(shown(value));
    series.replace(points);
}

void Form2::setUnits(const Units& units)
{
    if (units == units_)
        return;
    // A zoomed view shows the same values afterwards.
    const bool zoomed = chart().isZoomed();
    const QPointF lowValue(ToKelvin(axisX_->min(), units_.temperature), ToBar(axisY_->min(), units_.pressure));
    const QPointF highValue(ToKelvin(axisX_->max(), units_.temperature), ToBar(axisY_->max(), units_.pressure));
    units_ = units;
    axisX_->setTitleText(TemperatureTitle(units_.temperature));
    axisY_->setTitleText(PressureTitle(units_.pressure));
    view_->setUnits(units_);
    for (std::size_t index = 0; index < series_.size(); ++index)
        showValues(*series_[index], values_[index]);
    for (qsizetype i = 0; i < overlay_.size(); ++i)
        showValues(*overlay_[i], overlayValues_[i]);
    for (qsizetype i = 0; i < conditions_.size(); ++i)
        showValues(*conditions_[i], {conditionValues_[i]});
    fitAxesToData();
    if (zoomed) {
        const QPointF low = chart().mapToPosition(shown(lowValue), series_[0]);
        const QPointF high = chart().mapToPosition(shown(highValue), series_[0]);
        chart().zoomIn(QRectF(low, high).normalized());
    }
}

void Form2::followUnits(UnitChoice& choice)
{
    setUnits(choice.units());
    connect(&choice, &UnitChoice::changed, this, &Form2::setUnits);
    auto* menu = new QMenu(tr("Units"), this);
    menu->setObjectName(QStringLiteral("ChartUnits"));
    choice.addMenusTo(*menu);
    view_->addMenuAction(menu->menuAction());
}

void Form2::setFullLegend(bool full)
{
    fullLegend_ = full;
    placeLegendEntries();
}

void Form2::setBridgeEstimate(bool estimate)
{
    bridgeEstimate_ = estimate;
    styleSplinePoints();
    entries_[0]->setText(estimate ? tr("spline points (estimate)") : tr("spline points"));
    entries_[0]->setSymbol(estimate ? LegendEntry::Symbol::HollowCircle : LegendEntry::Symbol::Circle,
                           estimate ? EstimateColour : QColor(Qt::black));
    placeLegendEntries();
}

void Form2::styleSplinePoints()
{
    auto& markers = static_cast<QScatterSeries&>(series(MarkerSeries));
    if (bridgeEstimate_) {
        markers.setBrush(Qt::NoBrush);
        markers.setBorderColor(EstimateColour);
        markers.setMarkerSize(EstimateDiameter);
        markers.setPointsConfiguration({});
    } else {
        markers.setMarkerSize(MarkerDiameter);
        if (markers.brush().style() == Qt::NoBrush) {
            const QColor colour = styles_[MarkerSeries].isEmpty() ? QColor(Qt::black)
                                                                  : styles_[MarkerSeries].constLast().colour;
            markers.setColor(colour);
            markers.setBorderColor(colour);
        }
    }
}

void Form2::placeLegendEntries()
{
    // The spline points are named for another mixture, or beside the traced
    // envelope; the traced entries while it is shown.
    const bool traced = overlayOnChart_;
    entries_[0]->setVisible(fullLegend_ || traced);
    entries_[1]->setVisible(traced);
    for (qsizetype i = 2; i < entries_.size(); ++i)
        entries_[i]->setVisible(traced && i - 1 < overlay_.size());
    for (qsizetype i = 0; i < conditionEntries_.size(); ++i)
        conditionEntries_[i]->setVisible(conditionKinds_.contains(static_cast<ConditionKind>(i)));
    int top = labels_.back()->geometry().bottom() + 1 + (Pixels(360) - Pixels(LabelHeight));
    for (LegendEntry* entry : entries_ + conditionEntries_) {
        if (entry->isHidden())
            continue;
        const int width = Pixels(LabelWidth);
        entry->setGeometry(labels_[0]->x(), top, width, entry->heightForWidth(width) > 0
                                                            ? entry->heightForWidth(width)
                                                            : entry->sizeHint().height());
        top = entry->geometry().bottom() + 1 + EntryGap;
    }
}

QString Form2::pointLabel(int series, int point) const
{
    return At(At(styles_, series), point).label;
}

QColor Form2::pointColour(int series, int point) const
{
    return At(At(styles_, series), point).colour;
}

void Form2::clearPoints()
{
    for (std::size_t index = 0; index < series_.size(); ++index) {
        series_[index]->clear();
        series_[index]->setPointsConfiguration({});
        styles_[index].clear();
        values_[index].clear();
    }
    setBridgeEstimate(false);
    chart().zoomReset();
    axisX_->setRange(0.0, 1.0);
    axisY_->setRange(0.0, 1.0);
    if (!conditions_.isEmpty())
        fitAxesToData();
}

void Form2::fitAxesToData()
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    double left = Infinity, right = -Infinity, bottom = Infinity, top = -Infinity;
    QList<const QXYSeries*> shown(series_.begin(), series_.end());
    if (overlayOnChart_)
        shown.append(QList<const QXYSeries*>(overlay_.begin(), overlay_.end()));
    shown.append(QList<const QXYSeries*>(conditions_.begin(), conditions_.end()));
    for (const QXYSeries* series : shown)
        for (const QPointF& point : series->points()) {
            left = std::min(left, point.x());
            right = std::max(right, point.x());
            bottom = std::min(bottom, point.y());
            top = std::max(top, point.y());
        }
    if (left > right)
        return;
    // A single value still gets an axis of some length around it.
    if (!(right > left)) {
        left -= 1.0;
        right += 1.0;
    }
    if (!(top > bottom)) {
        bottom -= 1.0;
        top += 1.0;
    }
    // The traced envelope's markers sit at its extremes, and a condition may
    // lie at the edge: a margin keeps them whole inside the plot area.
    if (overlayOnChart_ || !conditions_.isEmpty()) {
        const double marginX = 0.03 * (right - left), marginY = 0.03 * (top - bottom);
        left -= marginX;
        right += marginX;
        bottom -= marginY;
        top += marginY;
    }
    chart().zoomReset();
    axisX_->setRange(left, right);
    axisY_->setRange(bottom, top);
}

void Form2::setTracedOverlay(const QList<QPointF>& curve, const QList<QPair<QString, QPointF>>& markers,
                             const QString& verdict)
{
    const bool wasShown = overlayOnChart_;
    showTracedOverlay(false);
    qDeleteAll(overlay_);
    overlay_.clear();
    overlayValues_.clear();
    if (curve.isEmpty() && markers.isEmpty())
        return;

    auto* line = new QLineSeries(this);
    line->setObjectName(QStringLiteral("TracedEnvelope"));
    line->setName(tr("traced envelope"));
    line->setPen(QPen(TracedLine, 1));
    overlay_.append(line);
    overlayValues_.append(curve);
    entries_[1]->setText(verdict.isEmpty() ? tr("traced envelope") : tr("traced envelope: %1").arg(verdict));
    for (qsizetype i = 0; i < markers.size() && i < static_cast<qsizetype>(TracedMarkerStyles.size()); ++i) {
        const TracedMarkerStyle& style = TracedMarkerStyles[static_cast<std::size_t>(i)];
        auto* marker = new QScatterSeries(this);
        marker->setObjectName(QStringLiteral("TracedPoint%1").arg(i + 1));
        marker->setName(markers[i].first);
        marker->setMarkerShape(style.shape);
        marker->setMarkerSize(style.diameter);
        if (style.symbol == LegendEntry::Symbol::Circle) {
            marker->setColor(QColor(style.colour));
            marker->setBorderColor(QColor(style.colour));
        } else {
            marker->setBrush(Qt::NoBrush);
            marker->setPen(QPen(QColor(style.colour), 2));
        }
        overlay_.append(marker);
        overlayValues_.append({markers[i].second});
        entries_[i + 2]->setText(markers[i].first);
    }
    for (qsizetype i = 0; i < overlay_.size(); ++i)
        showValues(*overlay_[i], overlayValues_[i]);
    showTracedOverlay(wasShown || showTraced_->isChecked());
}

void Form2::showTracedOverlay(bool shown)
{
    if (shown && overlay_.isEmpty()) {
        emit tracedOverlayWanted();
        return; // the overlay, once given, shows itself
    }
    if (shown == overlayOnChart_)
        return;
    for (QXYSeries* series : overlay_) {
        if (shown) {
            chart().addSeries(series);
            series->attachAxis(axisX_);
            series->attachAxis(axisY_);
        } else {
            chart().removeSeries(series);
            series->setParent(this);
        }
    }
    overlayOnChart_ = shown;
    if (shown)
        raiseConditionSeries();
    placeLegendEntries();
    fitAxesToData();
}

void Form2::setConditionMarkers(const QList<ConditionMarker>& markers)
{
    for (QXYSeries* series : conditions_)
        chart().removeSeries(series);
    qDeleteAll(conditions_);
    conditions_.clear();
    conditionValues_.clear();
    conditionKinds_.clear();
    for (qsizetype i = 0; i < markers.size(); ++i) {
        const ConditionMarker& marker = markers[i];
        auto* series = new QScatterSeries(this);
        series->setObjectName(QStringLiteral("Condition%1").arg(i + 1));
        series->setName(marker.name);
        series->setMarkerShape(QScatterSeries::MarkerShapeRotatedRectangle);
        series->setMarkerSize(ConditionDiameter);
        if (marker.kind == ConditionKind::TwoPhases) {
            series->setColor(ConditionColour);
            series->setBorderColor(ConditionColour);
        } else {
            series->setBrush(Qt::NoBrush);
            series->setPen(QPen(marker.kind == ConditionKind::OnePhase ? ConditionColour : NotCheckedColour, 2));
        }
        // The number beside the diamond, as in the list of conditions.
        series->setPointLabelsFormat(QString::number(i + 1));
        series->setPointLabelsFont(ChartFont(11));
        series->setPointLabelsColor(marker.kind == ConditionKind::NotChecked ? NotCheckedColour : ConditionColour);
        series->setPointLabelsVisible(true);
        chart().addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
        showValues(*series, {marker.value});
        conditions_.append(series);
        conditionValues_.append(marker.value);
        conditionKinds_.append(marker.kind);
    }
    placeLegendEntries();
    fitAxesToData();
}

void Form2::raiseConditionSeries()
{
    // A chart draws its series in the order they were added.
    for (QXYSeries* series : conditions_) {
        chart().removeSeries(series);
        chart().addSeries(series);
        series->attachAxis(axisX_);
        series->attachAxis(axisY_);
    }
}

void Form2::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    if (event->isAccepted())
        emit closed();
}

void Form2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int chartWidth = std::max(1, width() - RoomRightOfChart);
    view_->setGeometry(0, 0, chartWidth, height());
    for (QLabel* label : labels_)
        label->move(chartWidth + LabelGap, label->y());
    for (LegendEntry* entry : entries_ + conditionEntries_)
        entry->move(chartWidth + LabelGap, entry->y());
}

QByteArray Form2::picture(PictureFormat format)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly))
        return {};
    if (format == PictureFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(&buffer);
        svg.setSize(size());
        svg.setViewBox(rect());
        // Fonts given in points take as many pixels as on the screen: at the
        // generator's own 72 dots per inch their text came out smaller.
        svg.setResolution(logicalDpiY());
        svg.setTitle(windowTitle());
        QPainter painter;
        if (!painter.begin(&svg))
            return {};
        render(&painter);
        if (!painter.end())
            return {};
        NameEveryFamily(bytes);
        return bytes;
    }
    if (!grab().save(&buffer, format == PictureFormat::Jpeg ? "JPEG" : "PNG"))
        return {};
    return bytes;
}

bool Form2::saveImage(const QString& fileName, QString* problem)
{
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    QString reason;
    QByteArray bytes;
    if (suffix == QLatin1String("svg"))
        bytes = picture(PictureFormat::Svg);
    else if (suffix == QLatin1String("jpg") || suffix == QLatin1String("jpeg"))
        bytes = picture(PictureFormat::Jpeg);
    else if (suffix == QLatin1String("png") || suffix.isEmpty())
        bytes = picture(PictureFormat::Png);
    else
        reason = tr("a chart is saved as .png, .svg or .jpg, not as .%1").arg(suffix);
    OutputFiles files;
    if (reason.isEmpty()) {
        if (bytes.isEmpty())
            reason = tr("the chart could not be drawn");
        else if (!files.add(QFile::encodeName(fileName).toStdString(), bytes.toStdString()) || !files.commit())
            reason = QString::fromStdString(files.problem());
    }
    if (problem != nullptr)
        *problem = reason;
    return reason.isEmpty();
}

bool Form2::print(QPrinter& printer)
{
    // The picture as the window shows it, fonts included, drawn at several
    // times the screen's resolution so that it stays sharp on paper.
    QImage image(size() * PrintScale, QImage::Format_RGB32);
    image.setDevicePixelRatio(PrintScale);
    image.fill(Qt::white);
    QPainter drawing(&image);
    render(&drawing);
    drawing.end();

    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF page(QPointF(0, 0), printer.pageLayout().paintRectPixels(printer.resolution()).size());
    const QSizeF fitted = QSizeF(size()).scaled(page.size(), Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRectF(QPointF(page.left() + (page.width() - fitted.width()) / 2, page.top()), fitted), image);
    return painter.end();
}

void Form2::copyChart()
{
    QGuiApplication::clipboard()->setImage(grab().toImage());
}

void Form2::printChart()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(windowTitle());
    QPrintDialog dialog(&printer, this);
    dialog.setObjectName(QStringLiteral("PrintChartDialog"));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!print(printer)) {
        QMessageBox message(QMessageBox::Warning, windowTitle(), tr("The chart could not be printed."), QMessageBox::Ok,
                            this);
        message.setObjectName(QStringLiteral("PrintChartProblem"));
        message.exec();
    }
}

void Form2::saveChartAs()
{
    const QString png = tr("PNG image (*.png)");
    const QString svg = tr("SVG image (*.svg)");
    const QString jpeg = tr("JPEG image (*.jpg *.jpeg)");
    QString filter = png;
    QString fileName = QFileDialog::getSaveFileName(this, tr("Save chart as"), QStringLiteral("envelope.png"),
                                                    png + QStringLiteral(";;") + svg + QStringLiteral(";;") + jpeg,
                                                    &filter);
    if (fileName.isEmpty())
        return;
    // A name without a suffix takes the type chosen; a name with one is
    // saved as that type or refused, never given a second suffix.
    if (QFileInfo(fileName).suffix().isEmpty())
        fileName += filter == svg ? QStringLiteral(".svg") : filter == jpeg ? QStringLiteral(".jpg") : QStringLiteral(".png");
    QString problem;
    if (saveImage(fileName, &problem))
        return;
    QMessageBox message(QMessageBox::Warning, windowTitle(), tr("The chart could not be saved: %1.").arg(problem),
                        QMessageBox::Ok, this);
    message.setTextFormat(Qt::PlainText);
    message.setObjectName(QStringLiteral("SaveChartProblem"));
    message.exec();
}

} // namespace envelope
