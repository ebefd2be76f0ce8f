#pragma once
// The table of binary interaction parameters built into the program
// (interaction/kij.csv, from Knapp et al., DECHEMA Chemistry Data Series VI,
// 1982): k_ij of the mixing rule by the two components and the equation of
// state. Components are those of the component table, named by their name or
// an alias; a pair the table does not list has k_ij = 0.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "thermo/eos_kind.h"
#include "thermo/mixture.h"

namespace envelope {

// The source of the table, as messages cite it.
inline constexpr std::string_view InteractionTableSource = "Knapp et al. (1982)";

struct InteractionEntry {
    // The two components, as the component table names them.
    std::string first;
    std::string second;
    // SRK or PR: the table has no rows of its own for PR78.
    EosKind eos = EosKind::SRK;
    double kij = 0.0;
    // The page of the source the value is printed on.
    int page = 0;
    // The range of the measured data set the value was fitted to, as the
    // source states it; may be empty.
    std::string dataSet;
};

// Reads a table in the form of interaction/kij.csv: lines starting with '#'
// are comments, then the heading "component1,component2,eos,kij,page,data_set",
// then one pair and equation of state per line. Throws std::invalid_argument
// naming the line of the first malformed entry: a component not in the
// component table, a pair of one component, an eos other than SRK or PR, k_ij
// outside (-1, 1), a page that is not a positive whole number, or a pair and
// eos given twice.
std::vector<InteractionEntry> ParseInteractionTable(std::string_view csv);

// The built-in table, in the order of its file.
const std::vector<InteractionEntry>& InteractionTable();

// The equation of state whose rows give k_ij for eos: PR78 takes PR's.
EosKind InteractionTableEos(EosKind eos);

// The entry of the built-in table for the two components (names or aliases,
// in either order, without regard to case) and the equation of state; nullptr
// when the table has none, or a name is not in the component table.
const InteractionEntry* FindInteraction(std::string_view a, std::string_view b, EosKind eos);

// A pair of a mixture's components whose k_ij came from the table.
struct TablePair {
    std::size_t first = 0;
    std::size_t second = 0;
    const InteractionEntry* entry = nullptr;
};

struct TableInteractions {
    // Row-major, one row and column per component, symmetric with a zero
    // diagonal; 0 for every pair the table does not list.
    std::vector<double> kij;
    // The pairs (first < second) found in the table, in row-major order.
    std::vector<TablePair> pairs;
};

// k_ij from the built-in table for every pair of the named components.
TableInteractions InteractionsFromTable(const std::vector<std::string>& componentNames, EosKind eos);

// Sets the mixture's k_ij to the table's for its components (left empty when
// the table has none of its pairs), marks them as the table's, and returns
// what was found.
TableInteractions ApplyInteractionTable(Mixture& mixture, EosKind eos);

// Whether the mixture's k_ij are exactly the table's for its components.
bool MatchesInteractionTable(const Mixture& mixture, EosKind eos);

// The pairs as text for a message, with the mixture's own names:
// "k_ij from Knapp et al. (1982), SRK: nitrogen/methane 0.0267, ...", or
// "... SRK: no pair of these components".
std::string TablePairsText(const std::vector<std::string>& componentNames, const TableInteractions& found,
                           EosKind eos);

} // namespace envelope
