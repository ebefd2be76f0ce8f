#pragma once
// The built-in mixture: methane-, ethane- and octane-like components.

#include "thermo/mixture.h"

namespace envelope {

// The built-in case as a value: three components, feed (0.1, 0.15, 0.75), no
// interaction parameters.
Mixture BuiltInMixture();

// Whether the mixture holds the built-in case's components, constants, feed
// and interaction parameters exactly, whatever its name: such a mixture is run
// with the built-in case's own start guesses, and so gives its results to the
// last digit.
bool IsBuiltInCase(const Mixture& mixture);

} // namespace envelope
