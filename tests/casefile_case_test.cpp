// Case files: every kind of bad input gets one line naming the file, the place
// and the problem; a written case reads back to the same mixture; the shipped
// examples are valid.
#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <QDir>

#include "casefile/case_file.h"
#include "envelope/case.h"
#include "interaction/interaction_table.h"

namespace envelope {
namespace {

// Two components around the one under test, so that the rest of a case is valid.
std::string Case(const std::string& extra, const std::string& second = R"({"name": "ethane", "z": 0.5})")
{
    return R"({"components": [{"name": "methane", "z": 0.5}, )" + second + "]" + extra + "}";
}

TEST(CaseFile, EachBadInputGetsOneLineWithFileThePlaceAndTheProblem)
{
    struct BadCase {
        const char* what;
        std::string json;
        const char* expected; // in the message after "'bad.json': "
    };
    const BadCase cases[] = {
        {"malformed JSON", "{\"components\": [\n  {\"name\": \"methane\" \"z\": 0.5}]}", "line 2, column 23: "},
        {"not an object", "[1, 2]", "must be a JSON object"},
        {"unknown key", Case(", \"kj\": []"), "unknown key 'kj'"},
        {"unknown component key", Case("", R"({"name": "ethane", "z": 0.5, "tcc": 300})"),
         "component 2: unknown key 'tcc'"},
        {"unknown component", Case("", R"({"name": "C7 cut", "z": 0.5, "tc": 600})"),
         "component 2 ('C7 cut'): not in the component table, so give its pc, omega"},
        {"one component", R"({"components": [{"name": "methane", "z": 1}]})", "1 components: a mixture has 2 to 20"},
        {"21 components", [] {
             std::string many = R"({"components": [)";
             for (int i = 0; i < 21; ++i)
                 many += (i ? "," : "") + std::string(R"({"name": "c)") + std::to_string(i) +
                         R"(", "z": 0.05, "tc": 300, "pc": 40, "omega": 0.1})";
             return many + "]}";
         }(),
         "21 components"},
        {"repeated name", Case("", R"({"name": "C1", "z": 0.5})"),
         "component 2 ('C1'): the same component as component 1"},
        {"z zero", Case("", R"({"name": "ethane", "z": 0})"), "component 2 ('ethane'): z must be"},
        {"z missing", Case("", R"({"name": "ethane"})"), "component 2 ('ethane'): \"z\" must be given"},
        {"z infinite", Case("", R"({"name": "ethane", "z": 1e999})"), "line 1, column 77: "},
        {"sum off 1", Case("", R"({"name": "ethane", "z": 0.49})"), "sum to 0.99, not 1"},
        {"Tc negative", Case("", R"({"name": "ethane", "z": 0.5, "tc": -3})"), "component 2 ('ethane'): Tc must be"},
        {"Pc zero", Case("", R"({"name": "ethane", "z": 0.5, "pc": 0})"), "component 2 ('ethane'): Pc must be"},
        {"omega 2", Case("", R"({"name": "ethane", "z": 0.5, "omega": 2})"), "component 2 ('ethane'): omega must lie"},
        {"omega text", Case("", R"({"name": "ethane", "z": 0.5, "omega": "0.1"})"), "\"omega\" must be a number"},
        {"kij size", Case(R"(, "kij": [[0, 0.1]])"), "kij: 1 rows for 2 components"},
        {"kij row size", Case(R"(, "kij": [[0, 0.1], [0.1]])"), "kij row 2: must be an array of 2 numbers"},
        {"kij asymmetric", Case(R"(, "kij": [[0, 0.1], [0.2, 0]])"), "kij row 1, column 2: not symmetric"},
        {"kij diagonal", Case(R"(, "kij": [[0.1, 0], [0, 0]])"), "kij row 1, column 1: the diagonal must be 0"},
        {"kij range", Case(R"(, "kij": [[0, 1], [1, 0]])"), "kij row 1, column 2: kij must lie between -1 and 1"},
        {"kij word", Case(R"(, "kij": "Table")"), "kij: must be an array of rows or \"table\""},
        // Names reach the message quoted, their control characters escaped.
        {"line feed in a name", Case("", R"({"name": "evil\nname", "z": 0.5})"),
         "component 2 ('evil\\nname'): not in"},
        {"NUL in a name", Case("", R"({"name": "a\u0000b", "z": 0.5})"), "component 2 ('a\\x00b'): not in"},
        {"escape sequence in a name", Case("", R"({"name": "\u001b[31mred", "z": 0.5})"), "('\\x1b[31mred')"},
        {"line feed in an unknown key", Case(R"(, "x\ny": 1)"), "unknown key 'x\\ny' (known: "},
        // What strict JSON forbids and Qt's parser reads.
        {"raw control byte", Case("", "{\"name\": \"eth\001ane\", \"z\": 0.5}"),
         "line 1, column 61: control character '\\x01' inside a string; write it as \\u0001"},
        {"raw line feed in a key", Case(", \"x\ny\": 1"), "line 1, column 81: control character '\\n'"},
        {"unknown escape", Case("", R"({"name": "eth\xane", "z": 0.5})"), "column 61: unknown escape '\\\\x'"},
        {"key twice", Case("", R"({"name": "ethane", "z": 0.4, "z": 0.5})"), "column 77: key 'z' given twice"},
        {"key twice, once escaped", Case(R"(, "kij": [], "\u006bij": [])"), "key 'kij' given twice"},
        {"nested key twice", R"({"components": [{"name": "a", "name": "b"}], "components": []})",
         "column 31: key 'name' given twice"},
        {"unknown eos", Case(R"(, "eos": "PR-76\n")"),
         "\"eos\": unknown equation of state 'PR-76\\n' (known: SRK, PR, PR78)"},
        {"eos not a name", Case(R"(, "eos": 1)"), "\"eos\" must be the name of an equation of state"},
    };
    for (const BadCase& bad : cases) {
        SCOPED_TRACE(bad.what);
        const CaseReading reading = ParseCase(QByteArray::fromStdString(bad.json), "bad.json");
        EXPECT_FALSE(reading.ok());
        const std::string problem = reading.problem.toStdString();
        EXPECT_EQ(problem.rfind("'bad.json': ", 0), 0u) << problem;
        EXPECT_NE(problem.find(bad.expected), std::string::npos) << problem;
        // One line, with no control character for a terminal.
        EXPECT_TRUE(std::none_of(problem.begin(), problem.end(), [](char c) { return c >= 0 && c < 0x20; }))
            << problem;
        EXPECT_EQ(reading.mixture, Mixture());
    }
}

// A file is read no further than the limit, whatever it is: one whose size
// says so, or a pipe without end. (The command-line tests have the rest.)
TEST(CaseFile, FilesAreReadOnlyUpToTheLimit)
{
    std::string folder = (std::filesystem::temp_directory_path() / "case-files-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    const std::string valid = R"({"components": [{"name": "methane", "z": 0.5}, {"name": "ethane", "z": 0.5}]})";
    const auto padded = [&](std::size_t size) { return valid + std::string(size - valid.size(), ' '); };
    std::ofstream(folder + "/limit.json") << padded(MaxCaseFileSize);
    std::ofstream(folder + "/over.json") << padded(MaxCaseFileSize + 1);
    std::ofstream(folder + "/huge.json") << valid;
    std::filesystem::resize_file(folder + "/huge.json", std::uintmax_t{1} << 34); // sparse
    // A FIFO whose writer never stops: it ends on the broken pipe.
    const std::string fifo = folder + "/fifo.json";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    ::signal(SIGPIPE, SIG_IGN);
    std::thread writer([&fifo] {
        const int descriptor = ::open(fifo.c_str(), O_WRONLY);
        const std::string block(65536, ' ');
        while (::write(descriptor, block.data(), block.size()) > 0) {
        }
        ::close(descriptor);
    });

    struct File {
        std::string name;
        const char* problem; // empty when the case is read
    };
    const File files[] = {
        {folder + "/limit.json", ""},
        {folder + "/over.json", "over.json': larger than 1 MiB, the most a case file may hold"},
        {folder + "/huge.json", ": larger than 1 MiB"},
        {fifo, ": larger than 1 MiB"},
        {folder, ": cannot be read: Is a directory"},
    };
    for (const File& file : files) {
        SCOPED_TRACE(file.name);
        const std::string problem = ReadCaseFile(file.name).problem.toStdString();
        EXPECT_NE(problem.find(file.problem), std::string::npos) << problem;
        EXPECT_EQ(problem.empty(), *file.problem == 0) << problem;
    }
    writer.join();
    std::filesystem::remove_all(folder);
}

TEST(CaseFile, WrittenCaseReadsBackToTheSameMixture)
{
    Mixture m;
    m.name = "rich gas";
    m.componentNames = {"methane", "CO2", "C7 cut"};
    m.criticalTemperature = {190.56, 300.1, 600.0 + 1.0 / 3.0}; // CO2's Tc overridden
    m.criticalPressure = {45.99, 73.74, 25.0};
    m.acentricFactor = {0.011, 0.225, 0.5};
    m.feed = {0.7, 0.1, 0.2};
    m.kij = {0, 0.1, 0.02, 0.1, 0, -0.05, 0.02, -0.05, 0};
    const CaseReading reading = ParseCase(CaseJson(m), "round.json");
    ASSERT_TRUE(reading.ok()) << reading.problem.toStdString();
    EXPECT_EQ(reading.mixture, m);
    // The table's constants are left out, and the built-in case reads back too.
    EXPECT_FALSE(CaseJson(m).contains("45.99"));
    EXPECT_EQ(ParseCase(CaseJson(BuiltInMixture()), "b.json").mixture, BuiltInMixture());
}

TEST(CaseFile, TableKijAreTheTablesAndAreWrittenBackAsTableWhileUnchanged)
{
    const QByteArray json = R"({"components": [{"name": "N2", "z": 0.1}, {"name": "methane", "z": 0.7},
                                               {"name": "carbon dioxide", "z": 0.1},
                                               {"name": "C8 cut", "z": 0.1, "tc": 575, "pc": 25, "omega": 0.41}],
                                "kij": "table"})";
    const CaseReading reading = ParseCase(json, "table.json");
    ASSERT_TRUE(reading.ok()) << reading.problem.toStdString();
    const Mixture& m = reading.mixture;
    EXPECT_TRUE(m.kijFromTable);
    const TableInteractions table = InteractionsFromTable(m.componentNames, EosKind::SRK);
    EXPECT_EQ(table.pairs.size(), 3u);
    EXPECT_EQ(m.kij, table.kij);
    // Saved as the word while the values are the table's, and read back the same.
    EXPECT_TRUE(CaseJson(m).contains(R"("kij": "table")")) << CaseJson(m).toStdString();
    EXPECT_EQ(ParseCase(CaseJson(m), "again.json").mixture, m);

    // Edited afterwards: saved as the matrix, which keeps the edit.
    Mixture edited = m;
    edited.kij[0 * 4 + 3] = edited.kij[3 * 4 + 0] = 0.05;
    const CaseReading back = ParseCase(CaseJson(edited), "edited.json");
    ASSERT_TRUE(back.ok()) << back.problem.toStdString();
    EXPECT_FALSE(back.mixture.kijFromTable);
    EXPECT_EQ(back.mixture.kij, edited.kij);

    // An explicit matrix keeps its meaning even when it equals the table's.
    Mixture typed = m;
    typed.kijFromTable = false;
    const CaseReading explicitly = ParseCase(CaseJson(typed), "typed.json");
    EXPECT_FALSE(CaseJson(typed).contains(R"("kij": "table")"));
    EXPECT_EQ(explicitly.mixture, typed);

    // No pair in the table: every k_ij is 0, and the case still says "table".
    const CaseReading none = ParseCase(Case(R"(, "kij": "table")", R"({"name": "hydrogen", "z": 0.5})").c_str(), "h.json");
    ASSERT_TRUE(none.ok()) << none.problem.toStdString();
    EXPECT_TRUE(none.mixture.kij.empty());
    EXPECT_TRUE(none.mixture.kijFromTable);
    EXPECT_TRUE(CaseJson(none.mixture).contains(R"("kij": "table")"));
}

