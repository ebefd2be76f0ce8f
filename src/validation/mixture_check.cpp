#include "validation/mixture_check.h"

#include <array>
#include <cmath>
#include <cstdio>

#include "components/component_table.h"
#include "text/quoted_name.h"

namespace envelope {

namespace {

MixtureProblem Problem(MixtureProblem::Field field, int component, int column, std::string text)
{
    return {field, component, column, std::move(text)};
}

// The white space a name is trimmed of: the ASCII blanks and controls, and
// the UTF-8 forms of the other Unicode spaces (U+0085, U+00A0, U+1680,
// U+2000 to U+200A, U+2028, U+2029, U+202F, U+205F, U+3000).
constexpr std::array<std::string_view, 19> UnicodeSpaces = {
    "\xC2\x85",     "\xC2\xA0",     "\xE1\x9A\x80", "\xE2\x80\x80", "\xE2\x80\x81", "\xE2\x80\x82", "\xE2\x80\x83",
    "\xE2\x80\x84", "\xE2\x80\x85", "\xE2\x80\x86", "\xE2\x80\x87", "\xE2\x80\x88", "\xE2\x80\x89", "\xE2\x80\x8A",
    "\xE2\x80\xA8", "\xE2\x80\xA9", "\xE2\x80\xAF", "\xE2\x81\x9F", "\xE3\x80\x80"};

bool AsciiSpace(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Trimmed(std::string_view text)
{
    for (bool trimmed = true; trimmed && !text.empty();) {
        trimmed = false;
        if (AsciiSpace(text.front())) {
            text.remove_prefix(1);
            trimmed = true;
        } else if (AsciiSpace(text.back())) {
            text.remove_suffix(1);
            trimmed = true;
        }
        for (std::string_view space : UnicodeSpaces) {
            if (text.starts_with(space)) {
                text.remove_prefix(space.size());
                trimmed = true;
            }
            if (text.ends_with(space)) {
                text.remove_suffix(space.size());
                trimmed = true;
            }
        }
    }
    return text;
}

// The name two components are compared by: the table's name for a component
// found there under any of its names, else the name itself, trimmed, its
// ASCII letters in lower case (as the table matches names).
std::string Identity(const std::string& name)
{
    const Component* known = FindComponent(name);
    std::string identity(known != nullptr ? std::string_view(known->name) : Trimmed(name));
    for (char& c : identity)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return identity;
}

// A number in a message: ten significant digits, an exponent only where
// needed ("0.1", "1e-07", "600"), and "inf", "-inf" or "nan"; zero is "0"
// whatever its sign.
std::string Number(double value)
{
    if (value == 0.0)
        return "0";
    if (std::isnan(value))
        return "nan";
    if (std::isinf(value))
        return value > 0 ? "inf" : "-inf";
    std::array<char, 32> text{};
    std::snprintf(text.data(), text.size(), "%.10g", value);
    return text.data();
}

std::string Count(std::size_t value)
{
    return std::to_string(value);
}

} // namespace

std::string ComponentPlace(int i, std::string_view name)
{
    std::string place = "component " + std::to_string(i + 1);
    if (!name.empty())
        place += " (" + QuotedName(name) + ")";
    return place;
}

std::string ComponentPlace(const Mixture& mixture, int i)
{
    const std::size_t index = static_cast<std::size_t>(i);
    return ComponentPlace(i, index < mixture.componentNames.size() ? std::string_view(mixture.componentNames[index])
                                                                   : std::string_view());
}

MixtureProblem CheckMixture(const Mixture& m)
{
    using Field = MixtureProblem::Field;
    const std::size_t n = m.componentNames.size();
    if (n < MinComponentCount || n > MaxComponentCount)
        return Problem(Field::ComponentCount, -1, -1,
                       Count(n) + " components: a mixture has " + Count(MinComponentCount) + " to " +
                           Count(MaxComponentCount));
    if (m.criticalTemperature.size() != n || m.criticalPressure.size() != n || m.acentricFactor.size() != n ||
        m.feed.size() != n)
        return Problem(Field::ComponentCount, -1, -1, "the components' constants and fractions differ in number");

    for (std::size_t i = 0; i < n; ++i) {
        const int row = static_cast<int>(i);
        const std::string place = ComponentPlace(m, row);
        if (Trimmed(m.componentNames[i]).empty())
            return Problem(Field::Name, row, -1, place + ": no name");
        for (std::size_t j = 0; j < i; ++j)
            if (Identity(m.componentNames[j]) == Identity(m.componentNames[i]))
                return Problem(Field::Name, row, -1, place + ": the same component as component " + Count(j + 1));
        if (!std::isfinite(m.feed[i]) || m.feed[i] <= 0.0)
            return Problem(Field::Z, row, -1,
                           place + ": z must be a finite number greater than 0, not " + Number(m.feed[i]));
        if (!std::isfinite(m.criticalTemperature[i]) || m.criticalTemperature[i] <= 0.0)
            return Problem(Field::Tc, row, -1,
                           place + ": Tc must be a finite number greater than 0 K, not " +
                               Number(m.criticalTemperature[i]));
        if (!std::isfinite(m.criticalPressure[i]) || m.criticalPressure[i] <= 0.0)
            return Problem(Field::Pc, row, -1,
                           place + ": Pc must be a finite number greater than 0 bar, not " +
                               Number(m.criticalPressure[i]));
        if (!(m.acentricFactor[i] > -1.0 && m.acentricFactor[i] < 2.0))
            return Problem(Field::Omega, row, -1,
                           place + ": omega must lie between -1 and 2, not " + Number(m.acentricFactor[i]));
    }

    if (!m.kij.empty()) {
        if (m.kij.size() != n * n)
            return Problem(Field::Kij, -1, -1,
                           "kij: " + Count(m.kij.size()) + " values for " + Count(n) + " components, not " +
                               Count(n) + " x " + Count(n));
        for (std::size_t i = 0; i < n; ++i) {
            for (std::size_t j = 0; j < n; ++j) {
                const double k = m.kij[i * n + j];
                const std::string place = "kij row " + Count(i + 1) + ", column " + Count(j + 1);
                const int row = static_cast<int>(i);
                const int column = static_cast<int>(j);
                if (i == j && k != 0.0)
                    return Problem(Field::Kij, row, column, place + ": the diagonal must be 0, not " + Number(k));
                if (!(k > -1.0 && k < 1.0))
                    return Problem(Field::Kij, row, column,
                                   place + ": kij must lie between -1 and 1, not " + Number(k));
                if (k != m.kij[j * n + i])
                    return Problem(Field::Kij, row, column,
                                   place + ": not symmetric, " + Number(k) + " here but " +
                                       Number(m.kij[j * n + i]) + " in row " + Count(j + 1) + ", column " +
                                       Count(i + 1));
            }
        }
    }

    double sum = 0.0;
    for (double z : m.feed)
        sum += z;
    if (std::fabs(sum - 1.0) > FeedSumTolerance)
        return Problem(Field::Z, -1, -1,
                       "the mole fractions z sum to " + Number(sum) +
                           ", not 1 (allowed: 1e-6 either side); normalise them");
    return {};
}

} // namespace envelope
