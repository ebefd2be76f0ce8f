#pragma once
// What the parts of the Python module share: the mixture as Python holds it
// (with its equation of state), the errors the core's exceptions become, the
// conversions of results into Python values, and the functions that add each
// part to the module.

#include <stdexcept>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "components/component_table.h"
#include "thermo/cubic_model.h"
#include "thermo/eos_kind.h"
#include "thermo/mixture.h"

namespace envelope::python {

// envelope.Mixture: a mixture and the equation of state it is computed with,
// side by side as a case file holds them.
struct MixtureCase {
    Mixture mixture;
    EosKind eos = EosKind::SRK;

    bool operator==(const MixtureCase&) const = default;
};

} // namespace envelope::python

// An object of a bound class made by __new__ alone, its __init__ never run,
// has no value yet, and pybind11 would hand its functions memory that no
// constructor has touched. The casters of the module's classes refuse such an
// object as not of the class (a TypeError), so that nothing ever reads it.
namespace pybind11::detail {
template <class T>
class constructed_only_caster : public type_caster_base<T> {
public:
    bool load(handle source, bool convert)
    {
        if (source && isinstance<T>(source)) {
            auto* object = reinterpret_cast<instance*>(source.ptr());
            const value_and_holder value = object->get_value_and_holder(get_type_info(typeid(T)), false);
            if (!value || value.value_ptr() == nullptr)
                return false;
        }
        return type_caster_base<T>::load(source, convert);
    }
};
} // namespace pybind11::detail

#define ENVELOPE_CONSTRUCTED_ONLY(Type)                                                                          \
    template <>                                                                                                \
    class pybind11::detail::type_caster<Type> : public pybind11::detail::constructed_only_caster<Type> {}

ENVELOPE_CONSTRUCTED_ONLY(envelope::python::MixtureCase);
ENVELOPE_CONSTRUCTED_ONLY(envelope::Component);

namespace envelope::python {

namespace py = pybind11;

// Input refused before anything is computed; becomes envelope.InputError
// (a ValueError) with this text.
class InputProblem : public std::invalid_argument {
public:
    using std::invalid_argument::invalid_argument;
};

// A computation that failed; becomes envelope.NumericalError (a
// RuntimeError) with the message, and the fault's kind and reason as
// attributes.
class NumericalProblem : public std::runtime_error {
public:
    NumericalProblem(const std::string& message, std::string kind, std::string reason)
        : std::runtime_error(message), kind(std::move(kind)), reason(std::move(reason))
    {
    }
    std::string kind;
    std::string reason;
};

// The equation of state named by a str ("SRK", "PR" or "PR78", in any
// letter case); anything else is an InputProblem.
EosKind EosKindOf(py::handle name);

// The mixture and equation of state a computation uses: the mixture's own,
// or the one named by eos (None: the mixture's own). k_ij the mixture took
// from the interaction table are then that model's, as after --eos.
MixtureCase WithModel(const MixtureCase& given, py::handle eos);

void BindErrors(py::module_& module);
void BindMixture(py::module_& module);
void BindTrace(py::module_& module);
void BindRun(py::module_& module);
void BindCheck(py::module_& module);
void BindComputationGate(py::module_& module);

// A one-dimensional read-only numpy array holding a copy of the values.
py::array ReadOnlyArray(const std::vector<double>& values);
// A read-only numpy array of rows x columns, from row-major values.
py::array ReadOnlyMatrix(const std::vector<double>& values, std::size_t rows, std::size_t columns);

} // namespace envelope::python
