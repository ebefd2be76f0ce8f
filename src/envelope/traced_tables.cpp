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

const char* PhaseText(trace::TracePhase phase)
{
    switch (phase) {
    case trace::TracePhase::Dew:
        return "dew";
    case trace::TracePhase::Critical:
        return "critical";
    case trace::TracePhase::Bubble:
        break;
    }
    return "bubble";
}

TextRows TraceStatusRows(const trace::TracedEnvelope& envelope)
{
    const trace::TraceVerdict& verdict = envelope.verdict;
    return {
        {"Status", "Reason"},
        {trace::VerdictText(verdict.kind), verdict.reason.empty() ? "-" : verdict.reason},
    };
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
                        PhaseText(p.phase)});
    }
    return rows;
}

std::array<CsvFile, 3> TracedCsvFiles(const trace::TracedEnvelope& envelope)
{
    return {CsvFile{TraceStatusCsvFileName, RowsCsv(TraceStatusRows(envelope))},
            CsvFile{CriticalPointsCsvFileName, RowsCsv(CriticalPointsRows(envelope))},
            CsvFile{TracedCsvFileName, RowsCsv(TracedRows(envelope))}};
}

std::string TraceVerdictText(const trace::TracedEnvelope& envelope)
{
    return trace::FormatVerdict(envelope.verdict);
}

void WriteTracedReport(std::ostream& out, const trace::TracedEnvelope& envelope)
{
    WriteSection(out, TraceStatusCaption, TraceStatusRows(envelope));
    out << '\n';
    WriteSection(out, CriticalPointsCaption, CriticalPointsRows(envelope));
    out << '\n';
    WriteSection(out, TracedEnvelopeCaption, TracedRows(envelope));
}

} // namespace envelope