// "eos" names the equation of state in any letter case; a case without it
// is SRK, and a written case names it only when it is another.
TEST(CaseFile, EquationOfStateIsReadAndWrittenOnlyWhenNotSrk)
{
    EXPECT_EQ(ParseCase(QByteArray::fromStdString(Case("")), "a.json").eos, EosKind::SRK);
    EXPECT_EQ(ParseCase(QByteArray::fromStdString(Case(R"(, "eos": "pr78")")), "a.json").eos, EosKind::PR78);
    for (EosKind kind : EosKinds) {
        const QByteArray json = CaseJson(BuiltInMixture(), kind);
        EXPECT_EQ(json.contains("\"eos\""), kind != EosKind::SRK);
        const CaseReading reading = ParseCase(json, "w.json");
        ASSERT_TRUE(reading.ok()) << reading.problem.toStdString();
        EXPECT_EQ(reading.eos, kind);
        EXPECT_EQ(reading.mixture, BuiltInMixture());
    }
    // "kij": "table" takes the case's own model's values, and is written back
    // as the word for that model.
    const CaseReading pr = ParseCase(QByteArray::fromStdString(Case(R"(, "kij": "table", "eos": "PR")",
                                                                    R"({"name": "N2", "z": 0.5})")),
                                     "pr.json");
    ASSERT_TRUE(pr.ok()) << pr.problem.toStdString();
    EXPECT_EQ(pr.mixture.kij, InteractionsFromTable(pr.mixture.componentNames, EosKind::PR).kij);
    EXPECT_NE(pr.mixture.kij, InteractionsFromTable(pr.mixture.componentNames, EosKind::SRK).kij);
    EXPECT_TRUE(CaseJson(pr.mixture, EosKind::PR).contains(R"("kij": "table")"));
}

TEST(CaseFile, ShippedExamplesAreValidCases)
{
    const QDir examples(QStringLiteral(ENVELOPE_EXAMPLES_DIR));
    const QStringList files = examples.entryList({"*.json"}, QDir::Files);
    EXPECT_GE(files.size(), 3);
    for (const QString& file : files) {
        const CaseReading reading = ReadCaseFile(examples.filePath(file));
        EXPECT_TRUE(reading.ok()) << reading.problem.toStdString();
        EXPECT_FALSE(reading.mixture.name.empty()) << file.toStdString();
    }
    EXPECT_FALSE(ReadCaseFile(examples.filePath("missing.json")).ok());
}

} // namespace
} // namespace envelope
