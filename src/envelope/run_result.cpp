#include "envelope/run_result.h"

#include "envelope/text_format.h"
#include "thermo/numerical_fault.h"

namespace envelope {

ShownPoint ReadBack(const ResultRow& row)
{
    return {Finite(ReadLeadingNumber(row.cells[1]) + KelvinOffset), ReadLeadingNumber(row.cells[2])};
}

std::vector<FractionPoint> FractionPoints(const RunResult& result)
{
    std::vector<FractionPoint> points;
    for (const ResultPoint& point : result.points)
        for (const FractionLine& line : FractionLines)
            if (point.series == line.series)
                points.push_back({line.target, point.temperature, point.pressure});
    return points;
}

} // namespace envelope
