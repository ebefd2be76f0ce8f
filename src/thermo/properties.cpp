#include "thermo/properties.h"

namespace envelope {

std::int16_t ComponentCount = 0;
PropertyTable CriticalTemperature{};
PropertyTable CriticalPressure{};
PropertyTable AcentricFactor{};

} // namespace envelope
