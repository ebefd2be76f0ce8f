#include "ui/form2.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QBuffer>
#include <QChart>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGraphicsLayout>
#include <QGuiApplication>
#include <QImage>
#include <QLegend>
#include <QLineSeries>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include "thermo/numerical_fault.h"
#include "ui/chart_view.h"
#include "ui/look.h"
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
constexpr int TracedMarkerDiameter = 9;
const QColor GridLines(196, 196, 196);
constexpr int MarkerDiameter = 5;
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
    setAttribute(Qt::WA_DeleteOnClose);
    setFont(DialogFont());

    QChart* chart = NewChart();
    axisX_ = NewAxis(QStringLiteral("T (K)"), false);
    axisY_ = NewAxis(QStringLiteral("P (bar)"), true);
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
    const QList<QPointF> points = target.points();
    const auto after = std::upper_bound(points.begin(), points.end(), point.x(),
                                        [](double x, const QPointF& p) { return x < p.x(); });
    const auto at = static_cast<int>(after - points.begin());
    target.insert(at, point);
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

    fitAxesToData();
    return at;
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
    }
    chart().zoomReset();
    axisX_->setRange(0.0, 1.0);
    axisY_->setRange(0.0, 1.0);
}

void Form2::fitAxesToData()
{
    constexpr double Infinity = std::numeric_limits<double>::infinity();
    double left = Infinity, right = -Infinity, bottom = Infinity, top = -Infinity;
    QList<const QXYSeries*> shown(series_.begin(), series_.end());
    if (overlayOnChart_)
        shown.append(QList<const QXYSeries*>(overlay_.begin(), overlay_.end()));
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
    // The traced envelope's markers sit at its extremes: a margin keeps them
    // whole inside the plot area.
    if (overlayOnChart_) {
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

void Form2::setTracedOverlay(const QList<QPointF>& curve, const QList<QPair<QString, QPointF>>& markers)
{
    const bool shown = overlayOnChart_;
    showTracedOverlay(false);
    qDeleteAll(overlay_);
    overlay_.clear();
    if (curve.isEmpty() && markers.isEmpty())
        return;

    auto* line = new QLineSeries(this);
    line->setObjectName(QStringLiteral("TracedEnvelope"));
    line->setName(tr("traced envelope"));
    line->setPen(QPen(TracedLine, 1));
    line->append(curve);
    overlay_.append(line);
    const QScatterSeries::MarkerShape shapes[] = {QScatterSeries::MarkerShapeCircle,
                                                  QScatterSeries::MarkerShapeRectangle,
                                                  QScatterSeries::MarkerShapeTriangle};
    for (qsizetype i = 0; i < markers.size(); ++i) {
        auto* marker = new QScatterSeries(this);
        marker->setObjectName(QStringLiteral("TracedPoint%1").arg(i + 1));
        marker->setName(markers[i].first);
        marker->setMarkerShape(shapes[i % 3]);
        marker->setMarkerSize(TracedMarkerDiameter);
        marker->setColor(i == 0 ? QColor(Qt::black) : TracedLine.darker(150));
        marker->setBorderColor(Qt::black);
        marker->append(markers[i].second);
        overlay_.append(marker);
    }
    showTracedOverlay(shown || showTraced_->isChecked());
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
    fitAxesToData();
}

void Form2::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    const int chartWidth = std::max(1, width() - RoomRightOfChart);
    view_->setGeometry(0, 0, chartWidth, height());
    for (QLabel* label : labels_)
        label->move(chartWidth + LabelGap, label->y());
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
    if (!grab().save(&buffer, "PNG"))
        return {};
    return bytes;
}

bool Form2::saveImage(const QString& fileName, QString* problem)
{
    const bool svg = QFileInfo(fileName).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
    const QByteArray bytes = picture(svg ? PictureFormat::Svg : PictureFormat::Png);
    QString reason;
    OutputFiles files;
    if (bytes.isEmpty())
        reason = tr("the chart could not be drawn");
    else if (!files.add(QFile::encodeName(fileName).toStdString(), bytes.toStdString()) || !files.commit())
        reason = QString::fromStdString(files.problem());
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
    QString filter = png;
    QString fileName = QFileDialog::getSaveFileName(this, tr("Save chart as"), QStringLiteral("envelope.png"),
                                                    png + QStringLiteral(";;") + svg, &filter);
    if (fileName.isEmpty())
        return;
    const QString suffix = QFileInfo(fileName).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg"))
        fileName += filter == svg ? QStringLiteral(".svg") : QStringLiteral(".png");
    QString problem;
    if (saveImage(fileName, &problem))
        return;
    QMessageBox message(QMessageBox::Warning, windowTitle(), tr("The chart could not be saved: %1.").arg(problem),
                        QMessageBox::Ok, this);
    message.setObjectName(QStringLiteral("SaveChartProblem"));
    message.exec();
}

} // namespace envelope
