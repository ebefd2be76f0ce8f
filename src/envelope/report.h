#pragma once
// The plain-text report of the three result tables, for running without windows.

#include <ostream>

#include "envelope/table.h"

namespace envelope {

// Captions of the frames around the three tables.
inline constexpr char BubbleTableCaption[] = "Bubble Curve Table";
inline constexpr char DewTableCaption[] = "Dew Curve Table";
inline constexpr char InterpolationTableCaption[] = "Interpolation by Spline";

// Each table as its caption on one line, then every row from the heading row
// down as its cell texts joined by a tab, one line a row; one empty line
// between two tables.
void WriteReport(std::ostream& out, const Table& bubbleTable, const Table& dewTable, const Table& interpolationTable);

} // namespace envelope
