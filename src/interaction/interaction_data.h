#pragma once
// The text of interaction/kij.csv, embedded into the program when it is built
// (interaction_data.cpp.in).

#include <string_view>

namespace envelope {

extern const std::string_view InteractionTableText;

} // namespace envelope
