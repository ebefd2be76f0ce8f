#pragma once
// The built-in mixture: methane-, ethane- and octane-like components.

#include "thermo/composition.h"
#include "thermo/mixture.h"

namespace envelope {

// The built-in case as a value: three components, feed (0.1, 0.15, 0.75), no
// interaction parameters.
Mixture BuiltInMixture();

// Writes the built-in case into the property tables, sets ComponentCount to 3
// and returns the feed composition (0.1, 0.15, 0.75).
CompositionVector LoadBuiltInCase();

} // namespace envelope
