#include "thermo/numerical_fault.h"

namespace envelope {

const char* FaultKindName(FaultKind kind)
{
    switch (kind) {
    case FaultKind::NotFinite:
        return "not finite";
    case FaultKind::Index:
        return "index out of range";
    case FaultKind::CountOverflow:
        return "count overflow";
    case FaultKind::NotConverged:
        return "not converged";
    case FaultKind::TrivialSolution:
        return "trivial solution";
    case FaultKind::NoBracket:
        return "no bracket";
    case FaultKind::TooFewPoints:
        return "too few points";
    case FaultKind::Text:
        return "number and text";
    case FaultKind::BadInput:
        return "bad input";
    }
    return "unknown";
}

void RaiseNumericalFault(FaultKind kind, const char* reason)
{
    throw NumericalFault(kind, reason);
}

} // namespace envelope
