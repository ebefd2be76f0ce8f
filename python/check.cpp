// envelope.check(): one phase or two at a temperature and pressure, as the
// program's --point answers it.

#include <cmath>

#include "bindings.h"
#include "computation.h"
#include "condition/check.h"
#include "results.h"

namespace envelope::python {

namespace {

using condition::ConditionCheck;
using condition::PointPhases;

// The mole fractions, or None where the check gives none.
py::object FractionsOrNone(const std::vector<double>& fractions)
{
    return fractions.empty() ? py::object(py::none()) : py::object(ReadOnlyArray(fractions));
}

py::object PhasesOf(const ConditionCheck& c)
{
    switch (c.phases) {
    case PointPhases::One:
        return py::int_(1);
    case PointPhases::Two:
        return py::int_(2);
    case PointPhases::Failed:
        break;
    }
    return py::none();
}

} // namespace

void BindCheck(py::module_& module)
{
    py::class_<ConditionCheck>(module, "ConditionCheck", R"(One phase or two at a temperature and pressure.

T, P: the condition, K and bar.
phases: 1 or 2; None when the check failed (reason says why): a stability test
    that did not converge, a flash that did not or whose split did not verify.
vapour_fraction: the vapour's share of the feed for two phases, else None.
feed: the feed's mole fractions (normalised); None when the check failed first.
liquid, vapour: the two phases' mole fractions for two phases, else None. The
    phase of the larger molar volume is the vapour (for two liquids, the lighter).
reason: why the check failed; "" otherwise.)")
        .def_readonly("T", &ConditionCheck::temperature)
        .def_readonly("P", &ConditionCheck::pressure)
        .def_property_readonly("phases", &PhasesOf)
        .def_property_readonly("vapour_fraction",
                               [](const ConditionCheck& c) {
                                   return c.phases == PointPhases::Two ? py::object(py::float_(c.vapourFraction))
                                                                       : py::object(py::none());
                               })
        .def_property_readonly("feed", [](const ConditionCheck& c) { return FractionsOrNone(c.feed); })
        .def_property_readonly("liquid", [](const ConditionCheck& c) { return FractionsOrNone(c.liquid); })
        .def_property_readonly("vapour", [](const ConditionCheck& c) { return FractionsOrNone(c.vapour); })
        .def_readonly("reason", &ConditionCheck::reason)
        .def("__repr__",
             [](const ConditionCheck& c) {
                 const std::string phases = py::repr(PhasesOf(c)).cast<std::string>();
                 return "<ConditionCheck T=" + py::repr(py::float_(c.temperature)).cast<std::string>() +
                        ", P=" + py::repr(py::float_(c.pressure)).cast<std::string>() + ", phases=" + phases + ">";
             })
        .def(py::pickle(
            [](const ConditionCheck& c) {
                return py::make_tuple(c.temperature, c.pressure, static_cast<int>(c.phases),
                                      static_cast<int>(c.onePhase), c.vapourFraction, c.feed, c.liquid, c.vapour,
                                      c.distance, c.reason);
            },
            [](const py::tuple& state) {
                if (state.size() != 10)
                    throw InputProblem("not a pickled ConditionCheck");
                ConditionCheck c;
                c.temperature = state[0].cast<double>();
                c.pressure = state[1].cast<double>();
                const int phases = state[2].cast<int>();
                const int onePhase = state[3].cast<int>();
                if (phases < 0 || phases > 2 || onePhase < 0 || onePhase > 2)
                    throw InputProblem("not a pickled ConditionCheck");
                c.phases = static_cast<PointPhases>(phases);
                c.onePhase = static_cast<condition::PhaseLike>(onePhase);
                c.vapourFraction = state[4].cast<double>();
                c.feed = state[5].cast<std::vector<double>>();
                c.liquid = state[6].cast<std::vector<double>>();
                c.vapour = state[7].cast<std::vector<double>>();
                c.distance = state[8].cast<double>();
                c.reason = state[9].cast<std::string>();
                return c;
            }));

    module.def(
        "check",
        [](const MixtureCase& mixture, double T, double P, py::object eos) {
            if (const std::string problem = condition::ConditionInputProblem(T, P); !problem.empty())
                throw InputProblem(problem);
            const MixtureCase chosen = WithModel(mixture, eos);
            return WithoutInterpreterLock(
                [&] { return condition::CheckCondition(chosen.mixture, T, P, CubicModelOf(chosen.eos)); });
        },
        py::arg("mixture"), py::arg("T"), py::arg("P"), py::arg("eos") = py::none(),
        R"(Is the mixture one phase or two at T (K) and P (bar), and how much of it is vapour?

The answer of `envelope --point T,P`: Michelsen's stability test, and for an
unstable feed a flash whose split is reported only when it verifies. eos names
another equation of state than the mixture's, as for trace(). T must lie
between 1 and 10000 K and P between 0.001 and 10000 bar (else InputError).
Returns a ConditionCheck; a check that fails says why in its reason and does
not raise. Runs without the interpreter lock.)");
}

} // namespace envelope::python
