#pragma once
// The complete two-phase boundary of a mixture, traced by continuation from
// the dew point at low pressure through the critical point to the bubble
// point at the same pressure, with the critical point, the cricondenbar and
// the cricondentherm located on it.

#include <string>
#include <vector>

#include "thermo/cubic_model.h"
#include "thermo/mixture.h"
#include "trace/verdict.h"

namespace envelope::trace {

// Which point of the curve: the feed at its dew point (before the critical
// point), the critical point itself, or the feed at its bubble point.
enum class TracePhase { Dew, Critical, Bubble };

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

// The traced curve in the order traced, with its characteristic points. A
// characteristic point is found only when it passed its checks: the
// critical point was bracketed by converged points on both sides and
// satisfies the criticality conditions (it is then also a point of the
// curve, phase Critical); the cricondenbar and cricondentherm are the
// largest of the curve's local maxima of pressure and temperature, and lie
// at or above every traced point.
struct TracedEnvelope {
    std::vector<TracePoint> points;
    CharacteristicPoint critical;
    double criticalVolume = 0.0; // m3/mol, of the feed at the critical point
    CharacteristicPoint cricondenbar;
    CharacteristicPoint cricondentherm;
    // Where the envelope turns from one saturation curve onto another at a
    // corner of a three-phase region (the feed saturated with two incipient
    // phases at once): a point of the curve, found only where there is one.
    CharacteristicPoint corner;
    double startPressure = 0.0; // bar
    TraceVerdict verdict;
};

struct TraceOptions {
    double startPressure = 1.0; // bar; higher ones are tried when no dew point converges there
    double maxStep = 0.5;       // largest change of the fixed unknown per point
    int maxPoints = 1000;
};

// Traces the mixture's envelope with the model, up to PressureLimit. A
// mixture that is not usable (fewer than two components, lengths that
// disagree, non-finite or non-positive constants, negative or all-zero feed)
// raises NumericalFault; a curve that cannot be followed ends with what was
// traced, and the verdict says where.
TracedEnvelope TraceEnvelope(const Mixture& mixture, const CubicModel& model, const TraceOptions& options = {});

// The same with the Soave-Redlich-Kwong model.
inline TracedEnvelope TraceEnvelope(const Mixture& mixture, const TraceOptions& options = {})
{
    return TraceEnvelope(mixture, SoaveRedlichKwong, options);
}

} // namespace envelope::trace
