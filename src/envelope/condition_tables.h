#pragma once
// Checked conditions as text: the points and, for each one of two phases,
// its compositions, as rows of cell texts (heading row first), printed as
// two tab-separated sections and written as two CSV files.

#include <array>
#include <ostream>
#include <string>
#include <vector>

#include "condition/check.h"
#include "envelope/traced_tables.h"
#include "units/units.h"

namespace envelope {

inline constexpr char ConditionsCaption[] = "Conditions";
inline constexpr char PhaseCompositionsCaption[] = "Phase Compositions";
inline constexpr char ConditionsCsvFileName[] = "conditions.csv";
inline constexpr char PhaseCompositionsCsvFileName[] = "phase-compositions.csv";
// The names in the order of ConditionsCsvFiles.
inline constexpr std::array<const char*, 2> ConditionsCsvFileNames = {ConditionsCsvFileName,
                                                                      PhaseCompositionsCsvFileName};

// The checked conditions of one mixture, in the order asked for; points are
// numbered from 1.
struct CheckedConditions {
    std::vector<std::string> componentNames;
    std::vector<condition::ConditionCheck> points;
};

// "Point", "T (K)", "P (bar)", "Phases", "Vapour fraction"; then one row a
// point: T and P with three decimals, the phases "1" or "2" ("?" for a check
// that failed), the vapour fraction with four decimals ("-" unless two).
// In other units the headings name them ("T (°C)", "P (psia)") and T and P
// have the units' decimals.
TextRows ConditionsRows(const CheckedConditions& conditions, const Units& units = {});

// "Point", "Component", "Feed", "Liquid", "Vapour"; then for each point of
// two phases one row a component, the mole fractions with six decimals. A
// component without a name is "component N", counted from 1.
TextRows PhaseCompositionsRows(const CheckedConditions& conditions);

// Both sections, one empty line between them; T and P in the units given.
void WriteConditionsReport(std::ostream& out, const CheckedConditions& conditions, const Units& units = {});

// Both tables as the CSV files conditions.csv and phase-compositions.csv.
std::array<CsvFile, 2> ConditionsCsvFiles(const CheckedConditions& conditions);

} // namespace envelope
