#pragma once
// Points beside a traced envelope, for the tests that compare the condition
// check with the tracer.

#include <cmath>
#include <vector>

#include "trace/trace.h"

namespace envelope::test {

// A traced point and the points moved from it by an offset along the
// curve's normal in (ln T, ln P), one inside the two-phase region and one
// outside.
struct BesideTrace {
    trace::TracePoint point;
    double insideT, insideP, outsideT, outsideP;
};

// Beside every traced point but the ends. The trace runs up the dew curve,
// through the critical point and down the bubble curve, so the inside lies
// to the left of its direction; the direction is the chord between the
// point's neighbours. Where it turns by more than 0.3 radians from one chord
// to the next the point is left out, and so are points below minTemperature
// and those within 0.01 of the critical point, where the two branches lie
// closer together than the offsets the tests use (the same points for any
// offset, so that lists for several offsets go together).
inline std::vector<BesideTrace> PointsBeside(const trace::TracedEnvelope& traced, double offset,
                                             double minTemperature = 0.0)
{
    constexpr double MaxTurn = 0.3;
    std::vector<BesideTrace> beside;
    for (std::size_t i = 1; i + 1 < traced.points.size(); ++i) {
        const trace::TracePoint &before = traced.points[i - 1], &point = traced.points[i],
                                &after = traced.points[i + 1];
        if (point.temperature < minTemperature ||
            (traced.critical.found && std::hypot(std::log(point.temperature / traced.critical.temperature),
                                                 std::log(point.pressure / traced.critical.pressure)) < 0.01))
            continue;
        const double t0 = std::log(point.temperature), p0 = std::log(point.pressure);
        const double ax = t0 - std::log(before.temperature), ay = p0 - std::log(before.pressure);
        const double bx = std::log(after.temperature) - t0, by = std::log(after.pressure) - p0;
        if (std::fabs(std::atan2(ax * by - ay * bx, ax * bx + ay * by)) > MaxTurn)
            continue;
        const double dx = ax + bx, dy = ay + by, length = std::hypot(dx, dy);
        const double nt = -offset * dy / length, np = offset * dx / length;
        beside.push_back({point, std::exp(t0 + nt), std::exp(p0 + np), std::exp(t0 - nt), std::exp(p0 - np)});
    }
    return beside;
}

// The example cases the condition tests compare with their traced
// envelopes, and the temperature each is compared above: below the triple
// point of CO2 (216.58 K) the CO2-rich liquid splits into two liquids by the
// equation of state (below about 110 K), beside a bubble curve the tracer
// follows down to 69 K.
struct ExampleCase {
    const char* fileName;
    double minTemperature;
};

inline constexpr ExampleCase ConditionExamples[] = {
    {"natural-gas.json", 0.0}, {"gas-condensate.json", 0.0}, {"co2-rich.json", 216.58}};

} // namespace envelope::test
