#pragma once
// Reading the data tables built into the program (components/components.csv,
// interaction/kij.csv): their lines, their comma-separated fields and their
// numbers.

#include <string>
#include <string_view>
#include <vector>

namespace envelope {

// The text without leading and trailing white space.
std::string_view TrimmedText(std::string_view text);

// The text in lower case (ASCII letters only).
std::string LowerText(std::string_view text);

// The comma-separated fields of one line; a field in double quotes may hold
// commas. Empty when a quote is not closed.
std::vector<std::string> CsvFields(std::string_view line);

// Reads a finite number that fills the whole (trimmed) text.
bool ReadTableNumber(std::string_view text, double& value);

// The lines of a table's text that carry data: the heading and the entries,
// each with its line number (from 1); empty lines and lines starting with '#'
// are left out.
struct TableLine {
    int number = 0;
    std::string_view text;
};
std::vector<TableLine> TableLines(std::string_view text);

// Throws std::invalid_argument "<table>, line <n>: <problem>".
[[noreturn]] void TableError(std::string_view table, int lineNumber, const std::string& problem);

// The entry lines of a table's text, which must start with this heading line;
// throws TableError naming the table when it does not.
std::vector<TableLine> TableEntries(std::string_view text, std::string_view heading, std::string_view table);

} // namespace envelope
