// envelope.InputError and envelope.NumericalError, and the translation of
// every exception of the core into them.

#include <algorithm>
#include <exception>

#include <pybind11/eval.h>

#include "bindings.h"
#include "thermo/numerical_fault.h"

namespace envelope::python {

namespace {

// Defined in Python, so that they pickle with their attributes (a Dask
// worker sends them back to the client) and read like any Python exception.
constexpr const char* ErrorClasses = R"(
class InputError(ValueError):
    """Bad input: a mixture, case file or argument that cannot be used.

    The message names the problem and where it lies, e.g.
    "component 2 ('ethane'): z must be a finite number greater than 0, not -0.1".
    """


class NumericalError(RuntimeError):
    """A computation that failed.

    Attributes:
        kind: the kind of the numerical fault, e.g. "not converged" or "no bracket".
        reason: what failed, in words.
    """

    def __init__(self, message, kind="", reason=""):
        super().__init__(message)
        self.kind = kind
        self.reason = reason

    def __reduce__(self):
        return (type(self), (str(self), self.kind, self.reason))
)";

// The classes, kept for the life of the process: the translator may run
// while the module is being torn down.
PyObject* InputErrorClass = nullptr;
PyObject* NumericalErrorClass = nullptr;

void SetNumericalError(const std::string& message, const std::string& kind, const std::string& reason)
{
    try {
        py::object error = py::handle(NumericalErrorClass)(message, kind, reason);
        PyErr_SetObject(NumericalErrorClass, error.ptr());
    } catch (py::error_already_set& failure) {
        failure.restore();
    }
}

} // namespace

void BindErrors(py::module_& module)
{
    py::dict scope;
    scope["__builtins__"] = py::module_::import("builtins");
    scope["__name__"] = "envelope";
    py::exec(ErrorClasses, scope);
    InputErrorClass = py::object(scope["InputError"]).release().ptr();
    NumericalErrorClass = py::object(scope["NumericalError"]).release().ptr();
    module.attr("InputError") = py::handle(InputErrorClass);
    module.attr("NumericalError") = py::handle(NumericalErrorClass);

    // Every exception is translated: pybind11 turns the standard library's
    // own (bad_alloc, invalid_argument, ...) into MemoryError, ValueError and
    // so on, and anything else into RuntimeError.
    py::register_exception_translator([](std::exception_ptr thrown) {
        try {
            if (thrown)
                std::rethrow_exception(thrown);
        } catch (const InputProblem& problem) {
            PyErr_SetString(InputErrorClass, problem.what());
        } catch (const NumericalProblem& problem) {
            SetNumericalError(problem.what(), problem.kind, problem.reason);
        } catch (const NumericalFault& fault) {
            const std::string kind = FaultKindName(fault.kind());
            SetNumericalError(std::string(fault.what()) + " (" + kind + ")", kind, fault.what());
        }
    });
}

py::array ReadOnlyArray(const std::vector<double>& values)
{
    return ReadOnlyMatrix(values, values.size(), 0);
}

py::array ReadOnlyMatrix(const std::vector<double>& values, std::size_t rows, std::size_t columns)
{
    py::array_t<double> array = columns == 0 ? py::array_t<double>(static_cast<py::ssize_t>(rows))
                                             : py::array_t<double>({static_cast<py::ssize_t>(rows),
                                                                    static_cast<py::ssize_t>(columns)});
    std::copy(values.begin(), values.end(), array.mutable_data());
    array.attr("flags").attr("writeable") = false;
    return array;
}

} // namespace envelope::python
