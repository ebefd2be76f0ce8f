#pragma once
// How far the run's spline bridge strays from the traced envelope. Distances
// are taken in the pressure-temperature plane with each axis measured in
// units of the traced curve's own span, so that a kelvin and a bar weigh as
// they do on the chart.

#include <vector>

#include "trace/trace.h"

namespace envelope {

// A bridge point farther from the traced curve than this share of its spans
// is off the envelope; the bridge is then an estimate.
inline constexpr double BridgeTolerance = 0.02;

struct BridgeDeviation {
    // False when there was nothing to measure against: no bridge point, or a
    // traced curve that is not complete.
    bool measured = false;
    // The largest distance of a bridge point from the traced curve, in units
    // of the curve's spans.
    double largest = 0.0;
    // That bridge point, and the nearest point of the traced curve to it.
    trace::TracePoint farthest;
    trace::TracePoint nearest;

    bool IsEstimate() const { return measured && largest > BridgeTolerance; }
};

BridgeDeviation MeasureBridge(const std::vector<trace::TracePoint>& bridge, const trace::TracedEnvelope& traced);

} // namespace envelope
