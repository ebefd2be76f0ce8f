#pragma once
// The equation of state a condition is checked with: the traced envelope's
// own code for the cubic model, with its own cubic solver (never the run's
// root finder).
// Every calculation of this folder takes the model as an argument; the
// functions that take only a mixture build it from the mixture, here.

#include "thermo/mixture.h"
#include "thermo/cubic_model.h"
#include "trace/mixture_model.h"

namespace envelope::condition {

using Model = trace::MixtureModel;

// The cubic model (SRK unless another is given) of the mixture's components.
// Unusable constants raise NumericalFault.
inline Model ModelOf(const Mixture& mixture, const CubicModel& eos = SoaveRedlichKwong)
{
    return Model(mixture, eos);
}

} // namespace envelope::condition
