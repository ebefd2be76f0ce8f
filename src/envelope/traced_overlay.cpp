#include "envelope/traced_overlay.h"

#include "thermo/numerical_fault.h"
#include "validation/mixture_check.h"

namespace envelope {

TracedOverlay OverlayOf(const trace::TracedEnvelope& envelope)
{
    TracedOverlay overlay;
    overlay.curve.reserve(envelope.points.size());
    for (const trace::TracePoint& p : envelope.points)
        overlay.curve.push_back({p.temperature, p.pressure});
    const auto mark = [&](const char* name, const trace::CharacteristicPoint& point) {
        if (point.found)
            overlay.markers.push_back({name, point.temperature, point.pressure});
    };
    mark("critical point", envelope.critical);
    mark("cricondenbar", envelope.cricondenbar);
    mark("cricondentherm", envelope.cricondentherm);
    overlay.verdict = trace::FormatVerdict(envelope.verdict);
    return overlay;
}

trace::TracedEnvelope TracedEnvelopeOf(const Mixture& mixture, const CubicModel& model,
                                       const trace::TraceOptions& options)
{
    trace::TracedEnvelope none;
    if (const MixtureProblem problem = CheckMixture(mixture); !problem.ok()) {
        none.verdict = {trace::Verdict::Stopped, problem.text};
        return none;
    }
    try {
        return trace::TraceEnvelope(mixture, model, options);
    } catch (const NumericalFault& fault) {
        none.verdict = {trace::Verdict::Stopped, std::string("the mixture cannot be traced: ") + fault.what()};
        return none;
    }
}

TracedOverlay TracedOverlayOf(const Mixture& mixture, const CubicModel& model)
{
    return OverlayOf(TracedEnvelopeOf(mixture, model));
}

} // namespace envelope
