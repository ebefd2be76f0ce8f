#include "envelope/bridge_check.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace envelope {

BridgeDeviation MeasureBridge(const std::vector<trace::TracePoint>& bridge, const trace::TracedEnvelope& traced)
{
    BridgeDeviation deviation;
    const std::vector<trace::TracePoint>& curve = traced.points;
    if (bridge.empty() || curve.size() < 2 || traced.verdict.kind != trace::Verdict::Complete)
        return deviation;
    const auto [coldest, hottest] = std::minmax_element(
        curve.begin(), curve.end(), [](const auto& a, const auto& b) { return a.temperature < b.temperature; });
    const auto [lowest, highest] = std::minmax_element(
        curve.begin(), curve.end(), [](const auto& a, const auto& b) { return a.pressure < b.pressure; });
    const double spanT = hottest->temperature - coldest->temperature;
    const double spanP = highest->pressure - lowest->pressure;
    if (!(spanT > 0.0) || !(spanP > 0.0))
        return deviation;

    deviation.measured = true;
    for (const trace::TracePoint& point : bridge) {
        double nearest = std::numeric_limits<double>::infinity();
        trace::TracePoint foot;
        // The nearest point of each segment, in the scaled plane.
        for (std::size_t i = 0; i + 1 < curve.size(); ++i) {
            const double ax = curve[i].temperature / spanT, ay = curve[i].pressure / spanP;
            const double bx = curve[i + 1].temperature / spanT, by = curve[i + 1].pressure / spanP;
            const double px = point.temperature / spanT, py = point.pressure / spanP;
            const double dx = bx - ax, dy = by - ay;
            const double length = dx * dx + dy * dy;
            const double share = length > 0.0 ? std::clamp(((px - ax) * dx + (py - ay) * dy) / length, 0.0, 1.0) : 0.0;
            const double fx = ax + share * dx, fy = ay + share * dy;
            const double distance = std::hypot(px - fx, py - fy);
            if (distance < nearest) {
                nearest = distance;
                foot = {fx * spanT, fy * spanP, curve[i].phase};
            }
        }
        // A point that is not finite stays infinitely far off.
        if (nearest > deviation.largest) {
            deviation.largest = nearest;
            deviation.farthest = point;
            deviation.nearest = foot;
        }
    }
    return deviation;
}

} // namespace envelope
