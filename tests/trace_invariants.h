#pragma once
// What a traced envelope must keep. TraceProblems holds for every trace and
// is checked alike by the sweep over mixtures of table components and by
// the fuzz target over random ones; StabilityProblems, by the stability
// test, holds for complete traces of the sweep's mixtures. Each function
// returns the problems it found, in words; none when the envelope keeps its
// invariants.

#include <algorithm>
#include <cmath>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "condition/stability.h"
#include "thermo/numerical_fault.h"
#include "trace/criticality.h"
#include "trace/trace.h"

namespace envelope::test {

// The criticality conditions hold at the reported critical point: both
// forms are small beside their values a kelvin away and a tenth of the
// volume away, which is where a point of the two-phase region rather than
// the critical point itself would put them.
inline bool SatisfiesCriticality(const Mixture& mixture, const trace::TracedEnvelope& e)
{
    const trace::SrkModel model(mixture);
    std::vector<double> z = mixture.feed;
    double sum = 0.0;
    for (double v : z)
        sum += v;
    for (double& v : z)
        v /= sum;
    const double T = e.critical.temperature, V = e.criticalVolume;
    const auto at = [&](double t, double v) { return trace::Criticality(model, t, v, z); };
    const double quadraticScale = std::max(std::fabs(at(T + 1.0, V).quadratic), std::fabs(at(T - 1.0, V).quadratic));
    const double cubicScale = std::max(std::fabs(at(T, 1.1 * V).cubic), std::fabs(at(T, V / 1.1).cubic));
    return std::fabs(at(T, V).quadratic) < 0.05 * quadraticScale && std::fabs(at(T, V).cubic) < 0.2 * cubicScale &&
           std::fabs(model.Pressure(T, V, z) - e.critical.pressure) < 1e-6 * e.critical.pressure;
}

inline std::vector<std::string> TraceProblems(const Mixture& mixture, const trace::TracedEnvelope& e)
{
    using trace::TracePhase;
    std::vector<std::string> problems;
    const auto problem = [&](const std::string& text) { problems.push_back(text); };
    const trace::Verdict kind = e.verdict.kind;
    if (kind != trace::Verdict::Complete && kind != trace::Verdict::Open && kind != trace::Verdict::Stopped)
        problem("a verdict that is none of the three");
    if (e.verdict.reason.empty() != (kind == trace::Verdict::Complete))
        problem("a reason given for a complete trace, or none for another");

    double highestT = 0.0, highestP = 0.0;
    for (std::size_t i = 0; i < e.points.size(); ++i) {
        const trace::TracePoint& p = e.points[i];
        if (!(std::isfinite(p.temperature) && std::isfinite(p.pressure) && p.temperature > 0.0 && p.pressure > 0.0))
            problem("a traced point that is not finite and positive");
        if (i + 1 < e.points.size() && p.pressure > trace::PressureLimit)
            problem("a traced point beyond the pressure limit that does not end the trace");
        // The phase changes only at a critical point, which lies between a
        // dew point and a bubble point.
        if (i > 0 && p.phase != TracePhase::Critical && e.points[i - 1].phase != TracePhase::Critical &&
            p.phase != e.points[i - 1].phase)
            problem("the phase changes without a critical point");
        if (p.phase == TracePhase::Critical &&
            (i == 0 || i + 1 == e.points.size() || e.points[i - 1].phase == e.points[i + 1].phase))
            problem("a critical point that is not between a dew and a bubble point");
        highestT = std::max(highestT, p.temperature);
        highestP = std::max(highestP, p.pressure);
    }
    if (kind == trace::Verdict::Complete) {
        if (e.points.size() < 3 || e.points.front().phase != TracePhase::Dew ||
            e.points.back().phase != TracePhase::Bubble)
            problem("a complete trace that does not run from a dew point to a bubble point");
        else if (std::fabs(e.points.front().pressure - e.startPressure) > 1e-9 * e.startPressure ||
                 std::fabs(e.points.back().pressure - e.startPressure) > 1e-9 * e.startPressure)
            problem("a complete trace that does not start and end at the start pressure");
        if (!e.critical.found)
            problem("a complete trace without its critical point");
    }

    if (e.critical.found) {
        const bool onCurve = std::any_of(e.points.begin(), e.points.end(), [&](const trace::TracePoint& p) {
            return p.phase == TracePhase::Critical && p.temperature == e.critical.temperature &&
                   p.pressure == e.critical.pressure;
        });
        if (!onCurve)
            problem("a critical point that is not a point of the curve");
        try {
            if (!(e.criticalVolume > 0.0) || !SatisfiesCriticality(mixture, e))
                problem("a critical point that does not satisfy the criticality conditions");
        } catch (const NumericalFault& fault) {
            problem(std::string("the criticality conditions fault at the critical point: ") + fault.what());
        }
    }
    // The largest pressure and temperature lie at or above every traced
    // point, the critical point among them.
    constexpr double tolerance = 1e-9;
    if (e.cricondenbar.found && e.cricondenbar.pressure < highestP * (1.0 - tolerance))
        problem("a traced point above the cricondenbar");
    if (e.cricondentherm.found && e.cricondentherm.temperature < highestT * (1.0 - tolerance))
        problem("a traced point beyond the cricondentherm");
    return problems;
}

// One phase (true), two or more (false), or no answer, by the stability
// test of the tangent-plane distance, which shares nothing with the curve
// equations the tracer solves.
inline std::optional<bool> OnePhase(const Mixture& mixture, double T, double P)
{
    return condition::IsStable(mixture, T, P);
}

// The middle of the curve's widest chord along T = value (or P = value):
// the mean of the farthest-apart crossings in the other coordinate, and the
// chord's length relative to that mean (0 with fewer than two crossings).
struct Chord {
    double middle = 0.0;
    double width = 0.0;
};

inline Chord ChordOf(const trace::TracedEnvelope& e, bool alongTemperature, double value)
{
    double lo = HUGE_VAL, hi = -HUGE_VAL;
    for (std::size_t i = 1; i < e.points.size(); ++i) {
        const trace::TracePoint &a = e.points[i - 1], &b = e.points[i];
        const double va = alongTemperature ? a.temperature : a.pressure;
        const double vb = alongTemperature ? b.temperature : b.pressure;
        if ((va - value) * (vb - value) > 0.0 || va == vb)
            continue;
        const double s = (value - va) / (vb - va);
        const double other = alongTemperature ? a.pressure + s * (b.pressure - a.pressure)
                                              : a.temperature + s * (b.temperature - a.temperature);
        lo = std::min(lo, other);
        hi = std::max(hi, other);
    }
    if (!(hi > lo))
        return {};
    return {0.5 * (lo + hi), (hi - lo) / (0.5 * (lo + hi))};
}

// Beside the cricondenbar and the cricondentherm: a point beyond it (higher
// pressure at its temperature, higher temperature at its pressure) is one
// phase, and the middle of the chord a little below it (a little left of
// it) two phases. A point the test cannot decide is moved twice, four and
// eight times as far, and so is a chord narrower than the straight lines
// between traced points resolve; inside, so is one that the test finds one
// phase, since next to a critical point its trial phases may fall back onto
// the feed. A check never decided is left out and counted in skipped.
inline std::vector<std::string> StabilityProblems(const Mixture& mixture, const trace::TracedEnvelope& e, int& skipped)
{
    constexpr double BeyondP = 0.005, BeyondT = 0.002, NarrowestChord = 0.001;
    std::vector<std::string> problems;
    const auto check = [&](const std::string& what, bool expectOne, auto pointAt) {
        std::ostringstream wrong;
        for (double k : {1.0, 2.0, 4.0, 8.0}) {
            double T = 0.0, P = 0.0;
            if (!pointAt(k, T, P))
                continue;
            const std::optional<bool> one = OnePhase(mixture, T, P);
            if (!one)
                continue;
            if (*one == expectOne)
                return;
            wrong << (wrong.tellp() > 0 ? ", " : " ") << "(" << T << " K, " << P << " bar)";
            // Beyond, the first answer is the answer; inside, next to a
            // critical point the trial phases may fall back onto the feed,
            // so a point farther in may still show the split.
            if (expectOne)
                break;
        }
        if (wrong.tellp() > 0)
            problems.push_back(what + wrong.str() + " is " + (expectOne ? "two phases" : "one phase"));
        else
            ++skipped;
    };
    for (const bool pressure : {true, false}) {
        const trace::CharacteristicPoint& c = pressure ? e.cricondenbar : e.cricondentherm;
        if (!c.found)
            continue;
        const char* name = pressure ? "cricondenbar" : "cricondentherm";
        const double step = pressure ? BeyondP : BeyondT;
        check(std::string("a point beyond the ") + name, true, [&](double k, double& T, double& P) {
            T = pressure ? c.temperature : c.temperature * (1.0 + k * step);
            P = pressure ? c.pressure * (1.0 + k * step) : c.pressure;
            return true;
        });
        check(std::string("a point inside the ") + name, false, [&](double k, double& T, double& P) {
            const double value = (pressure ? c.pressure : c.temperature) * (1.0 - k * step);
            const Chord chord = ChordOf(e, !pressure, value);
            T = pressure ? chord.middle : value;
            P = pressure ? value : chord.middle;
            return chord.width > NarrowestChord;
        });
    }
    return problems;
}

} // namespace envelope::test
