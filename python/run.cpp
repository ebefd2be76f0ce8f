// envelope.run(): the specified run, its three tables, the constant
// vapour-fraction lines and its report as numbers.

#include <map>

#include <pybind11/stl.h>

#include "bindings.h"
#include "computation.h"
#include "envelope/run.h"
#include "results.h"

namespace envelope::python {

namespace {

const char* OutcomeWord(RunOutcome outcome)
{
    switch (outcome) {
    case RunOutcome::Completed:
        return "completed";
    case RunOutcome::StartPhaseFailed:
        return "start failed";
    case RunOutcome::SplineStageFailed:
        return "spline failed";
    }
    return "unknown";
}

// The table's rows as the numbers they show: the temperature cell read in
// degrees Celsius and given in K, and the pressure cell in bar, as the
// spline stage reads its knots (ReadBack).
py::array ShownNumbers(const ResultTable& table)
{
    std::vector<double> numbers;
    for (const ResultRow& row : table.rows) {
        const ShownPoint shown = ReadBack(row);
        numbers.push_back(shown.temperature);
        numbers.push_back(shown.pressure);
    }
    return ReadOnlyMatrix(numbers, table.rows.size(), 2);
}

py::dict FractionLinesOf(const std::vector<FractionPoint>& points)
{
    std::map<double, std::vector<double>> lines;
    for (const FractionLine& line : FractionLines)
        lines[line.target];
    for (const FractionPoint& point : points) {
        std::vector<double>& line = lines[point.fraction];
        line.push_back(point.temperature);
        line.push_back(point.pressure);
    }
    py::dict result;
    for (const auto& [fraction, line] : lines)
        result[py::float_(fraction)] = ReadOnlyMatrix(line, line.size() / 2, 2);
    return result;
}

RunResultValue ResultOf(const RunResult& run)
{
    return RunResultValue{ShownNumbers(run.bubble),
                          ShownNumbers(run.dew),
                          ShownNumbers(run.interpolation),
                          FractionLinesOf(FractionPoints(run)),
                          {OutcomeWord(run.report.outcome), run.report.Summary(), run.report.Details()}};
}

const StageReport& DecidingStage(const RunReport& report)
{
    return report.outcome == RunOutcome::StartPhaseFailed ? report.start : report.spline;
}

} // namespace

void BindRun(py::module_& module)
{
    py::class_<RunReportValue>(module, "RunReport", R"(How the run went, stage by stage.

outcome: "completed", "start failed" or "spline failed".
summary: the whole run on one line, as the program's status line shows it.
details: one line a stage, with the reasons of any faults.)")
        .def_readonly("outcome", &RunReportValue::outcome)
        .def_readonly("summary", &RunReportValue::summary)
        .def_readonly("details", &RunReportValue::details)
        .def("__str__", [](const RunReportValue& r) { return r.details; })
        .def("__repr__", [](const RunReportValue& r) { return "<RunReport " + r.summary + ">"; })
        .def(py::pickle(
            [](const RunReportValue& r) { return py::make_tuple(r.outcome, r.summary, r.details); },
            [](const py::tuple& state) {
                if (state.size() != 3)
                    throw InputProblem("not a pickled RunReport");
                return RunReportValue{state[0].cast<std::string>(), state[1].cast<std::string>(),
                                      state[2].cast<std::string>()};
            }));

    py::class_<RunResultValue>(module, "RunResult", R"(The specified run's results.

bubble, dew, interpolation: the three tables as numpy arrays of n rows and two
    columns, T (K) and P (bar): the numbers the tables show.
vapour_fractions: {0.05: ..., 0.3: ..., 0.5: ...}, the points of the lines of
    constant vapour fraction found along the bubble curve, n x 2 arrays of T (K)
    and P (bar), exactly as computed.
report: a RunReport.)")
        .def_readonly("bubble", &RunResultValue::bubble)
        .def_readonly("dew", &RunResultValue::dew)
        .def_readonly("interpolation", &RunResultValue::interpolation)
        // A new dict each time (of read-only arrays): the result stays as computed.
        .def_property_readonly("vapour_fractions", [](const RunResultValue& r) { return r.vapourFractions.attr("copy")(); })
        .def_readonly("report", &RunResultValue::report)
        .def("__repr__", [](const RunResultValue& r) { return "<RunResult " + r.report.summary + ">"; })
        .def(py::pickle(
            [](const RunResultValue& r) {
                return py::make_tuple(r.bubble, r.dew, r.interpolation, r.vapourFractions, r.report);
            },
            [](const py::tuple& state) {
                if (state.size() != 5)
                    throw InputProblem("not a pickled RunResult");
                return RunResultValue{state[0].cast<py::array>(), state[1].cast<py::array>(), state[2].cast<py::array>(),
                                 state[3].cast<py::dict>(), state[4].cast<RunReportValue>()};
            }));

    module.def(
        "run",
        [](const MixtureCase& mixture, py::object eos) {
            const MixtureCase chosen = WithModel(mixture, eos);
            const RunResult run =
                WithoutInterpreterLock([&] { return Run(chosen.mixture, CubicModelOf(chosen.eos)); });
            if (run.report.outcome != RunOutcome::Completed) {
                const StageReport& stage = DecidingStage(run.report);
                throw NumericalProblem(run.report.FailureReason(), FaultKindName(stage.fault), stage.reason);
            }
            return ResultOf(run);
        },
        py::arg("mixture"), py::arg("eos") = py::none(),
        R"(The specified run of the mixture, as the envelope program runs it.

The bubble and dew points at 2 bar, the bubble curve upwards in steps of 8 K
with the lines of vapour fraction 0.05, 0.3 and 0.5, the dew curve in steps of
5 K, and the spline across the gap near the critical region, with the
mixture's equation of state or the one eos names ("SRK", "PR" or "PR78"; k_ij
taken from the interaction table are then that model's, as after the
program's --eos). Returns a RunResult whose numbers are those of
`envelope --headless`. A run that fails
raises envelope.NumericalError (its message says at which stage and why).
Runs without the interpreter lock.)");
}

} // namespace envelope::python
