// The one check of a user's mixture: each problem with its text, field and
// place, as the case-file reader, the mixture editor and the tracer's entry
// all show it.
#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <string>

#include "envelope/case.h"
#include "validation/mixture_check.h"

#include "test_mixtures.h"

namespace envelope {
namespace {

using Field = MixtureProblem::Field;

struct Case {
    const char* what;
    std::function<void(Mixture&)> change;
    Field field;
    int component;
    int column;
    std::string text;
};

TEST(CheckMixture, EachProblemHasItsTextFieldAndPlace)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        {"one component", [](Mixture& m) { m.componentNames.resize(1); }, Field::ComponentCount, -1, -1,
         "1 components: a mixture has 2 to 20"},
        {"lengths differ", [](Mixture& m) { m.feed.pop_back(); }, Field::ComponentCount, -1, -1,
         "the components' constants and fractions differ in number"},
        {"blank name", [](Mixture& m) { m.componentNames[1] = " \t\xC2\xA0\xE3\x80\x80"; }, Field::Name, 1, -1,
         "component 2 (' \\t\xC2\xA0\xE3\x80\x80'): no name"},
        {"alias of an earlier component", [](Mixture& m) { m.componentNames = {"Methane", "ethane", "c1"}; },
         Field::Name, 2, -1, "component 3 ('c1'): the same component as component 1"},
        {"same name in another case", [](Mixture& m) { m.componentNames = {"Cut A", "ethane", " cut a"}; },
         Field::Name, 2, -1, "component 3 (' cut a'): the same component as component 1"},
        {"z negative", [](Mixture& m) { m.feed[1] = -0.1; }, Field::Z, 1, -1,
         "component 2 ('ethane'): z must be a finite number greater than 0, not -0.1"},
        {"z not a number", [nan](Mixture& m) { m.feed[0] = nan; }, Field::Z, 0, -1,
         "component 1 ('methane'): z must be a finite number greater than 0, not nan"},
        {"Tc infinite", [inf](Mixture& m) { m.criticalTemperature[2] = -inf; }, Field::Tc, 2, -1,
         "component 3 ('octane'): Tc must be a finite number greater than 0 K, not -inf"},
        {"Pc zero", [](Mixture& m) { m.criticalPressure[0] = 0.0; }, Field::Pc, 0, -1,
         "component 1 ('methane'): Pc must be a finite number greater than 0 bar, not 0"},
        {"omega 2", [](Mixture& m) { m.acentricFactor[1] = 2.0; }, Field::Omega, 1, -1,
         "component 2 ('ethane'): omega must lie between -1 and 2, not 2"},
        {"name with a line feed",
         [](Mixture& m) {
             m.componentNames[1] = "x\ny";
             m.feed[1] = -1e-300;
         },
         Field::Z, 1, -1,
         "component 2 ('x\\ny'): z must be a finite number greater than 0, not -1e-300"},
        {"kij size", [](Mixture& m) { m.kij.assign(4, 0.0); }, Field::Kij, -1, -1,
         "kij: 4 values for 3 components, not 3 x 3"},
        {"kij diagonal", [](Mixture& m) { m.kij.assign(9, 0.0); m.kij[4] = 0.01; }, Field::Kij, 1, 1,
         "kij row 2, column 2: the diagonal must be 0, not 0.01"},
        {"kij range", [](Mixture& m) { m.kij.assign(9, 0.0); m.kij[2] = m.kij[6] = 1.0; }, Field::Kij, 0, 2,
         "kij row 1, column 3: kij must lie between -1 and 1, not 1"},
        {"kij asymmetric", [](Mixture& m) { m.kij.assign(9, 0.0); m.kij[5] = 0.125; }, Field::Kij, 1, 2,
         "kij row 2, column 3: not symmetric, 0.125 here but 0 in row 3, column 2"},
        {"sum off 1", [](Mixture& m) { m.feed[2] = 0.75 + 2e-6; }, Field::Z, -1, -1,
         "the mole fractions z sum to 1.000002, not 1 (allowed: 1e-6 either side); normalise them"},
    };
    for (const Case& c : cases) {
        Mixture m = BuiltInMixture();
        c.change(m);
        const MixtureProblem problem = CheckMixture(m);
        EXPECT_EQ(problem.text, c.text) << c.what;
        EXPECT_EQ(problem.field, c.field) << c.what;
        EXPECT_EQ(problem.component, c.component) << c.what;
        EXPECT_EQ(problem.column, c.column) << c.what;
        EXPECT_FALSE(problem.ok()) << c.what;
    }
}

TEST(CheckMixture, AcceptsUsableMixturesAndFeedsWithinTheTolerance)
{
    Mixture m = BuiltInMixture();
    EXPECT_TRUE(CheckMixture(m).ok());
    m.feed[2] = 0.75 + 0.9e-6;
    m.kij = {0, 0.02, -0.5, 0.02, 0, 0, -0.5, 0, 0};
    EXPECT_TRUE(CheckMixture(m).ok()) << CheckMixture(m).text;
    EXPECT_TRUE(CheckMixture(test::MethaneButaneFromTable()).ok());
    // A name outside the table counts as its own component.
    m.componentNames = {"cut A", "cut B", "cut C"};
    EXPECT_TRUE(CheckMixture(m).ok());
}

TEST(ComponentPlace, NamesTheComponentQuotedOrByNumberAlone)
{
    Mixture m = BuiltInMixture();
    m.componentNames[1].clear();
    EXPECT_EQ(ComponentPlace(m, 0), "component 1 ('methane')");
    EXPECT_EQ(ComponentPlace(m, 1), "component 2");
    EXPECT_EQ(ComponentPlace(m, 7), "component 8");
    EXPECT_EQ(ComponentPlace(2, "it's"), "component 3 ('it\\'s')");
}

} // namespace
} // namespace envelope
