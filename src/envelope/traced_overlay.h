#pragma once
// The traced envelope as the chart draws it over the run's series: the curve
// in the order traced, the characteristic points that were found, each with
// its name, and the trace's verdict in words.

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
    // How the trace ended: trace::FormatVerdict of its verdict.
    std::string verdict;
};

TracedOverlay OverlayOf(const trace::TracedEnvelope& envelope);

// The traced envelope of a mixture a user gave, with the model. A mixture
// that fails CheckMixture, or that the tracer cannot use at all, is not
// traced: the envelope is empty, every characteristic point missing, and its
// verdict is stopped, the reason giving the problem. The options are the
// tracer's (a start pressure, say); the program traces with the defaults.
trace::TracedEnvelope TracedEnvelopeOf(const Mixture& mixture, const CubicModel& model = SoaveRedlichKwong,
                                       const trace::TraceOptions& options = {});

// The overlay of TracedEnvelopeOf: empty for a mixture that cannot be traced.
TracedOverlay TracedOverlayOf(const Mixture& mixture, const CubicModel& model = SoaveRedlichKwong);

} // namespace envelope
