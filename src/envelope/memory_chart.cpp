#include "envelope/memory_chart.h"

#include <algorithm>

#include "thermo/numerical_fault.h"

namespace envelope {

void MemoryChart::setSeriesTitle(int series, const std::string& title)
{
    At(series_, series).title = title;
}

int MemoryChart::addPoint(int series, double x, double y, const std::string& label, Colour colour)
{
    auto& points = At(series_, series).points;
    // A point that is not a finite number has no place in the x order.
    Finite(x);
    Finite(y);
    const auto at = std::upper_bound(points.begin(), points.end(), x,
                                     [](double value, const ChartPoint& point) { return value < point.x; });
    const auto inserted = points.insert(at, ChartPoint{x, y, label, colour});
    return static_cast<int>(inserted - points.begin());
}

const ChartSeries& MemoryChart::series(int index) const
{
    return At(series_, index);
}

} // namespace envelope
