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
// return it keeps the invariants the sweep test checks (trace_invariants.h):
// one of the three verdicts, with a reason unless complete; finite, positive
// points whose phase changes only at a critical point; a complete trace from
// a dew point to a bubble point at the start pressure through its critical
// point; a critical point on the curve that satisfies the criticality
// conditions; a cricondenbar and cricondentherm at or above every traced
// point. The sweep's checks by the stability test are not asserted here:
// over random constants and k_ij a second liquid may split off beyond the
// vapour-liquid envelope, and the test's trial phases may fall back onto the
// feed inside it (the saved findings in regressions/ hold one of each), so
// neither answer would say anything about the trace.
#include <string>

#include "fuzz_support.h"
#include "trace/trace.h"
#include "trace_invariants.h"

using namespace envelope;
using namespace envelope::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    const Mixture mix = ReadPhysicalMixture(in);

    trace::TracedEnvelope result;
    const bool returned = ReturnsOrFaults([&] { result = trace::TraceEnvelope(mix); });
    if (!returned)
        return 0;
    for (const std::string& problem : test::TraceProblems(mix, result))
        Require(false, problem.c_str());
    return 0;
}
