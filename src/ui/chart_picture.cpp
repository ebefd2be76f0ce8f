#include "ui/chart_picture.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

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

QByteArray ChartPicture(const MemoryChart& chart, const QString& fileName)
{
    if (!IsChartPictureName(fileName))
        return {};
    QtChart window;
    ReplayChart(chart, window);
    // The window writes its picture only to a named file: that file lies in a
    // private temporary directory, and the caller decides where the bytes go.
    const QTemporaryDir scratch;
    if (!scratch.isValid())
        return {};
    const QString picture = scratch.filePath(QStringLiteral("chart.") + PictureSuffix(fileName));
    if (!window.form()->saveImage(picture))
        return {};
    QFile file(picture);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

} // namespace envelope
