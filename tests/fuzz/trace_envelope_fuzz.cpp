// TraceEnvelope over random mixtures of 2 to 6 components whose constants lie
// in physical ranges: critical temperatures 50 to 900 K, critical pressures 5
// to 120 bar, acentric factors -0.3 to 1.5, feed fractions from 1e-6 to 1 and
// interaction parameters -0.2 to 0.4.
//
// Input layout: byte component count (mod 5, plus 2), then per component
// three bytes (Tc, Pc, omega as fractions of their ranges, 0 to 255) and a
// 16-bit feed weight, then one byte per pair i < j for k_ij (0 leaves every
// k_ij zero when the first pair byte is 0).
//
// The trace must return or raise the numerical fault within a second. On
// return: every point is finite and positive; a complete trace runs from a
// dew point to a bubble point at the start pressure and has its critical
// point; any other status says where it stopped; a characteristic point that
// was found is finite and positive.
#include <vector>

#include "fuzz_support.h"
#include "trace/trace.h"

using namespace envelope;
using namespace envelope::fuzz;

namespace {

bool Positive(const trace::CharacteristicPoint& p)
{
    return !p.found || (std::isfinite(p.temperature) && std::isfinite(p.pressure) && p.temperature > 0.0 &&
                        p.pressure > 0.0);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const Mixture mix = ReadPhysicalMixture(in);

    trace::TracedEnvelope result;
    const bool returned = ReturnsOrFaults([&] { result = trace::TraceEnvelope(mix); });
    if (!returned)
        return 0;
    for (const trace::TracePoint& p : result.points)
        Require(std::isfinite(p.temperature) && std::isfinite(p.pressure) && p.temperature > 0.0 && p.pressure > 0.0,
                "a traced point is not finite and positive");
    Require(Positive(result.critical) && Positive(result.cricondenbar) && Positive(result.cricondentherm),
            "a characteristic point is not finite and positive");
    if (result.status == trace::TraceStatus::Complete) {
        Require(result.points.size() >= 2, "a complete trace with fewer than two points");
        Require(result.points.front().phase == trace::TracePhase::Dew &&
                    result.points.back().phase == trace::TracePhase::Bubble,
                "a complete trace that does not run from dew to bubble");
        Require(std::fabs(result.points.back().pressure - result.startPressure) <= 1e-9 * result.startPressure,
                "a complete trace that does not end at the start pressure");
        Require(result.critical.found, "a complete trace without its critical point");
    } else {
        Require(!result.reason.empty(), "an unfinished trace that does not say where it stopped");
    }
    return 0;
}
