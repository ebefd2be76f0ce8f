#include "envelope/condition_tables.h"

namespace envelope {

TextRows ConditionsRows(const CheckedConditions& conditions, const Units& units)
{
    TextRows rows;
    rows.reserve(conditions.points.size() + 1);
    rows.push_back({"Point", "T (" + std::string(Symbol(units.temperature)) + ")",
                    "P (" + std::string(Symbol(units.pressure)) + ")", "Phases", "Vapour fraction"});
    for (std::size_t i = 0; i < conditions.points.size(); ++i) {
        const condition::ConditionCheck& point = conditions.points[i];
        const bool two = point.phases == condition::PointPhases::Two;
        const char* phases = two ? "2" : point.phases == condition::PointPhases::One ? "1" : "?";
        rows.push_back({std::to_string(i + 1), FormatTemperature(point.temperature, units.temperature),
                        FormatPressure(point.pressure, units.pressure),
                        phases, two ? FormatFixed(point.vapourFraction, 4) : "-"});
    }
    return rows;
}

TextRows PhaseCompositionsRows(const CheckedConditions& conditions)
{
    TextRows rows;
    rows.push_back({"Point", "Component", "Feed", "Liquid", "Vapour"});
    for (std::size_t i = 0; i < conditions.points.size(); ++i) {
        const condition::ConditionCheck& point = conditions.points[i];
        if (point.phases != condition::PointPhases::Two)
            continue;
        for (std::size_t c = 0; c < point.feed.size(); ++c) {
            std::string name = c < conditions.componentNames.size() ? conditions.componentNames[c] : std::string();
            if (name.empty())
                name = "component " + std::to_string(c + 1);
            rows.push_back({std::to_string(i + 1), name, FormatFixed(point.feed[c], 6),
                            FormatFixed(point.liquid[c], 6), FormatFixed(point.vapour[c], 6)});
        }
    }
    return rows;
}

void WriteConditionsReport(std::ostream& out, const CheckedConditions& conditions, const Units& units)
{
    WriteSection(out, ConditionsCaption, ConditionsRows(conditions, units));
    out << '\n';
    WriteSection(out, PhaseCompositionsCaption, PhaseCompositionsRows(conditions));
}

std::array<CsvFile, 2> ConditionsCsvFiles(const CheckedConditions& conditions)
{
    return {{{ConditionsCsvFileName, RowsCsv(ConditionsRows(conditions))},
             {PhaseCompositionsCsvFileName, RowsCsv(PhaseCompositionsRows(conditions))}}};
}

} // namespace envelope
