#pragma once
// The results the module returns, as Python values made once, under the
// interpreter lock, when the computation has ended.

#include <string>

#include "bindings.h"
#include "condition/check.h"

namespace envelope::python {

// The traced envelope.
struct TraceResultValue {
    py::array temperatures; // K
    py::array pressures;    // bar
    py::list phases;
    py::object critical;
    py::object cricondenbar;
    py::object cricondentherm;
    std::string status;
    std::string reason;
    double startPressure = 0.0;
};

// How the run went.
struct RunReportValue {
    std::string outcome;
    std::string summary;
    std::string details;
};

// The specified run.
struct RunResultValue {
    py::array bubble;
    py::array dew;
    py::array interpolation;
    py::dict vapourFractions;
    RunReportValue report;
};

} // namespace envelope::python

ENVELOPE_CONSTRUCTED_ONLY(envelope::python::TraceResultValue);
ENVELOPE_CONSTRUCTED_ONLY(envelope::python::RunReportValue);
ENVELOPE_CONSTRUCTED_ONLY(envelope::python::RunResultValue);
ENVELOPE_CONSTRUCTED_ONLY(envelope::condition::ConditionCheck);
