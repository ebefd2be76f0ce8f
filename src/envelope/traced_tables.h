#pragma once
// The traced envelope as text: its characteristic points and its points as
// rows of cell texts (heading row first), printed as two tab-separated
// sections and written as two CSV files.

#include <ostream>
#include <string>
#include <vector>

#include "trace/trace.h"

namespace envelope {

inline constexpr char CriticalPointsCaption[] = "Critical Points";
inline constexpr char TracedEnvelopeCaption[] = "Traced Envelope";
inline constexpr char CriticalPointsCsvFileName[] = "critical-points.csv";
inline constexpr char TracedCsvFileName[] = "traced.csv";

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

// The value with exactly three decimals and "." as the decimal separator.
std::string FormatFixedThree(double value);

} // namespace envelope
