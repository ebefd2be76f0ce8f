#pragma once
// What a traced envelope must keep: TraceProblems for every trace (the sweep
// test and the fuzz target), StabilityProblems for the complete traces of
// the sweep's mixtures. Each returns the problems found, in words.

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "condition/stability.h"
#include "trace/criticality.h"
#include "trace/trace.h"

namespace envelope::test {

// At the critical point both criticality conditions are small beside their
// values a kelvin away and a tenth of the volume away.
inline bool SatisfiesCriticality(const Mixture& mixture, const trace::TracedEnvelope& e)
{
    const trace::MixtureModel model(mixture, SoaveRedlichKwong);
    std::vector<double> z = mixture.feed;
    double sum = 0.0;
    for (double v : z)
        sum += v;
    for (double& v : z)
        v /= sum;
    const double T = e.critical.temperature, V = e.criticalVolume;
    const auto at = [&](double t, double v) { return trace::Criticality(model, t, v, z); };
    return std::fabs(at(T, V).quadratic) < 0.05 * std::max(std::fabs(at(T + 1, V).quadratic), std::fabs(at(T - 1, V).quadratic)) &&
           std::fabs(at(T, V).cubic) < 0.2 * std::max(std::fabs(at(T, 1.1 * V).cubic), std::fabs(at(T, V / 1.1).cubic)) &&
           std::fabs(model.Pressure(T, V, z) - e.critical.pressure) < 1e-6 * e.critical.pressure;
}

inline std::vector<std::string> TraceProblems(const Mixture& mixture, const trace::TracedEnvelope& e)
{
    using trace::TracePhase;
    std::vector<std::string> problems;
    const auto expect = [&](bool holds, const char* problem) {
        if (!holds)
            problems.push_back(problem);
    };
    const trace::Verdict kind = e.verdict.kind;
    expect(kind == trace::Verdict::Complete || kind == trace::Verdict::Open || kind == trace::Verdict::Stopped,
           "a verdict that is none of the three");
    expect(e.verdict.reason.empty() == (kind == trace::Verdict::Complete), "a reason missing, or given when complete");
    double highestT = 0.0, highestP = 0.0;
    bool cornerOnCurve = false;
    const std::size_t count = e.points.size();
    for (std::size_t i = 0; i < count; ++i) {
        const trace::TracePoint& p = e.points[i];
        expect(std::isfinite(p.temperature) && std::isfinite(p.pressure) && p.temperature > 0 && p.pressure > 0,
               "a point not finite and positive");
        expect(i + 1 == count || p.pressure <= trace::PressureLimit, "a point past the pressure limit but the last");
        // The phase changes only at a critical point, between a dew and a
        // bubble point, or at a three-phase corner.
        const bool corner =
            e.corner.found && p.temperature == e.corner.temperature && p.pressure == e.corner.pressure;
        if (i > 0)
            expect(p.phase == e.points[i - 1].phase || p.phase == TracePhase::Critical ||
                       e.points[i - 1].phase == TracePhase::Critical || corner,
                   "the phase changes without a critical point or a corner");
        cornerOnCurve = cornerOnCurve || corner;
        if (p.phase == TracePhase::Critical)
            expect(i > 0 && i + 1 < count && e.points[i - 1].phase != e.points[i + 1].phase,
                   "a critical point not between a dew and a bubble point");
        highestT = std::max(highestT, p.temperature);
        highestP = std::max(highestP, p.pressure);
    }
    if (kind == trace::Verdict::Complete) {
        const auto atStart = [&](const trace::TracePoint& p) {
            return std::fabs(p.pressure - e.startPressure) <= 1e-9 * e.startPressure;
        };
        expect(count > 2 && e.points.front().phase == TracePhase::Dew && e.points.back().phase == TracePhase::Bubble &&
                   atStart(e.points.front()) && atStart(e.points.back()) && e.critical.found,
               "a complete trace not from dew to bubble point at the start pressure through a critical point");
    }
    if (e.critical.found) {
        expect(std::any_of(e.points.begin(), e.points.end(),
                           [&](const trace::TracePoint& p) {
                               return p.phase == TracePhase::Critical && p.temperature == e.critical.temperature &&
                                      p.pressure == e.critical.pressure;
                           }),
               "a critical point that is not a point of the curve");
        expect(e.criticalVolume > 0.0 && SatisfiesCriticality(mixture, e),
               "a critical point that does not satisfy the criticality conditions");
    }
    expect(!e.corner.found || cornerOnCurve, "a corner that is not a point of the curve");
    expect(!e.cricondenbar.found || e.cricondenbar.pressure >= highestP * (1 - 1e-9), "a point above the cricondenbar");
    expect(!e.cricondentherm.found || e.cricondentherm.temperature >= highestT * (1 - 1e-9),
           "a point beyond the cricondentherm");
    return problems;
}

// By the stability test of the tangent-plane distance, which shares nothing
// with the curve equations: beyond the cricondenbar (at its temperature)
// and the cricondentherm (at its pressure) the feed is one phase; at the
// middle of the curve's chord a little below (left of) it, two phases, and
// that chord exists. A point the test cannot decide, or a chord narrower
// than the straight lines between traced points resolve, is moved 2, 4 and
// 8 times as far; checks never decided are counted in skipped.
inline std::vector<std::string> StabilityProblems(const Mixture& mixture, const trace::TracedEnvelope& e, int& skipped)
{
    std::vector<std::string> problems;
    for (const bool pressure : {true, false}) {
        const trace::CharacteristicPoint& c = pressure ? e.cricondenbar : e.cricondentherm;
        const double step = pressure ? 0.005 : 0.002, at = pressure ? c.temperature : c.pressure;
        for (const bool beyond : {true, false}) {
            if (!c.found)
                break;
            std::string wrong;
            bool decided = false;
            for (double k : {1.0, 2.0, 4.0, 8.0}) {
                const double value = (pressure ? c.pressure : c.temperature) * (1.0 + (beyond ? k : -k) * step);
                // The widest chord along the other coordinate at value.
                double lo = HUGE_VAL, hi = -HUGE_VAL;
                for (std::size_t i = 1; i < e.points.size(); ++i) {
                    const trace::TracePoint &a = e.points[i - 1], &b = e.points[i];
                    const double va = pressure ? a.pressure : a.temperature, vb = pressure ? b.pressure : b.temperature;
                    const double oa = pressure ? a.temperature : a.pressure, ob = pressure ? b.temperature : b.pressure;
                    if ((va - value) * (vb - value) <= 0.0 && va != vb) {
                        lo = std::min(lo, oa + (value - va) / (vb - va) * (ob - oa));
                        hi = std::max(hi, oa + (value - va) / (vb - va) * (ob - oa));
                    }
                }
                const double other = beyond ? at : 0.5 * (lo + hi);
                if (!beyond && k == 1.0 && !(hi >= lo)) {
                    wrong = std::string("no traced point just below the ") + (pressure ? "cricondenbar" : "cricondentherm");
                    decided = true;
                    break;
                }
                if (!beyond && !(hi - lo > 0.001 * other))
                    continue;
                const std::optional<bool> one =
                    condition::IsStable(mixture, pressure ? other : value, pressure ? value : other);
                if (!one)
                    continue;
                decided = true;
                if (*one != beyond)
                    wrong = std::string(beyond ? "beyond the " : "inside the ") +
                            (pressure ? "cricondenbar" : "cricondentherm") + " at " + std::to_string(value) +
                            (beyond ? ": two phases" : ": one phase");
                break;
            }
            if (!decided)
                ++skipped;
            else if (!wrong.empty())
                problems.push_back(wrong);
        }
    }
    return problems;
}

} // namespace envelope::test
