#pragma once
// The traced envelope as text: its verdict, its characteristic points and
// its points as rows of cell texts (heading row first), printed as three
// tab-separated sections and written as three CSV files.

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "envelope/csv.h"
#include "trace/trace.h"

namespace envelope {

inline constexpr char TraceStatusCaption[] = "Trace Status";
inline constexpr char CriticalPointsCaption[] = "Critical Points";
inline constexpr char TracedEnvelopeCaption[] = "Traced Envelope";
inline constexpr char TraceStatusCsvFileName[] = "trace-status.csv";
inline constexpr char CriticalPointsCsvFileName[] = "critical-points.csv";
inline constexpr char TracedCsvFileName[] = "traced.csv";
// The names in the order of TracedCsvFiles.
inline constexpr std::array<const char*, 3> TracedCsvFileNames = {TraceStatusCsvFileName, CriticalPointsCsvFileName,
                                                                  TracedCsvFileName};

using TextRows = std::vector<std::vector<std::string>>;

// "Status", "Reason"; then the verdict's text ("complete", "open" or
// "stopped") and its reason, or "-" when it has none.
TextRows TraceStatusRows(const trace::TracedEnvelope& envelope);

// "Point", "T (K)", "P (bar)"; then the critical point, the cricondenbar and
// the cricondentherm, each with three decimals, or "-" when not found.
TextRows CriticalPointsRows(const trace::TracedEnvelope& envelope);

// "Index", "T (K)", "P (bar)", "Phase"; then one row a traced point from 1,
// with three decimals and the phase "dew", "critical" or "bubble".
TextRows TracedRows(const trace::TracedEnvelope& envelope);

// The three sections, each its caption on one line and its rows with the
// cells joined by tabs, one empty line between them.
void WriteTracedReport(std::ostream& out, const trace::TracedEnvelope& envelope);

// The three tables as the CSV files trace-status.csv, critical-points.csv
// and traced.csv.
std::array<CsvFile, 3> TracedCsvFiles(const trace::TracedEnvelope& envelope);

// How the trace ended, in one line: trace::FormatVerdict of its verdict.
std::string TraceVerdictText(const trace::TracedEnvelope& envelope);

// One section: the caption on one line, then each row with its cells joined
// by tabs.
void WriteSection(std::ostream& out, const char* caption, const TextRows& rows);

// The value with exactly the given number of decimals and "." as the
// decimal separator; "-" for a value that is not finite.
std::string FormatFixed(double value, int decimals);

// FormatFixed(value, 3).
std::string FormatFixedThree(double value);

// "dew", "critical" or "bubble".
const char* PhaseText(trace::TracePhase phase);

} // namespace envelope
