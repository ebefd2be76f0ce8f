#pragma once
// The equation of state a condition is checked with: the traced envelope's
// own SRK code, with its own cubic solver (never the run's root finder).
// Every calculation of this folder takes the model as an argument; the
// functions that take only a mixture build it from the mixture, here.

#include "thermo/mixture.h"
#include "trace/srk_model.h"

namespace envelope::condition {

using Model = trace::SrkModel;

// The model of the mixture's components. Unusable constants raise
// NumericalFault.
inline Model ModelOf(const Mixture& mixture)
{
    return Model(mixture);
}

} // namespace envelope::condition
