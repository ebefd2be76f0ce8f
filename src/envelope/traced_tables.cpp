#include "envelope/traced_tables.h"

#include <charconv>
#include <cmath>

namespace envelope {

namespace {

std::vector<std::string> PointRow(const char* name, const trace::CharacteristicPoint& point)
{
    if (!point.found)
        return {name, "-", "-"};
    return {name, FormatFixedThree(point.temperature), FormatFixedThree(point.pressure)};
}

} // namespace

void WriteSection(std::ostream& out, const char* caption, const TextRows& rows)
{
    out << caption << '\n';
    for (const std::vector<std::string>& row : rows) {
        for (std::size_t column = 0; column < row.size(); ++column) {
            if (column > 0)
                out << '\t';
            out << row[column];
        }
        out << '\n';
    }
}

std::string FormatFixedThree(double value)
{
    return FormatFixed(value, 3);
}

std::string FormatFixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return "-";
    char text[64];
    const std::to_chars_result end =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (end.ec != std::errc())
        return "-";
    return std::string(text, end.ptr);
}

TextRows CriticalPointsRows(const trace::TracedEnvelope& envelope)
{
    return {
        {"Point", "T (K)", "P (bar)"},
        PointRow("critical point", envelope.critical),
        PointRow("cricondenbar", envelope.cricondenbar),
        PointRow("cricondentherm", envelope.cricondentherm),
    };
}

TextRows TracedRows(const trace::TracedEnvelope& envelope)
{
    TextRows rows;
    rows.reserve(envelope.points.size() + 1);
    rows.push_back({"Index", "T (K)", "P (bar)", "Phase"});
    for (std::size_t i = 0; i < envelope.points.size(); ++i) {
        const trace::TracePoint& p = envelope.points[i];
        rows.push_back({std::to_string(i + 1), FormatFixedThree(p.temperature), FormatFixedThree(p.pressure),
                        p.phase == trace::TracePhase::Dew ? "dew" : "bubble"});
    }
    return rows;
}

std::array<CsvFile, 2> TracedCsvFiles(const trace::TracedEnvelope& envelope)
{
    return {CsvFile{CriticalPointsCsvFileName, RowsCsv(CriticalPointsRows(envelope))},
            CsvFile{TracedCsvFileName, RowsCsv(TracedRows(envelope))}};
}

std::string TraceVerdictText(const trace::TracedEnvelope& envelope)
{
    std::string verdict;
    switch (envelope.status) {
    case trace::TraceStatus::Complete:
        return "complete";
    case trace::TraceStatus::Open:
        verdict = "open";
        break;
    case trace::TraceStatus::NoStart:
    case trace::TraceStatus::NotConverged:
    case trace::TraceStatus::OutOfRange:
    case trace::TraceStatus::PointLimit:
        verdict = "stopped";
        break;
    }
    if (!envelope.reason.empty())
        verdict += ": " + envelope.reason;
    return verdict;
}

void WriteTracedReport(std::ostream& out, const trace::TracedEnvelope& envelope)
{
    WriteSection(out, CriticalPointsCaption, CriticalPointsRows(envelope));
    out << '\n';
    WriteSection(out, TracedEnvelopeCaption, TracedRows(envelope));
}

} // namespace envelope
