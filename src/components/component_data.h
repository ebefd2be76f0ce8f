#pragma once
// The text of components/components.csv, embedded into the program when it is
// built (component_data.cpp.in).

#include <string_view>

namespace envelope {

extern const std::string_view ComponentTableText;

} // namespace envelope
