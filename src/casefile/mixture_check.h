#pragma once
// The checks every mixture a user gives must pass, whether it comes from a
// case file or from the mixture editor.

#include <QString>

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
    // The place and the problem, e.g. "component 2 ('ethane'): z must be
    // greater than 0". Components, rows and columns count from 1.
    QString text;

    bool ok() const { return text.isEmpty(); }
};

// How far the feed mole fractions may sum away from 1.
inline constexpr double FeedSumTolerance = 1e-6;

// The first problem of the mixture: a component count outside 2 to 20, an
// empty or repeated name (a table alias counts as its component's name), z
// not above 0 or not finite, Tc or Pc not above 0 or not finite, omega
// outside (-1, 2), k_ij of the wrong size, not symmetric, with a non-zero
// diagonal or a value outside (-1, 1), and feed fractions that do not sum to
// 1 within FeedSumTolerance.
MixtureProblem CheckMixture(const Mixture& mixture);

// The place of component i (0-based) in a problem's text, its name quoted
// (text/quoted_name.h): "component 2 ('ethane')".
QString ComponentPlace(const Mixture& mixture, int i);

} // namespace envelope
