#pragma once
// A result table as comma-separated values (RFC 4180): one record a row, the
// heading row first, each cell's text exactly as the table holds it.

#include <string>
#include <string_view>

#include "envelope/table.h"

namespace envelope {

// The names under which the three tables are written.
inline constexpr char BubbleCsvFileName[] = "bubble.csv";
inline constexpr char DewCsvFileName[] = "dew.csv";
inline constexpr char InterpolationCsvFileName[] = "interpolation.csv";

// The text as one field: unchanged, or in double quotes with every double
// quote doubled when it holds a comma, a double quote, a carriage return or
// a line feed. Any other byte, spaces included, stands as it is.
std::string CsvField(std::string_view text);

// Every row of the table from the heading row down, the cells joined by
// commas and each record ended by CR LF. A row below the heading whose cells
// are all empty holds no result (a table has such a row before its first
// run) and is left out.
std::string TableCsv(const Table& table);

} // namespace envelope
