#pragma once
// The table of pure components built into the program (components/components.csv):
// critical temperature, critical pressure and acentric factor by name.

#include <string>
#include <string_view>
#include <vector>

namespace envelope {

struct Component {
    std::string name;
    // Other names accepted for the component, such as its formula.
    std::vector<std::string> aliases;
    double criticalTemperature = 0.0; // K
    double criticalPressure = 0.0;    // bar
    double acentricFactor = 0.0;
};

// Reads a component table in the form of components/components.csv: lines
// starting with '#' are comments, then the heading line
// "name,aliases,tc_k,pc_bar,omega", then one component per line; a field may
// be quoted to hold a comma, and aliases are separated by spaces. Throws
// std::invalid_argument naming the line of the first malformed entry.
std::vector<Component> ParseComponentTable(std::string_view csv);

// The built-in table, in the order of its file.
const std::vector<Component>& ComponentTable();

// The component of the built-in table with this name or alias, matched
// without regard to case; nullptr when there is none.
const Component* FindComponent(std::string_view name);

} // namespace envelope
