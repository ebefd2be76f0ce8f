// envelope.trace(): the whole envelope traced through its critical point.

#include <pybind11/stl.h>

#include "bindings.h"
#include "computation.h"
#include "envelope/traced_overlay.h"
#include "envelope/traced_tables.h"
#include "results.h"
#include "trace/trace.h"

namespace envelope::python {

namespace {

py::object PointOrNone(const trace::CharacteristicPoint& point)
{
    if (!point.found)
        return py::none();
    return py::make_tuple(point.temperature, point.pressure);
}

TraceResultValue ResultOf(const trace::TracedEnvelope& traced)
{
    TraceResultValue result;
    std::vector<double> temperatures, pressures;
    for (const trace::TracePoint& point : traced.points) {
        temperatures.push_back(point.temperature);
        pressures.push_back(point.pressure);
        result.phases.append(PhaseText(point.phase));
    }
    result.temperatures = ReadOnlyArray(temperatures);
    result.pressures = ReadOnlyArray(pressures);
    result.critical = PointOrNone(traced.critical);
    result.cricondenbar = PointOrNone(traced.cricondenbar);
    result.cricondentherm = PointOrNone(traced.cricondentherm);
    result.status = trace::VerdictText(traced.verdict.kind);
    result.reason = traced.verdict.reason;
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
    py::class_<TraceResultValue>(module, "TraceResult", R"(The envelope traced through the critical point.

T, P: the traced points' temperatures (K) and pressures (bar), numpy arrays, from the
    dew point at the start pressure over the critical point to the bubble point there.
phase: "dew", "critical" or "bubble" for each point: the side of the critical point
    it lies on, or the critical point itself, which is a point of the curve when found.
critical, cricondenbar, cricondentherm: (T, P) tuples, or None where the trace did not
    find the point or could not verify it.
status: the trace's verdict, "complete" (from the dew point over a verified critical
    point to the bubble point); "open" (the envelope does not close: no critical
    point, or a branch that climbs past the pressure limit); or "stopped" (the
    method failed: no start point, no convergence, the point limit).
reason: why the trace is open or stopped, in words; "" when it is complete.
start_pressure: the pressure the trace started at, bar.)")
        .def_readonly("T", &TraceResultValue::temperatures)
        .def_readonly("P", &TraceResultValue::pressures)
        // A new list each time: the result itself stays as computed.
        .def_property_readonly("phase", [](const TraceResultValue& r) { return r.phases.attr("copy")(); })
        .def_readonly("critical", &TraceResultValue::critical)
        .def_readonly("cricondenbar", &TraceResultValue::cricondenbar)
        .def_readonly("cricondentherm", &TraceResultValue::cricondentherm)
        .def_readonly("status", &TraceResultValue::status)
        .def_readonly("reason", &TraceResultValue::reason)
        .def_readonly("start_pressure", &TraceResultValue::startPressure)
        .def("__len__", [](const TraceResultValue& r) { return py::len(r.phases); })
        .def("__repr__",
             [](const TraceResultValue& r) {
                 return "<TraceResult " + r.status + ", " + std::to_string(py::len(r.phases)) +
                        " points, critical=" + Describe(r.critical) + ">";
             })
        .def(py::pickle(
            [](const TraceResultValue& r) {
                return py::make_tuple(r.temperatures, r.pressures, r.phases, r.critical, r.cricondenbar,
                                      r.cricondentherm, r.status, r.reason, r.startPressure);
            },
            [](const py::tuple& state) {
                if (state.size() != 9)
                    throw InputProblem("not a pickled TraceResult");
                return TraceResultValue{state[0].cast<py::array>(),   state[1].cast<py::array>(),
                                        state[2].cast<py::list>(),    state[3],
                                        state[4],                     state[5],
                                        state[6].cast<std::string>(), state[7].cast<std::string>(),
                                        state[8].cast<double>()};
            }));

    module.def(
        "trace",
        [](const MixtureCase& mixture, double startPressure, py::object eos) {
            // The tracer follows the envelope up to its pressure limit only.
            if (!(startPressure > 0.0 && startPressure < trace::PressureLimit))
                throw InputProblem("start_pressure must lie above 0 and below " +
                                   py::repr(py::float_(trace::PressureLimit)).cast<std::string>() + " bar, not " +
                                   py::repr(py::float_(startPressure)).cast<std::string>());
            const MixtureCase chosen = WithModel(mixture, eos);
            trace::TraceOptions options;
            options.startPressure = startPressure;
            const trace::TracedEnvelope traced = WithoutInterpreterLock(
                [&] { return TracedEnvelopeOf(chosen.mixture, CubicModelOf(chosen.eos), options); });
            return ResultOf(traced);
        },
        py::arg("mixture"), py::arg("start_pressure") = 1.0, py::arg("eos") = py::none(),
        R"(Traces the mixture's whole envelope through its critical point.

The trace starts at the dew point at start_pressure (bar, below the tracer's
limit of 1000 bar; higher pressures are tried when none is found there), follows the dew curve over the critical point
and comes down the bubble curve to start_pressure again, as
`envelope --trace` traces it. eos names another equation of state than the
mixture's ("SRK", "PR" or "PR78"; k_ij taken from the interaction table are
then that model's, as after the program's --eos). Returns a TraceResult: a
trace that is open or stopped says so in its status and reason, and does not
raise. Runs without the interpreter lock.)");
}

} // namespace envelope::python
