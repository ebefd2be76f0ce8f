#include "ui/chart_picture.h"

#include <QFileInfo>

#include "ui/qt_chart.h"

namespace envelope {

namespace {

QString PictureSuffix(const QString& fileName)
{
    return QFileInfo(fileName).suffix().toLower();
}

} // namespace

bool IsChartPictureName(const QString& fileName)
{
    const QString suffix = PictureSuffix(fileName);
    return suffix == QLatin1String("png") || suffix == QLatin1String("svg");
}

void ReplayChart(const MemoryChart& source, Chart& target)
{
    for (int index = 0; index < Chart::SeriesCount; ++index) {
        const ChartSeries& series = source.series(index);
        target.setSeriesTitle(index, series.title);
        for (const ChartPoint& point : series.points)
            target.addPoint(index, point.x, point.y, point.label, point.colour);
    }
}

QByteArray ChartPicture(const MemoryChart& chart, const QString& fileName, const TracedOverlay* overlay,
                        bool fullLegend, bool bridgeEstimate)
{
    if (!IsChartPictureName(fileName))
        return {};
    QtChart window;
    ReplayChart(chart, window);
    window.form()->setFullLegend(fullLegend);
    window.form()->setBridgeEstimate(bridgeEstimate);
    if (overlay != nullptr) {
        window.setTracedOverlay(*overlay);
        window.form()->showTracedAction().setChecked(true);
    }
    return window.form()->picture(PictureSuffix(fileName) == QLatin1String("svg") ? Form2::PictureFormat::Svg
                                                                                    : Form2::PictureFormat::Png);
}

} // namespace envelope
