#pragma once
// The cubic equations of state a mixture can be computed with, and their
// names as case files, the command line and the windows spell them.

#include <array>
#include <cstddef>
#include <optional>
#include <string_view>

namespace envelope {

// SRK is the default: a case that names no equation of state means it.
enum class EosKind { SRK, PR, PR78 };

inline constexpr std::array<EosKind, 3> EosKinds = {EosKind::SRK, EosKind::PR, EosKind::PR78};

// "SRK", "PR" or "PR78": the name in case files and after --eos.
constexpr std::string_view EosName(EosKind kind)
{
    switch (kind) {
    case EosKind::PR:
        return "PR";
    case EosKind::PR78:
        return "PR78";
    case EosKind::SRK:
        break;
    }
    return "SRK";
}

// The name shown to a reader: "Soave-Redlich-Kwong", "Peng-Robinson (1976)"
// or "Peng-Robinson (1978)".
constexpr std::string_view EosTitle(EosKind kind)
{
    switch (kind) {
    case EosKind::PR:
        return "Peng-Robinson (1976)";
    case EosKind::PR78:
        return "Peng-Robinson (1978)";
    case EosKind::SRK:
        break;
    }
    return "Soave-Redlich-Kwong";
}

// The kind whose EosName is name, in any letter case ("pr78" too); none for
// any other text.
constexpr std::optional<EosKind> EosKindNamed(std::string_view name)
{
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    for (EosKind kind : EosKinds) {
        const std::string_view known = EosName(kind);
        if (known.size() != name.size())
            continue;
        bool same = true;
        for (std::size_t k = 0; k < known.size() && same; ++k)
            same = upper(name[k]) == known[k];
        if (same)
            return kind;
    }
    return std::nullopt;
}

} // namespace envelope
