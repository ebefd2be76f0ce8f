#pragma once
// The points of the constant vapour-fraction lines as data: the run draws them
// only as chart points, so a chart placed between the run and its real chart
// keeps a copy of each, in the order in which the run adds them.

#include <string>
#include <vector>

#include "envelope/chart.h"

namespace envelope {

struct FractionPoint {
    double fraction = 0.0;    // vapour fraction of the line
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
    bool operator==(const FractionPoint&) const = default;
};

// Passes every operation on to the target chart unchanged and in the same
// order, and records each point that the target accepted on one of the three
// vapour-fraction series.
class FractionPointLog final : public Chart {
public:
    explicit FractionPointLog(Chart& target) : target_(target) {}

    void setSeriesTitle(int series, const std::string& title) override;
    int addPoint(int series, double x, double y, const std::string& label, Colour colour) override;

    const std::vector<FractionPoint>& points() const { return points_; }

private:
    Chart& target_;
    std::vector<FractionPoint> points_;
};

} // namespace envelope
