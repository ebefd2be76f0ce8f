#include "components/table_text.h"

#include <cctype>
#include <charconv>
#include <cmath>
#include <stdexcept>

namespace envelope {

std::string_view TrimmedText(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

std::string LowerText(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::vector<std::string> CsvFields(std::string_view line)
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

bool ReadTableNumber(std::string_view text, double& value)
{
    text = TrimmedText(text);
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end && std::isfinite(value);
}

std::vector<TableLine> TableLines(std::string_view text)
{
    std::vector<TableLine> lines;
    int number = 0;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        const std::string_view line = TrimmedText(text.substr(0, end));
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++number;
        if (!line.empty() && line.front() != '#')
            lines.push_back({number, line});
    }
    return lines;
}

void TableError(std::string_view table, int lineNumber, const std::string& problem)
{
    throw std::invalid_argument(std::string(table) + ", line " + std::to_string(lineNumber) + ": " + problem);
}

std::vector<TableLine> TableEntries(std::string_view text, std::string_view heading, std::string_view table)
{
    std::vector<TableLine> lines = TableLines(text);
    if (lines.empty())
        TableError(table, 1, "no heading");
    if (lines.front().text != heading)
        TableError(table, lines.front().number, "the heading must be '" + std::string(heading) + "'");
    lines.erase(lines.begin());
    return lines;
}

} // namespace envelope
