#pragma once
// In-memory chart: used by the headless mode and by the run's tests.

#include <array>
#include <string>
#include <vector>

#include "envelope/chart.h"

namespace envelope {

struct ChartPoint {
    double x = 0.0;
    double y = 0.0;
    std::string label;
    Colour colour = 0;
    bool operator==(const ChartPoint&) const = default;
};

struct ChartSeries {
    std::string title;
    std::vector<ChartPoint> points; // ascending x, equal x in insertion order
};

class MemoryChart final : public Chart {
public:
    void setSeriesTitle(int series, const std::string& title) override;
    int addPoint(int series, double x, double y, const std::string& label, Colour colour) override;

    const ChartSeries& series(int index) const;

private:
    std::array<ChartSeries, SeriesCount> series_;
};

} // namespace envelope
