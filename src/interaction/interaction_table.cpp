#include "interaction/interaction_table.h"

#include <charconv>
#include <optional>

#include "components/component_table.h"
#include "components/table_text.h"
#include "interaction/interaction_data.h"

namespace envelope {

namespace {

constexpr std::string_view Heading = "component1,component2,eos,kij,page,data_set";

[[noreturn]] void Malformed(int lineNumber, const std::string& problem)
{
    TableError("interaction table", lineNumber, problem);
}

// The component table's name of the component named; throws naming the line
// when it is not in the table.
std::string ComponentName(std::string_view name, int lineNumber)
{
    const Component* component = FindComponent(name);
    if (component == nullptr)
        Malformed(lineNumber, "'" + std::string(TrimmedText(name)) + "' is not in the component table");
    return component->name;
}

bool SamePair(const InteractionEntry& entry, const std::string& a, const std::string& b)
{
    return (entry.first == a && entry.second == b) || (entry.first == b && entry.second == a);
}

std::string NumberText(double value)
{
    char text[32];
    const auto [end, error] = std::to_chars(text, text + sizeof text, value);
    return error == std::errc() ? std::string(text, end) : std::string("?");
}

} // namespace

std::vector<InteractionEntry> ParseInteractionTable(std::string_view csv)
{
    const std::vector<TableLine> lines = TableEntries(csv, Heading, "interaction table");
    std::vector<InteractionEntry> table;
    for (std::size_t k = 0; k < lines.size(); ++k) {
        const int lineNumber = lines[k].number;
        const std::vector<std::string> fields = CsvFields(lines[k].text);
        if (fields.size() != 6)
            Malformed(lineNumber, "six fields expected");
        InteractionEntry entry;
        entry.first = ComponentName(fields[0], lineNumber);
        entry.second = ComponentName(fields[1], lineNumber);
        if (entry.first == entry.second)
            Malformed(lineNumber, "a pair needs two different components");
        const std::optional<EosKind> eos = EosKindNamed(TrimmedText(fields[2]));
        if (!eos || *eos == EosKind::PR78)
            Malformed(lineNumber, "the eos must be SRK or PR");
        entry.eos = *eos;
        if (!ReadTableNumber(fields[3], entry.kij) || !(entry.kij > -1.0 && entry.kij < 1.0))
            Malformed(lineNumber, "kij must be a number between -1 and 1");
        double page = 0.0;
        if (!ReadTableNumber(fields[4], page) || page < 1.0 || page > 100000.0 || page != static_cast<int>(page))
            Malformed(lineNumber, "page must be a positive whole number");
        entry.page = static_cast<int>(page);
        entry.dataSet = std::string(TrimmedText(fields[5]));
        for (const InteractionEntry& earlier : table)
            if (earlier.eos == entry.eos && SamePair(earlier, entry.first, entry.second))
                Malformed(lineNumber, entry.first + "/" + entry.second + " is given twice for " +
                                          std::string(EosName(entry.eos)));
        table.push_back(std::move(entry));
    }
    return table;
}

const std::vector<InteractionEntry>& InteractionTable()
{
    static const std::vector<InteractionEntry> table = ParseInteractionTable(InteractionTableText);
    return table;
}

EosKind InteractionTableEos(EosKind eos)
{
    return eos == EosKind::PR78 ? EosKind::PR : eos;
}

const InteractionEntry* FindInteraction(std::string_view a, std::string_view b, EosKind eos)
{
    const Component* first = FindComponent(a);
    const Component* second = FindComponent(b);
    if (first == nullptr || second == nullptr || first == second)
        return nullptr;
    const EosKind rows = InteractionTableEos(eos);
    for (const InteractionEntry& entry : InteractionTable())
        if (entry.eos == rows && SamePair(entry, first->name, second->name))
            return &entry;
    return nullptr;
}

TableInteractions InteractionsFromTable(const std::vector<std::string>& componentNames, EosKind eos)
{
    const std::size_t n = componentNames.size();
    TableInteractions found;
    found.kij.assign(n * n, 0.0);
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 1; j < n; ++j)
            if (const InteractionEntry* entry = FindInteraction(componentNames[i], componentNames[j], eos)) {
                found.kij[i * n + j] = entry->kij;
                found.kij[j * n + i] = entry->kij;
                found.pairs.push_back({i, j, entry});
            }
    return found;
}

TableInteractions ApplyInteractionTable(Mixture& mixture, EosKind eos)
{
    TableInteractions found = InteractionsFromTable(mixture.componentNames, eos);
    mixture.kij = found.pairs.empty() ? std::vector<double>() : found.kij;
    mixture.kijFromTable = true;
    return found;
}

bool MatchesInteractionTable(const Mixture& mixture, EosKind eos)
{
    const TableInteractions found = InteractionsFromTable(mixture.componentNames, eos);
    const std::size_t n = mixture.componentNames.size();
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            const double k = mixture.kij.size() == n * n ? mixture.kij[i * n + j] : 0.0;
            if (k != found.kij[i * n + j])
                return false;
        }
    return mixture.kij.empty() || mixture.kij.size() == n * n;
}

std::string TablePairsText(const std::vector<std::string>& componentNames, const TableInteractions& found,
                           EosKind eos)
{
    std::string text = "k_ij from " + std::string(InteractionTableSource) + ", " +
                       std::string(EosName(InteractionTableEos(eos))) + ": ";
    if (found.pairs.empty())
        return text + "no pair of these components";
    for (std::size_t k = 0; k < found.pairs.size(); ++k) {
        const TablePair& pair = found.pairs[k];
        text += (k == 0 ? "" : ", ") + componentNames.at(pair.first) + "/" + componentNames.at(pair.second) + " " +
                NumberText(pair.entry->kij);
    }
    return text;
}

} // namespace envelope
