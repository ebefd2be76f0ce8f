#pragma once
// The traced envelope as text: its characteristic points and its points as
// rows of cell texts (heading row first), printed as two tab-separated
// sections and written as two CSV files.

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "envelope/csv.h"
#include "trace/trace.h"

namespace envelope {

inline constexpr char CriticalPointsCaption[] = "Critical Points";
inline constexpr char TracedEnvelopeCaption[] = "Traced Envelope";
inline constexpr char CriticalPointsCsvFileName[] = "critical-points.csv";
inline constexpr char TracedCsvFileName[] = "traced.csv";
// The names in the order of TracedCsvFiles.
inline constexpr std::array<const char*, 2> TracedCsvFileNames = {CriticalPointsCsvFileName, TracedCsvFileName};

using TextRows = std::vector<std::vector<std::string>>;

// "Point", "T (K)", "P (bar)"; then the critical point, the cricondenbar and
// the cricondentherm, each with three decimals, or "-" when not found.
TextRows CriticalPointsRows(const trace::TracedEnvelope& envelope);

// "Index", "T (K)", "P (bar)", "Phase"; then one row a traced point from 1,
// with three decimals and the phase "dew" or "bubble".
TextRows TracedRows(const trace::TracedEnvelope& envelope);

// Both sections, each its caption on one line and its rows with the cells
// joined by tabs, one empty line between them.
void WriteTracedReport(std::ostream& out, const trace::TracedEnvelope& envelope);

// Both tables as the CSV files critical-points.csv and traced.csv.
std::array<CsvFile, 2> TracedCsvFiles(const trace::TracedEnvelope& envelope);

// How the trace ended, in a few words: "complete", or "open" or "stopped"
// followed by ": " and the reason, when there is one.
std::string TraceVerdictText(const trace::TracedEnvelope& envelope);

// One section: the caption on one line, then each row with its cells joined
// by tabs.
void WriteSection(std::ostream& out, const char* caption, const TextRows& rows);

// The value with exactly the given number of decimals and "." as the
// decimal separator; "-" for a value that is not finite.
std::string FormatFixed(double value, int decimals);

// FormatFixed(value, 3).
std::string FormatFixedThree(double value);

} // namespace envelope
