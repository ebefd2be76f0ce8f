// envelope.trace(): the whole envelope traced through its critical point.

#include <cmath>

#include <pybind11/stl.h>

#include "bindings.h"
#include "results.h"
#include "computation.h"
#include "envelope/traced_tables.h"
#include "trace/trace.h"

namespace envelope::python {

namespace {

// The trace's verdict in one word, "complete", "open" or "stopped", as the
// program words it (its reason is given apart).
std::string VerdictWord(trace::TraceStatus status)
{
    trace::TracedEnvelope verdict;
    verdict.status = status;
    return TraceVerdictText(verdict);
}

const char* PhaseWord(trace::TracePhase phase)
{
    return phase == trace::TracePhase::Dew ? "dew" : "bubble";
}

py::object PointOrNone(const trace::CharacteristicPoint& point)
{
    if (!point.found)
        return py::none();
    return py::make_tuple(point.temperature, point.pressure);
}

TraceResult ResultOf(const trace::TracedEnvelope& traced)
{
    TraceResult result;
    std::vector<double> temperatures, pressures;
    for (const trace::TracePoint& point : traced.points) {
        temperatures.push_back(point.temperature);
        pressures.push_back(point.pressure);
        result.phases.append(PhaseWord(point.phase));
    }
    result.temperatures = ReadOnlyArray(temperatures);
    result.pressures = ReadOnlyArray(pressures);
    result.critical = PointOrNone(traced.critical);
    result.cricondenbar = PointOrNone(traced.cricondenbar);
    result.cricondentherm = PointOrNone(traced.cricondentherm);
    result.status = VerdictWord(traced.status);
    result.reason = traced.reason;
    result.startPressure = traced.startPressure;
    return result;
}

std::string Describe(py::handle point)
{
    return point.is_none() ? "None" : py::repr(point).cast<std::string>();
}

} // namespace

void BindTrace(py::module_& module)
{
    py::class_<TraceResult>(module, "TraceResult", R"(The envelope traced through the critical point.

T, P: the traced points' temperatures (K) and pressures (bar), numpy arrays, from the
    dew point at the start pressure over the critical point to the bubble point there.
phase: "dew" or "bubble" for each point (the side of the critical point it lies on).
critical, cricondenbar, cricondentherm: (T, P) tuples, or None where not found.
status: "complete"; "open", back at the start pressure without a critical point;
    or "stopped", ended early (no start point, a point that did not converge,
    the range or the point limit left).
reason: where and why the trace ended, for a status other than "complete".
start_pressure: the pressure the trace started at, bar.)")
        .def_readonly("T", &TraceResult::temperatures)
        .def_readonly("P", &TraceResult::pressures)
        // A new list each time: the result itself stays as computed.
        .def_property_readonly("phase", [](const TraceResult& r) { return r.phases.attr("copy")(); })
        .def_readonly("critical", &TraceResult::critical)
        .def_readonly("cricondenbar", &TraceResult::cricondenbar)
        .def_readonly("cricondentherm", &TraceResult::cricondentherm)
        .def_readonly("status", &TraceResult::status)
        .def_readonly("reason", &TraceResult::reason)
        .def_readonly("start_pressure", &TraceResult::startPressure)
        .def("__len__", [](const TraceResult& r) { return py::len(r.phases); })
        .def("__repr__",
             [](const TraceResult& r) {
                 return "<TraceResult " + r.status + ", " + std::to_string(py::len(r.phases)) +
                        " points, critical=" + Describe(r.critical) + ">";
             })
        .def(py::pickle(
            [](const TraceResult& r) {
                return py::make_tuple(r.temperatures, r.pressures, r.phases, r.critical, r.cricondenbar,
                                      r.cricondentherm, r.status, r.reason, r.startPressure);
            },
            [](const py::tuple& state) {
                if (state.size() != 9)
                    throw InputProblem("not a pickled TraceResult");
                return TraceResult{state[0].cast<py::array>(), state[1].cast<py::array>(),
                                   state[2].cast<py::list>(),  state[3],
                                   state[4],                   state[5],
                                   state[6].cast<std::string>(), state[7].cast<std::string>(),
                                   state[8].cast<double>()};
            }));

    module.def(
        "trace",
        [](const Mixture& mixture, double startPressure) {
            if (!std::isfinite(startPressure) || startPressure <= 0.0)
                throw InputProblem("start_pressure must be a finite pressure above 0 bar, not " +
                                   py::repr(py::float_(startPressure)).cast<std::string>());
            trace::TraceOptions options;
            options.startPressure = startPressure;
            const trace::TracedEnvelope traced =
                WithoutInterpreterLock([&] { return trace::TraceEnvelope(mixture, options); });
            return ResultOf(traced);
        },
        py::arg("mixture"), py::arg("start_pressure") = 1.0,
        R"(Traces the mixture's whole envelope through its critical point.

The trace starts at the dew point at start_pressure (bar; higher pressures are
tried when none is found there), follows the dew curve over the critical point
and comes down the bubble curve to start_pressure again. Returns a TraceResult;
a trace that ends early says so in its status and reason. Runs without the
interpreter lock.)");
}

} // namespace envelope::python
