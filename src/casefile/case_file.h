#pragma once
// Case files: a mixture as JSON,
//   {"name": "natural gas",
//    "components": [{"name": "methane", "z": 0.85},
//                   {"name": "C7 cut", "z": 0.15, "tc": 600.0, "pc": 25.0, "omega": 0.5}],
//    "kij": [[0, 0.02], [0.02, 0]],
//    "eos": "PR"}
// with tc in K and pc in bar. A component of the component table may leave
// out its constants; constants given override the table's. "name", "kij" and
// "eos" (the equation of state: "SRK", "PR" or "PR78") may be left out; a
// case without "eos" is computed with SRK. "kij": "table" takes k_ij from the
// interaction table (interaction/kij.csv) for the case's equation of state, 0
// for the pairs it does not list.

#include <string>

#include <QByteArray>
#include <QString>

#include "thermo/eos_kind.h"
#include "thermo/mixture.h"

namespace envelope {

// The largest case file read: far more than 20 components with a full k_ij
// matrix need, however they are laid out.
inline constexpr qsizetype MaxCaseFileSize = 1 << 20;

struct CaseReading {
    Mixture mixture;
    // The equation of state the case is computed with.
    EosKind eos = EosKind::SRK;
    // Empty when the case was read; otherwise one line: the file, the place
    // (a component, a k_ij entry, or a line and column of the JSON) and the
    // problem. Every name in it (the file's, a component's, a key) is quoted
    // as text/quoted_name.h does, so the line holds no control character.
    QString problem;

    bool ok() const { return problem.isEmpty(); }
};

// Reads a case from its JSON text; fileName (bytes) only names it in the
// problem. Beyond what Qt's parser refuses, control characters inside a
// string, unknown escapes and a key given twice in one object are refused.
// The mixture must pass CheckMixture.
CaseReading ParseCase(const QByteArray& json, const std::string& fileName);

// Reads the case file, named by the bytes given whatever the locale. A file
// larger than MaxCaseFileSize is refused without being read in full, even
// one without end such as a device or a pipe.
CaseReading ReadCaseFile(const std::string& fileName);

// The same for a name as Qt holds it (a file dialog's choice).
CaseReading ReadCaseFile(const QString& fileName);

// The mixture and its equation of state as a case file's JSON text, which
// ParseCase reads back to the same mixture and equation of state. Constants
// equal to the table's are left out, and so is "eos" for SRK. k_ij taken from
// the interaction table are written as "kij": "table" while they still are
// the table's for the mixture's components and equation of state; otherwise
// as the matrix.
QByteArray CaseJson(const Mixture& mixture, EosKind eos = EosKind::SRK);

} // namespace envelope
