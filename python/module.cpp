// The Python module `envelope`.

#include "bindings.h"

PYBIND11_MODULE(envelope, module)
{
    module.doc() = R"(Phase envelopes of mixtures with a cubic equation of state: Soave-Redlich-Kwong
(SRK, the default), Peng-Robinson (PR) or Peng-Robinson 1978 (PR78).

Temperatures are in K and pressures in bar throughout.

    import envelope
    gas = envelope.Mixture(["methane", "ethane", "propane"], [0.8, 0.15, 0.05])
    envelope.trace(gas).critical                      # (T, P) of the critical point
    envelope.run(envelope.Mixture.builtin()).bubble   # the bubble-curve table, n x 2

components()     the component table
Mixture          a mixture: components, feed mole fractions, interaction parameters, equation of state
read_case(path), write_case(mixture, path)   case files, as the envelope program reads them
trace(mixture)   the whole envelope traced through its critical point
run(mixture)     the specified run: bubble, dew and spline tables, constant vapour-fraction lines
check(mixture, T, P)   one phase or two at a condition, and the phases' compositions
InputError, NumericalError   what bad input and a failed computation raise

The computations release the interpreter lock: threads run envelopes at the same time.)";
    module.attr("__version__") = ENVELOPE_VERSION;
    using namespace envelope::python;
    BindErrors(module);
    BindMixture(module);
    BindTrace(module);
    BindRun(module);
    BindCheck(module);
    BindComputationGate(module);
}
