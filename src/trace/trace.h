#pragma once
// The complete two-phase boundary of a mixture, traced by continuation from
// the dew point at low pressure through the critical point to the bubble
// point at the same pressure, with the critical point, the cricondenbar and
// the cricondentherm located on it.

#include <string>
#include <vector>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"

namespace envelope::trace {

enum class TracePhase { Dew, Bubble };

struct TracePoint {
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
    TracePhase phase = TracePhase::Dew;
};

struct CharacteristicPoint {
    bool found = false;
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
};

enum class TraceStatus {
    Complete,     // from the dew point at the start pressure to the bubble point there
    NoStart,      // no dew point found at any of the start pressures tried
    NotConverged, // a point did not converge even at the smallest step
    OutOfRange,   // the curve left the range of temperature and pressure traced
    PointLimit,   // the curve did not close within the point limit
    Open,         // the curve fell back to the start pressure without a critical point
};

struct TracedEnvelope {
    std::vector<TracePoint> points;
    CharacteristicPoint critical;
    double criticalVolume = 0.0; // m3/mol, of the feed at the critical point
    CharacteristicPoint cricondenbar;
    CharacteristicPoint cricondentherm;
    double startPressure = 0.0; // bar
    TraceStatus status = TraceStatus::NoStart;
    std::string reason; // where and why the trace stopped, for a status other than Complete
};

struct TraceOptions {
    double startPressure = 1.0; // bar; higher ones are tried when no dew point converges there
    double maxStep = 0.5;       // largest change of the fixed unknown per point
    int maxPoints = 1000;
};

// Traces the mixture's envelope with the model. A mixture that is not usable
// (fewer than two components, lengths that disagree, non-finite or
// non-positive constants, negative or all-zero feed) raises NumericalFault; a
// curve that cannot be followed ends with what was traced and the status says
// where.
TracedEnvelope TraceEnvelope(const Mixture& mixture, const CubicModel& model, const TraceOptions& options = {});

// The same with the Soave-Redlich-Kwong model.
inline TracedEnvelope TraceEnvelope(const Mixture& mixture, const TraceOptions& options = {})
{
    return TraceEnvelope(mixture, SoaveRedlichKwong, options);
}

} // namespace envelope::trace
