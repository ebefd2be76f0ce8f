// envelope.run(): the specified run, its three tables, the constant
// vapour-fraction lines and its report as numbers.

#include <map>

#include <pybind11/stl.h>

#include "bindings.h"
#include "results.h"
#include "computation.h"
#include "envelope/memory_run.h"
#include "envelope/run_workspace.h"
#include "envelope/text_format.h"

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
// degrees Celsius and given in K, as the spline stage reads it, and the
// pressure in bar.
py::array TableNumbers(const MemoryTable& table)
{
    std::vector<double> numbers;
    std::size_t rows = 0;
    for (std::size_t row = 1; row < table.rows().size(); ++row) {
        const MemoryTable::Row& cells = table.rows()[row];
        if (cells[1].empty() || cells[2].empty())
            break;
        numbers.push_back(ReadLeadingNumber(cells[1]) + KelvinOffset);
        numbers.push_back(ReadLeadingNumber(cells[2]));
        ++rows;
    }
    return ReadOnlyMatrix(numbers, rows, 2);
}

py::dict FractionLines(const std::vector<FractionPoint>& points)
{
    std::map<double, std::vector<double>> lines{{0.05, {}}, {0.3, {}}, {0.5, {}}};
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

RunResult ResultOf(const MemoryRun& run)
{
    return RunResult{TableNumbers(run.bubbleTable),
                     TableNumbers(run.dewTable),
                     TableNumbers(run.interpolationTable),
                     FractionLines(run.fractionPoints),
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

    py::class_<RunResult>(module, "RunResult", R"(The specified run's results.

bubble, dew, interpolation: the three tables as numpy arrays of n rows and two
    columns, T (K) and P (bar): the numbers the tables show.
vapour_fractions: {0.05: ..., 0.3: ..., 0.5: ...}, the points of the lines of
    constant vapour fraction found along the bubble curve, n x 2 arrays of T (K)
    and P (bar), exactly as computed.
report: a RunReport.)")
        .def_readonly("bubble", &RunResult::bubble)
        .def_readonly("dew", &RunResult::dew)
        .def_readonly("interpolation", &RunResult::interpolation)
        // A new dict each time (of read-only arrays): the result stays as computed.
        .def_property_readonly("vapour_fractions", [](const RunResult& r) { return r.vapourFractions.attr("copy")(); })
        .def_readonly("report", &RunResult::report)
        .def("__repr__", [](const RunResult& r) { return "<RunResult " + r.report.summary + ">"; })
        .def(py::pickle(
            [](const RunResult& r) {
                return py::make_tuple(r.bubble, r.dew, r.interpolation, r.vapourFractions, r.report);
            },
            [](const py::tuple& state) {
                if (state.size() != 5)
                    throw InputProblem("not a pickled RunResult");
                return RunResult{state[0].cast<py::array>(), state[1].cast<py::array>(), state[2].cast<py::array>(),
                                 state[3].cast<py::dict>(), state[4].cast<RunReportValue>()};
            }));

    module.def(
        "run",
        [](const Mixture& mixture) {
            const MemoryRun run = WithoutInterpreterLock([&] { return RunInMemory(mixture); });
            if (run.report.outcome != RunOutcome::Completed) {
                const StageReport& stage = DecidingStage(run.report);
                throw NumericalProblem(run.report.FailureReason(), FaultKindName(stage.fault), stage.reason);
            }
            return ResultOf(run);
        },
        py::arg("mixture"),
        R"(The specified run of the mixture, as the envelope program runs it.

The bubble and dew points at 2 bar, the bubble curve upwards in steps of 8 K
with the lines of vapour fraction 0.05, 0.3 and 0.5, the dew curve in steps of
5 K, and the spline across the gap near the critical region. Returns a
RunResult whose numbers are those of `envelope --headless`. A run that fails
raises envelope.NumericalError (its message says at which stage and why).
Runs without the interpreter lock.)");
}

} // namespace envelope::python
