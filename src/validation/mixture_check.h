#pragma once
// The checks every mixture a user gives must pass, wherever it comes from: a
// case file, the mixture editor, the traced envelope's entry or a script.
// Standard library only, so that every front end uses the same check.

#include <string>
#include <string_view>

#include "thermo/mixture.h"

namespace envelope {

// What is wrong with a mixture and where, so that a window can show the
// problem at its field. An empty text means nothing is wrong.
struct MixtureProblem {
    enum class Field { None, ComponentCount, Name, Z, Tc, Pc, Omega, Kij };
    Field field = Field::None;
    // The component (0-based) the problem lies with, or the row of k_ij;
    // -1 for the mixture as a whole.
    int component = -1;
    // The column of k_ij; -1 otherwise.
    int column = -1;
    // The place and the problem, e.g. "component 2 ('ethane'): z must be a
    // finite number greater than 0, not -0.1". Components, rows and columns
    // count from 1; names are quoted as QuotedName quotes them.
    std::string text;

    bool ok() const { return text.empty(); }
};

// How far the feed mole fractions may sum away from 1.
inline constexpr double FeedSumTolerance = 1e-6;

// The first problem of the mixture: a component count outside 2 to 20, an
// empty or repeated name (a table alias counts as its component's name, and
// names differ only in ASCII letter case count as the same), z not above 0
// or not finite, Tc or Pc not above 0 or not finite, omega outside (-1, 2),
// k_ij of the wrong size, not symmetric, with a non-zero diagonal or a value
// outside (-1, 1), and feed fractions that do not sum to 1 within
// FeedSumTolerance.
MixtureProblem CheckMixture(const Mixture& mixture);

// The place of component i (0-based) in a problem's text:
// "component 2 ('ethane')", or "component 2" when it has no name.
std::string ComponentPlace(int i, std::string_view name);
std::string ComponentPlace(const Mixture& mixture, int i);

} // namespace envelope
