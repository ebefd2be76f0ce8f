// The interaction table built into the program: lookup by component and
// equation of state, a mixture's k_ij filled from it, and the reading of its
// text.
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "interaction/interaction_table.h"

namespace envelope {
namespace {

TEST(InteractionTable, FindsAPairByNameOrAliasInEitherOrderForTheEquationOfStateChosen)
{
    const InteractionEntry* srk = FindInteraction("carbon dioxide", "methane", EosKind::SRK);
    const InteractionEntry* pr = FindInteraction("CO2", "C1", EosKind::PR);
    ASSERT_NE(srk, nullptr);
    ASSERT_NE(pr, nullptr);
    EXPECT_EQ(FindInteraction(" Methane ", "co2", EosKind::SRK), srk);
    EXPECT_EQ(srk->eos, EosKind::SRK);
    EXPECT_EQ(pr->eos, EosKind::PR);
    EXPECT_NE(srk->kij, pr->kij);
    EXPECT_EQ(FindInteraction("CO2", "C1", EosKind::PR78), pr);
    // Names the component table does not know, a component with itself, and a
    // pair the source gives no value for.
    EXPECT_EQ(FindInteraction("nitrogen", "C7 cut", EosKind::SRK), nullptr);
    EXPECT_EQ(FindInteraction("C1", "methane", EosKind::SRK), nullptr);
    EXPECT_EQ(FindInteraction("methane", "hydrogen sulfide", EosKind::PR), nullptr);
}

TEST(InteractionTable, GivesEveryPairForBothEquationsOfStateFromOneDataSet)
{
    std::set<std::pair<std::string, std::string>> srk;
    std::set<std::pair<std::string, std::string>> pr;
    for (const InteractionEntry& entry : InteractionTable())
        (entry.eos == EosKind::SRK ? srk : pr).insert(std::minmax(entry.first, entry.second));
    EXPECT_EQ(srk, pr);
    EXPECT_GE(srk.size(), 40u);
    for (const auto& [a, b] : srk) {
        SCOPED_TRACE(a + "/" + b);
        EXPECT_EQ(FindInteraction(a, b, EosKind::SRK)->page, FindInteraction(a, b, EosKind::PR)->page);
    }
    // Nitrogen, carbon dioxide and hydrogen sulfide each with one another.
    for (const auto& [a, b] : {std::pair{"N2", "CO2"}, {"N2", "H2S"}, {"CO2", "H2S"}})
        EXPECT_NE(FindInteraction(a, b, EosKind::SRK), nullptr) << a << "/" << b;
}

TEST(InteractionTable, FillsAMixtureSymmetricallyWithZeroWhereItHasNoValue)
{
    const std::vector<std::string> names = {"C8 cut", "CO2", "methane", "N2", "hydrogen sulfide"};
    const TableInteractions found = InteractionsFromTable(names, EosKind::PR);
    const std::size_t n = names.size();
    ASSERT_EQ(found.kij.size(), n * n);
    std::set<std::pair<std::size_t, std::size_t>> taken;
    for (const TablePair& pair : found.pairs) {
        EXPECT_LT(pair.first, pair.second);
        EXPECT_EQ(pair.entry, FindInteraction(names[pair.first], names[pair.second], EosKind::PR));
        taken.insert({pair.first, pair.second});
    }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = 0; j < n; ++j) {
            SCOPED_TRACE(names[i] + "/" + names[j]);
            EXPECT_EQ(found.kij[i * n + j], found.kij[j * n + i]);
            const InteractionEntry* entry = FindInteraction(names[i], names[j], EosKind::PR);
            EXPECT_EQ(found.kij[i * n + j], entry != nullptr ? entry->kij : 0.0);
            EXPECT_EQ(taken.count({std::min(i, j), std::max(i, j)}) == 1, entry != nullptr);
        }
    // The cut, the diagonal and methane/hydrogen sulfide stay zero.
    EXPECT_EQ(found.pairs.size(), 5u);
    const std::string text = TablePairsText(names, found, EosKind::PR78);
    EXPECT_EQ(text.rfind("k_ij from Knapp et al. (1982), PR: ", 0), 0u) << text;
    EXPECT_NE(text.find("CO2/methane "), std::string::npos) << text;
    EXPECT_EQ(text.find("C8 cut"), std::string::npos) << text;
    const std::vector<std::string> cuts = {"C8 cut", "C9 cut"};
    EXPECT_EQ(TablePairsText(cuts, InteractionsFromTable(cuts, EosKind::SRK), EosKind::SRK),
              "k_ij from Knapp et al. (1982), SRK: no pair of these components");
}

TEST(InteractionTable, RejectsMalformedEntriesNamingTheLine)
{
    const std::string heading = "# comment\ncomponent1,component2,eos,kij,page,data_set\n";
    const char* bad[] = {
        "nitrogen,methane,SRK,0.03,285\n",                               // a field missing
        "nitrogen,C7 cut,SRK,0.03,285,\n",                               // not in the component table
        "methane,C1,SRK,0.03,285,\n",                                    // one component twice
        "nitrogen,methane,PR78,0.03,285,\n",                             // PR78 takes PR's rows
        "nitrogen,methane,SRK,1.5,285,\n",                               // k_ij out of range
        "nitrogen,methane,SRK,0.03,28.5,\n",                             // page not whole
        "nitrogen,methane,SRK,0.03,285,\nC1,N2,srk,0.02,286,\n",         // the same pair twice
    };
    for (const char* entries : bad) {
        SCOPED_TRACE(entries);
        try {
            ParseInteractionTable(heading + entries);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("line "), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(ParseInteractionTable("component1,component2,kij\n"), std::invalid_argument);
    const std::vector<InteractionEntry> read = ParseInteractionTable(heading + "N2,c1,PR,0.03,285,\"T = 1-2 K, P = 3\"\n");
    ASSERT_EQ(read.size(), 1u);
    EXPECT_EQ(read[0].first + "/" + read[0].second + " " + read[0].dataSet, "nitrogen/methane T = 1-2 K, P = 3");
}

} // namespace
} // namespace envelope
