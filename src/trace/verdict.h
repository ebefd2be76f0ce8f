#pragma once
// The traced envelope's own verdict on what it traced, one of three, with the
// reason in words; and the one text every place that shows it uses.
//
//   complete  the curve runs from the dew point at the start pressure
//             through a verified critical point to the bubble point there;
//   open      the model's envelope does not close: no critical point, or a
//             branch that climbs past the pressure limit the trace follows
//             (the reason names the branch and where);
//   stopped   the method failed: no start point, no convergence, or the
//             point limit (the reason says where).
//
// complete and open are answers about the mixture; stopped is a failure.

#include <string>

namespace envelope::trace {

enum class Verdict { Complete, Open, Stopped };

struct TraceVerdict {
    Verdict kind = Verdict::Stopped;
    std::string reason; // empty for Complete
};

// "complete", "open" or "stopped".
const char* VerdictText(Verdict kind);

// The verdict in one line: its text, then ": " and the reason when there is
// one ("open: the bubble branch climbs past 1000 bar at T = 169.928 K").
std::string FormatVerdict(const TraceVerdict& verdict);

// The highest pressure the trace follows, bar. A cubic equation of state
// whose constants come from critical points and vapour pressures has no
// footing far above them: at 1000 bar a liquid's molar volume is only 5 to
// 25 per cent above the co-volume, where the repulsion term alone decides
// and was fitted to nothing. An envelope that has not turned by then is one
// whose two phases persist to any pressure (gas-gas or liquid-liquid
// immiscibility, as of nitrogen or hydrogen with heavier components).
inline constexpr double PressureLimit = 1000.0;

} // namespace envelope::trace
