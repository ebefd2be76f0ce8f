#pragma once
// The results as comma-separated values (RFC 4180), each record ended by
// CR LF: a result table one record a row, the heading row first, each cell's
// text exactly as the table holds it; and the constant vapour-fraction points,
// which have no table, one record a point.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "envelope/run_result.h"
#include "envelope/table.h"

namespace envelope {

// The names under which the three tables are written.
inline constexpr char BubbleCsvFileName[] = "bubble.csv";
inline constexpr char DewCsvFileName[] = "dew.csv";
inline constexpr char InterpolationCsvFileName[] = "interpolation.csv";
inline constexpr char FractionCsvFileName[] = "vapour-fractions.csv";
// The names of the files a run is exported as, in the order of RunCsvFiles.
inline constexpr std::array<const char*, 4> RunCsvFileNames = {BubbleCsvFileName, DewCsvFileName,
                                                               InterpolationCsvFileName, FractionCsvFileName};

// One file of the set that a run is exported as.
struct CsvFile {
    const char* fileName;
    std::string contents;
};

// The text as one field: unchanged, or in double quotes with every double
// quote doubled when it holds a comma, a double quote, a carriage return or
// a line feed. Any other byte, spaces included, stands as it is.
std::string CsvField(std::string_view text);

// Every row of the table from the heading row down, the cells joined by
// commas and each record ended by CR LF. A row below the heading whose cells
// are all empty holds no result (a table has such a row before its first
// run) and is left out.
std::string TableCsv(const Table& table);

// Rows of cell texts, each row one record, the cells joined by commas and
// each record ended by CR LF.
std::string RowsCsv(const std::vector<std::vector<std::string>>& rows);

// The heading "vapour fraction,T (K),P (bar)", then one record a point in
// the order given. Every number is the shortest decimal text that reads back
// as the same double ("0.05", "171.60833740234375"; an exponent only where it
// is shorter, "1e-05"), with "." as the decimal separator whatever the locale:
// the points carry no rounding of their own, unlike the table texts.
std::string FractionCsv(const std::vector<FractionPoint>& points);

// The files a run is exported as, named as in RunCsvFileNames.
std::array<CsvFile, 4> RunCsvFiles(const Table& bubbleTable, const Table& dewTable, const Table& interpolationTable,
                                   const std::vector<FractionPoint>& fractionPoints);

} // namespace envelope
