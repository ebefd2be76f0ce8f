#include "components/component_table.h"

#include <cctype>

#include "components/component_data.h"
#include "components/table_text.h"

namespace envelope {

namespace {

constexpr std::string_view Heading = "name,aliases,tc_k,pc_bar,omega";

std::vector<std::string> Words(std::string_view text)
{
    std::vector<std::string> words;
    std::string word;
    for (char c : text) {
        if (std::isspace(static_cast<unsigned char>(c))) {
            if (!word.empty())
                words.push_back(std::move(word));
            word.clear();
        } else {
            word += c;
        }
    }
    if (!word.empty())
        words.push_back(std::move(word));
    return words;
}

// Whether the component has this name or alias, given in lower case.
bool Matches(const Component& component, const std::string& lowerName)
{
    if (LowerText(component.name) == lowerName)
        return true;
    for (const std::string& alias : component.aliases)
        if (LowerText(alias) == lowerName)
            return true;
    return false;
}

[[noreturn]] void Malformed(int lineNumber, const std::string& problem)
{
    TableError("component table", lineNumber, problem);
}

} // namespace

std::vector<Component> ParseComponentTable(std::string_view csv)
{
    const std::vector<TableLine> lines = TableEntries(csv, Heading, "component table");
    std::vector<Component> table;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int lineNumber = lines[k].number;
        const std::vector<std::string> fields = CsvFields(lines[k].text);
        if (fields.size() != 5)
            Malformed(lineNumber, "five fields expected");
        Component component;
        component.name = std::string(TrimmedText(fields[0]));
        component.aliases = Words(fields[1]);
        if (component.name.empty())
            Malformed(lineNumber, "no name");
        if (!ReadTableNumber(fields[2], component.criticalTemperature) || component.criticalTemperature <= 0.0 ||
            !ReadTableNumber(fields[3], component.criticalPressure) || component.criticalPressure <= 0.0 ||
            !ReadTableNumber(fields[4], component.acentricFactor))
            Malformed(lineNumber, "Tc and Pc must be positive numbers and omega a number");
        std::vector<std::string> names = component.aliases;
        names.push_back(component.name);
        for (const std::string& name : names)
            for (const Component& earlier : table)
                if (Matches(earlier, LowerText(name)))
                    Malformed(lineNumber, "'" + name + "' names an earlier component too");
        table.push_back(std::move(component));
    }
    return table;
}

const std::vector<Component>& ComponentTable()
{
    static const std::vector<Component> table = ParseComponentTable(ComponentTableText);
    return table;
}

const Component* FindComponent(std::string_view name)
{
    const std::string wanted = LowerText(TrimmedText(name));
    for (const Component& component : ComponentTable())
        if (Matches(component, wanted))
            return &component;
    return nullptr;
}

} // namespace envelope
