#pragma once
// A run's result written onto result tables and a chart exactly as the run
// has always written them, one operation at a time: the adapters between the
// result value and the windows, the batch text and the CSV files.

#include "envelope/chart.h"
#include "envelope/run_result.h"
#include "envelope/table.h"

namespace envelope {

// Writes the rows into the table, each cell by cell: a start row (row 1 of a
// table with one) into the table as it stands, every other row r after
// setting the row count to r + 1. The table is never cleared, so rows beyond
// the last one written are dropped only when a row after the start row is
// written, and a table that gets no such row keeps its rows from row 2 on.
// A fault the table raises passes on, with the rows before it written.
void WriteRows(const ResultTable& rows, Table& table);

// Sets the six series' titles, then adds every point of the result in its
// order. The chart is never cleared: a chart that holds the points of an
// earlier run keeps them.
void DrawPoints(const RunResult& result, Chart& chart);

// The series titles, then the rows of the three tables, then the points.
void WriteRunResult(const RunResult& result, Table& bubbleTable, Table& dewTable, Table& interpolationTable,
                    Chart& chart);

} // namespace envelope
