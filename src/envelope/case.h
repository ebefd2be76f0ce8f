#pragma once
// The built-in mixture: methane-, ethane- and octane-like components.

#include "thermo/mixture.h"

namespace envelope {

// The built-in case as a value: three components, feed (0.1, 0.15, 0.75), no
// interaction parameters.
Mixture BuiltInMixture();

} // namespace envelope
