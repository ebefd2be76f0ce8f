#include "envelope/fraction_points.h"

#include "envelope/run_workspace.h"

namespace envelope {

void FractionPointLog::setSeriesTitle(int series, const std::string& title)
{
    target_.setSeriesTitle(series, title);
}

int FractionPointLog::addPoint(int series, double x, double y, const std::string& label, Colour colour)
{
    // A point the target refuses raises the fault before it is recorded.
    const int at = target_.addPoint(series, x, y, label, colour);
    for (const FractionLine& line : FractionLines)
        if (line.series == series)
            points_.push_back(FractionPoint{line.target, x, y});
    return at;
}

} // namespace envelope
