// The component table built into the program: lookup by name and alias, and
// the reading of its text.
#include <stdexcept>

#include <gtest/gtest.h>

#include "components/component_table.h"

namespace envelope {
namespace {

TEST(ComponentTable, FindsComponentsByNameOrAliasWhateverTheCase)
{
    const Component* co2 = FindComponent("Carbon Dioxide");
    ASSERT_NE(co2, nullptr);
    EXPECT_EQ(FindComponent("co2"), co2);
    EXPECT_EQ(FindComponent(" CO2 "), co2);
    EXPECT_GT(co2->criticalTemperature, 300.0);
    EXPECT_GT(co2->criticalPressure, 70.0);
    // A name with a comma survives the quoting in the table's file.
    ASSERT_NE(FindComponent("2,2-DIMETHYLBUTANE"), nullptr);
    EXPECT_EQ(FindComponent("2,2-dimethylbutane")->name, "2,2-dimethylbutane");
    EXPECT_EQ(FindComponent("C7 cut"), nullptr);
    EXPECT_EQ(FindComponent(""), nullptr);
    EXPECT_GE(ComponentTable().size(), 37u);
}

TEST(ComponentTable, RejectsMalformedEntriesNamingTheLine)
{
    const char* heading = "# comment\nname,aliases,tc_k,pc_bar,omega\n";
    const char* bad[] = {
        "methane,C1,190.56,45.99\n",                      // a field missing
        "methane,C1,190.56,-45.99,0.011\n",               // Pc not positive
        "methane,C1,190.56,45.99,abc\n",                  // omega not a number
        "methane,C1,190.56,45.99,0.011\nC1,,1,1,0\n",     // a name taken by an alias
        "\"methane,C1,190.56,45.99,0.011\n",              // an unclosed quote
    };
    for (const char* entries : bad) {
        SCOPED_TRACE(entries);
        try {
            ParseComponentTable(std::string(heading) + entries);
            ADD_FAILURE() << "accepted";
        } catch (const std::invalid_argument& e) {
            EXPECT_NE(std::string(e.what()).find("line "), std::string::npos) << e.what();
        }
    }
    EXPECT_THROW(ParseComponentTable("name,tc,pc,omega\n"), std::invalid_argument);
    EXPECT_EQ(ParseComponentTable(std::string(heading) + "a,b c,1,2,0.5\n").at(0).aliases.size(), 2u);
}

} // namespace
} // namespace envelope
