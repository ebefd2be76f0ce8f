#pragma once
// The traced envelope as the chart draws it over the run's series: the curve
// in the order traced and the characteristic points that were found, each
// with its name.

#include <string>
#include <vector>

#include "thermo/mixture.h"
#include "trace/trace.h"

namespace envelope {

struct TracedMarker {
    std::string name;
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
};

struct TracedOverlay {
    struct Point {
        double temperature = 0.0; // K
        double pressure = 0.0;    // bar
    };
    std::vector<Point> curve;
    std::vector<TracedMarker> markers;
    // How the trace ended (TraceVerdictText).
    std::string verdict;
};

TracedOverlay OverlayOf(const trace::TracedEnvelope& envelope);

// Traces the mixture with the model; one that the tracer cannot use at all
// gives an empty envelope, every point missing, with the fault as its reason.
trace::TracedEnvelope TracedEnvelopeOf(const Mixture& mixture, const CubicModel& model = SoaveRedlichKwong);

// Traces the mixture with the model; one that cannot be traced at all gives
// an empty overlay.
TracedOverlay TracedOverlayOf(const Mixture& mixture, const CubicModel& model);

} // namespace envelope
