#include "thermo/numerical_fault.h"

namespace envelope {

void RaiseNumericalFault(const char* what)
{
    throw NumericalFault(what);
}

} // namespace envelope
