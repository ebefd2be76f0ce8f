#include "components/component_table.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>

#include "components/component_data.h"

namespace envelope {

namespace {

constexpr std::string_view Heading = "name,aliases,tc_k,pc_bar,omega";

std::string Lower(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string_view Trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

// The comma-separated fields of one line; a field in double quotes may hold
// commas. Empty when a quote is not closed.
std::vector<std::string> Fields(std::string_view line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (char c : line) {
        if (c == '"')
            quoted = !quoted;
        else if (c == ',' && !quoted)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    if (quoted)
        return {};
    return fields;
}

bool ReadNumber(std::string_view text, double& value)
{
    text = Trimmed(text);
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

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
    if (Lower(component.name) == lowerName)
        return true;
    for (const std::string& alias : component.aliases)
        if (Lower(alias) == lowerName)
            return true;
    return false;
}

[[noreturn]] void Malformed(int lineNumber, const std::string& problem)
{
    throw std::invalid_argument("component table, line " + std::to_string(lineNumber) + ": " + problem);
}

} // namespace

std::vector<Component> ParseComponentTable(std::string_view csv)
{
    std::vector<Component> table;
    bool headingSeen = false;
    int lineNumber = 0;
    while (!csv.empty()) {
        const std::size_t end = csv.find('\n');
        std::string_view line = Trimmed(csv.substr(0, end));
        csv.remove_prefix(end == std::string_view::npos ? csv.size() : end + 1);
        ++lineNumber;
        if (line.empty() || line.front() == '#')
            continue;
        if (!headingSeen) {
            if (line != Heading)
                Malformed(lineNumber, "the heading must be '" + std::string(Heading) + "'");
            headingSeen = true;
            continue;
        }
        const std::vector<std::string> fields = Fields(line);
        if (fields.size() != 5)
            Malformed(lineNumber, "five fields expected");
        Component component;
        component.name = std::string(Trimmed(fields[0]));
        component.aliases = Words(fields[1]);
        if (component.name.empty())
            Malformed(lineNumber, "no name");
        if (!ReadNumber(fields[2], component.criticalTemperature) || component.criticalTemperature <= 0.0 ||
            !ReadNumber(fields[3], component.criticalPressure) || component.criticalPressure <= 0.0 ||
            !ReadNumber(fields[4], component.acentricFactor))
            Malformed(lineNumber, "Tc and Pc must be positive numbers and omega a number");
        std::vector<std::string> names = component.aliases;
        names.push_back(component.name);
        for (const std::string& name : names)
            for (const Component& earlier : table)
                if (Matches(earlier, Lower(name)))
                    Malformed(lineNumber, "'" + name + "' names an earlier component too");
        table.push_back(std::move(component));
    }
    if (!headingSeen)
        Malformed(lineNumber, "no heading");
    return table;
}

const std::vector<Component>& ComponentTable()
{
    static const std::vector<Component> table = ParseComponentTable(ComponentTableText);
    return table;
}

const Component* FindComponent(std::string_view name)
{
    const std::string wanted = Lower(Trimmed(name));
    for (const Component& component : ComponentTable())
        if (Matches(component, wanted))
            return &component;
    return nullptr;
}

} // namespace envelope
