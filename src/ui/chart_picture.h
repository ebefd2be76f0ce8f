#pragma once
// The picture of a chart held in memory, drawn by the chart window: the
// chart with its legend labels, at the window's size, as PNG or SVG.

#include <QByteArray>
#include <QString>

#include "envelope/chart.h"
#include "envelope/memory_chart.h"
#include "envelope/traced_overlay.h"

namespace envelope {

// True when the name ends in ".png" or ".svg", in any letter case.
bool IsChartPictureName(const QString& fileName);

// Gives every series of the target the title and the points of the same
// series of the source, the points in the source's order (ascending x).
void ReplayChart(const MemoryChart& source, Chart& target);

// Draws the chart in a chart window that is never shown and returns the
// picture in the format that the name's suffix asks for (IsChartPictureName),
// or an empty array when it could not be drawn. Needs a QApplication.
// With an overlay, the traced envelope is drawn over the chart as the
// window's "Show traced envelope" item draws it; with fullLegend, the legend
// names every series, as for a mixture other than the built-in case; with
// bridgeEstimate, the spline points are drawn as an estimate.
QByteArray ChartPicture(const MemoryChart& chart, const QString& fileName, const TracedOverlay* overlay = nullptr,
                        bool fullLegend = false, bool bridgeEstimate = false);

} // namespace envelope
