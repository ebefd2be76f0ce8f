// envelope.components(), envelope.Component, envelope.Mixture and the case
// files: read_case() and write_case().

#include <cmath>
#include <optional>

#include <QFile>
#include <QSaveFile>

#include <pybind11/stl.h>

#include "bindings.h"
#include "casefile/case_file.h"
#include "components/component_table.h"
#include "envelope/case.h"
#include "interaction/interaction_table.h"
#include "text/quoted_name.h"
#include "validation/mixture_check.h"

namespace envelope::python {

namespace {

std::string Place(std::size_t index, std::string_view name = {})
{
    return ComponentPlace(static_cast<int>(index), name);
}

// The names of the equations of state, for a message: "(known: SRK, PR, PR78)".
std::string KnownModels()
{
    std::string known;
    for (EosKind kind : EosKinds)
        known += (known.empty() ? "" : ", ") + std::string(EosName(kind));
    return "(known: " + known + ")";
}

// A name given as a str; one that cannot be UTF-8 (a lone surrogate) is refused.
std::string NameOf(py::handle name, std::size_t index)
{
    try {
        return name.cast<std::string>();
    } catch (const py::cast_error&) {
        throw InputProblem(Place(index) + ": the name is not valid text");
    }
}

// A component given as a table name, a Component, or a (name, tc, pc,
// omega) sequence.
Component ComponentOf(py::handle item, std::size_t index)
{
    if (py::isinstance<Component>(item))
        return item.cast<Component>();
    if (py::isinstance<py::str>(item)) {
        const std::string name = NameOf(item, index);
        const Component* known = FindComponent(name);
        if (known == nullptr)
            throw InputProblem(Place(index, name) + ": not in the component table, so give it as (name, tc, pc, omega)");
        Component component = *known;
        component.name = name;
        return component;
    }
    if (!py::isinstance<py::sequence>(item) || py::len(item) != 4)
        throw InputProblem(Place(index) + ": give a name of the component table or (name, tc, pc, omega)");
    const py::sequence fields = py::reinterpret_borrow<py::sequence>(item);
    if (!py::isinstance<py::str>(fields[0]))
        throw InputProblem(Place(index) + ": the name must be a str");
    Component component;
    component.name = NameOf(fields[0], index);
    double* constants[3] = {&component.criticalTemperature, &component.criticalPressure,
                            &component.acentricFactor};
    const char* names[3] = {"tc", "pc", "omega"};
    for (std::size_t k = 0; k < 3; ++k) {
        py::handle field = fields[k + 1];
        if (!py::isinstance<py::float_>(field) && !py::isinstance<py::int_>(field) &&
            !py::hasattr(field, "__float__"))
            throw InputProblem(Place(index, component.name) + ": " + names[k] + " must be a number");
        *constants[k] = field.cast<double>();
    }
    return component;
}

// The values as a one- or two-dimensional array of doubles; what is wrong
// with them otherwise.
py::array_t<double, py::array::c_style | py::array::forcecast> NumberArray(py::handle values, py::ssize_t dimensions,
                                                                           const std::string& what)
{
    auto array = py::array_t<double, py::array::c_style | py::array::forcecast>::ensure(values);
    if (!array || array.ndim() != dimensions)
        throw InputProblem(what);
    return array;
}

MixtureCase MakeMixture(py::handle components, py::handle z, py::handle kij, const std::string& name, py::handle eos)
{
    if (py::isinstance<py::str>(components) || !py::isinstance<py::sequence>(components))
        throw InputProblem("components must be a list of table names or (name, tc, pc, omega) tuples");
    const py::sequence given = py::reinterpret_borrow<py::sequence>(components);
    const std::size_t n = py::len(given);
    // Counted before the components are read, in CheckMixture's words.
    if (n < MinComponentCount || n > MaxComponentCount) {
        Mixture counted;
        counted.componentNames.resize(n);
        throw InputProblem(CheckMixture(counted).text);
    }
    const EosKind model = EosKindOf(eos);

    Mixture mixture;
    mixture.name = name;
    for (std::size_t i = 0; i < n; ++i) {
        const Component component = ComponentOf(given[i], i);
        mixture.componentNames.push_back(component.name);
        mixture.criticalTemperature.push_back(component.criticalTemperature);
        mixture.criticalPressure.push_back(component.criticalPressure);
        mixture.acentricFactor.push_back(component.acentricFactor);
    }

    const auto fractions = NumberArray(z, 1, "z must be a list of mole fractions, one a component");
    if (static_cast<std::size_t>(fractions.shape(0)) != n)
        throw InputProblem("z has " + std::to_string(fractions.shape(0)) + " fractions for " + std::to_string(n) +
                           " components");
    mixture.feed.assign(fractions.data(), fractions.data() + n);

    if (py::isinstance<py::str>(kij)) {
        // As a case file's "kij": "table".
        if (kij.cast<std::string>() != "table")
            throw InputProblem("kij must be a square matrix of numbers, \"table\" or None");
        ApplyInteractionTable(mixture, model);
    } else if (!kij.is_none()) {
        const auto matrix = NumberArray(kij, 2, "kij must be a square matrix of numbers, one row a component");
        if (static_cast<std::size_t>(matrix.shape(0)) != n || static_cast<std::size_t>(matrix.shape(1)) != n)
            throw InputProblem("kij: " + std::to_string(matrix.shape(0)) + " x " + std::to_string(matrix.shape(1)) +
                               " for " + std::to_string(n) + " components");
        mixture.kij.assign(matrix.data(), matrix.data() + n * n);
    }

    // All k_ij zero is the same mixing rule as none given, as in a case file.
    if (!mixture.HasInteractionParameters())
        mixture.kij.clear();

    // The checks of the case files and the mixture editor, with their words.
    const MixtureProblem problem = CheckMixture(mixture);
    if (!problem.ok())
        throw InputProblem(problem.text);
    return {std::move(mixture), model};
}

Component ComponentAt(const Mixture& mixture, std::size_t i)
{
    Component component;
    component.name = mixture.componentNames[i];
    component.criticalTemperature = mixture.criticalTemperature[i];
    component.criticalPressure = mixture.criticalPressure[i];
    component.acentricFactor = mixture.acentricFactor[i];
    return component;
}

py::list ComponentsOf(const Mixture& mixture)
{
    py::list components;
    for (std::size_t i = 0; i < mixture.componentNames.size(); ++i)
        components.append(ComponentAt(mixture, i));
    return components;
}

py::array InteractionMatrix(const Mixture& mixture)
{
    const std::size_t n = mixture.componentNames.size();
    std::vector<double> kij = mixture.kij;
    kij.resize(n * n, 0.0);
    return ReadOnlyMatrix(kij, n, n);
}

std::string ComponentRepr(const Component& c)
{
    return "Component(" + py::repr(py::str(c.name)).cast<std::string>() + ", tc=" +
           py::repr(py::float_(c.criticalTemperature)).cast<std::string>() +
           ", pc=" + py::repr(py::float_(c.criticalPressure)).cast<std::string>() +
           ", omega=" + py::repr(py::float_(c.acentricFactor)).cast<std::string>() + ")";
}

// The path as the bytes the system uses, for a str, bytes or os.PathLike.
std::string PathBytes(py::handle path)
{
    py::object encoded;
    try {
        encoded = py::module_::import("os").attr("fsencode")(path);
    } catch (py::error_already_set&) {
        throw InputProblem("the path must be a str, bytes or os.PathLike");
    }
    return encoded.cast<std::string>();
}

std::string MixtureRepr(const MixtureCase& value)
{
    const Mixture& m = value.mixture;
    std::string text = "Mixture(" + py::repr(py::cast(m.componentNames)).cast<std::string>() + ", " +
                       py::repr(py::cast(m.feed)).cast<std::string>();
    if (m.kijFromTable)
        text += ", kij='table'";
    else if (m.HasInteractionParameters())
        text += ", kij=...";
    if (!m.name.empty())
        text += ", name=" + py::repr(py::str(m.name)).cast<std::string>();
    if (value.eos != EosKind::SRK)
        text += ", eos='" + std::string(EosName(value.eos)) + "'";
    return text + ")";
}

} // namespace

EosKind EosKindOf(py::handle name)
{
    if (!py::isinstance<py::str>(name))
        throw InputProblem("eos must be the name of an equation of state " + KnownModels());
    std::string text;
    try {
        text = name.cast<std::string>();
    } catch (const py::cast_error&) {
        throw InputProblem("eos: the name is not valid text");
    }
    const std::optional<EosKind> kind = EosKindNamed(text);
    if (!kind)
        throw InputProblem("eos: unknown equation of state " + QuotedName(text) + " " + KnownModels());
    return *kind;
}

MixtureCase WithModel(const MixtureCase& given, py::handle eos)
{
    MixtureCase chosen = given;
    if (!eos.is_none()) {
        chosen.eos = EosKindOf(eos);
        if (chosen.mixture.kijFromTable && chosen.eos != given.eos)
            ApplyInteractionTable(chosen.mixture, chosen.eos);
    }
    return chosen;
}

void BindMixture(py::module_& module)
{
    py::class_<Component>(module, "Component",
                          "A pure component: name, critical temperature tc (K), critical pressure pc (bar)\n"
                          "and acentric factor omega. Unpacks as (name, tc, pc, omega).")
        .def_readonly("name", &Component::name)
        .def_property_readonly(
            "aliases", [](const Component& c) { return py::tuple(py::cast(c.aliases)); },
            "Other names the component table knows it by, such as its formula.")
        .def_readonly("tc", &Component::criticalTemperature, "Critical temperature, K.")
        .def_readonly("pc", &Component::criticalPressure, "Critical pressure, bar.")
        .def_readonly("omega", &Component::acentricFactor, "Acentric factor.")
        .def("__iter__",
             [](const Component& c) {
                 return py::iter(py::make_tuple(c.name, c.criticalTemperature, c.criticalPressure, c.acentricFactor));
             })
        .def("__eq__",
             [](const Component& a, const Component& b) {
                 return a.name == b.name && a.criticalTemperature == b.criticalTemperature &&
                        a.criticalPressure == b.criticalPressure && a.acentricFactor == b.acentricFactor;
             })
        .def("__repr__", &ComponentRepr)
        .def(py::pickle(
            [](const Component& c) {
                return py::make_tuple(c.name, c.aliases, c.criticalTemperature, c.criticalPressure, c.acentricFactor);
            },
            [](const py::tuple& state) {
                if (state.size() != 5)
                    throw InputProblem("not a pickled Component");
                return Component{state[0].cast<std::string>(), state[1].cast<std::vector<std::string>>(),
                                 state[2].cast<double>(), state[3].cast<double>(), state[4].cast<double>()};
            }));

    module.def(
        "components", [] { return ComponentTable(); },
        "The component table built into the program, in its order: a list of Component.\n\n"
        "Each is found by its name or an alias (CO2, C1, nC4, ...) in any case by Mixture().");

    py::class_<MixtureCase>(module, "Mixture", R"(A mixture: its components, feed mole fractions, interaction parameters
and the equation of state it is computed with.

Mixture(components, z, kij=None, name="", eos="SRK")

components: a list of 2 to 20 components, each a name or alias of the component
    table (envelope.components()), a Component, or a (name, tc, pc, omega) tuple
    with tc in K and pc in bar.
z: the feed mole fractions, one a component, each above 0, summing to 1 within 1e-6.
kij: the binary interaction parameters, a symmetric n x n matrix with a zero
    diagonal and values in (-1, 1); "table" for those of the interaction table
    for the equation of state (PR's for PR78; 0 for the pairs it lacks); None
    for all zero.
name: shown by repr() and written to case files.
eos: the equation of state, "SRK" (Soave-Redlich-Kwong), "PR" (Peng-Robinson
    1976) or "PR78" (Peng-Robinson with the 1978 m(omega)), in any letter case,
    as a case file's "eos". trace(), run() and check() use it unless given another.

The mixture is checked as a case file is; envelope.InputError names the first problem.
A mixture is a value: it cannot be changed, and equal mixtures compare equal.)")
        .def(py::init([](py::object components, py::object z, py::object kij, std::string name, py::object eos) {
                 return MakeMixture(components, z, kij, name, eos);
             }),
             py::arg("components"), py::arg("z"), py::arg("kij") = py::none(), py::arg("name") = "",
             py::arg("eos") = "SRK")
        .def_static(
            "builtin", [] { return MixtureCase{BuiltInMixture(), EosKind::SRK}; },
            "The built-in case: methane-, ethane- and octane-like components, z = (0.1, 0.15, 0.75), SRK.")
        .def_property_readonly(
            "name", [](const MixtureCase& m) { return m.mixture.name; }, "The mixture's name; \"\" for none.")
        .def_property_readonly(
            "components", [](const MixtureCase& m) { return ComponentsOf(m.mixture); },
            "The components, a list of Component.")
        .def_property_readonly(
            "names", [](const MixtureCase& m) { return m.mixture.componentNames; }, "The components' names.")
        .def_property_readonly(
            "z", [](const MixtureCase& m) { return ReadOnlyArray(m.mixture.feed); }, "The feed mole fractions.")
        .def_property_readonly(
            "kij", [](const MixtureCase& m) { return InteractionMatrix(m.mixture); },
            "The binary interaction parameters, n x n.")
        .def_property_readonly(
            "eos", [](const MixtureCase& m) { return std::string(EosName(m.eos)); },
            "The equation of state: \"SRK\", \"PR\" or \"PR78\".")
        .def("__len__", [](const MixtureCase& m) { return m.mixture.componentNames.size(); })
        .def("__eq__", [](const MixtureCase& a, const MixtureCase& b) { return a == b; })
        .def("__repr__", &MixtureRepr)
        .def(py::pickle(
            [](const MixtureCase& m) {
                const py::object kij =
                    m.mixture.kijFromTable ? py::object(py::str("table")) : InteractionMatrix(m.mixture);
                return py::make_tuple(ComponentsOf(m.mixture), m.mixture.feed, kij, m.mixture.name,
                                      EosName(m.eos));
            },
            [](const py::tuple& state) {
                if (state.size() != 5)
                    throw InputProblem("not a pickled Mixture");
                return MakeMixture(state[0], state[1], state[2], state[3].cast<std::string>(), state[4]);
            }));

    module.def(
        "read_case",
        [](py::object path) {
            const CaseReading reading = ReadCaseFile(PathBytes(path));
            if (!reading.ok())
                throw InputProblem(reading.problem.toStdString());
            return MixtureCase{reading.mixture, reading.eos};
        },
        py::arg("path"),
        "Reads a case file (the JSON the envelope program reads with --case) into a Mixture,\n"
        "with the case's equation of state (\"eos\"; SRK where it names none).\n\n"
        "A file that cannot be read or is not a valid case raises envelope.InputError, whose\n"
        "message names the file, the place and the problem.");

    module.def(
        "write_case",
        [](const MixtureCase& value, py::object path) {
            const QString name = QFile::decodeName(QByteArray::fromStdString(PathBytes(path)));
            // Written beside the target and renamed over it: a failure leaves
            // any file already there as it was.
            QSaveFile file(name);
            const QByteArray json = CaseJson(value.mixture, value.eos);
            if (!file.open(QIODevice::WriteOnly) || file.write(json) != json.size() || !file.commit()) {
                const std::string message = "cannot write " + QuotedName(QFile::encodeName(name).toStdString()) +
                                            ": " + file.errorString().toStdString();
                PyErr_SetString(PyExc_OSError, message.c_str());
                throw py::error_already_set();
            }
        },
        py::arg("mixture"), py::arg("path"),
        "Writes the mixture and its equation of state as a case file, which read_case() and\n"
        "the envelope program read back to the same mixture. Raises OSError when the file\n"
        "cannot be written.");
}

} // namespace envelope::python
