// The tables as comma-separated values: quoting, records, and the run's
// tables read back cell for cell.

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "envelope/case.h"
#include "envelope/csv.h"
#include "envelope/memory_run.h"
#include "envelope/memory_table.h"

using namespace envelope;

namespace {

using Records = std::vector<std::vector<std::string>>;

// A reader for RFC 4180 text with CR LF line ends, written independently of
// the writer so that the two check each other.
Records ReadCsv(const std::string& text)
{
    Records records;
    std::vector<std::string> record;
    std::string field;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                field += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            record.push_back(field);
            field.clear();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            record.push_back(field);
            field.clear();
            records.push_back(record);
            record.clear();
            ++i;
        } else {
            field += c;
        }
    }
    EXPECT_FALSE(quoted) << "unterminated quoted field";
    EXPECT_TRUE(field.empty() && record.empty()) << "last record without CR LF";
    return records;
}

Records TableRows(const Table& table)
{
    Records rows;
    for (int row = 0; row < table.rowCount(); ++row)
        rows.push_back({table.readCell(row, 0), table.readCell(row, 1), table.readCell(row, 2)});
    return rows;
}

} // namespace

TEST(CsvField, QuotesOnlyWhatRfc4180Requires)
{
    EXPECT_EQ(CsvField(""), "");
    EXPECT_EQ(CsvField("-110.917"), "-110.917");
    EXPECT_EQ(CsvField("002.277"), "002.277");
    EXPECT_EQ(CsvField("T (C)"), "T (C)");
    EXPECT_EQ(CsvField("  padded "), "  padded ");
    EXPECT_EQ(CsvField("1,5"), "\"1,5\"");
    EXPECT_EQ(CsvField("say \"2\""), "\"say \"\"2\"\"\"");
    EXPECT_EQ(CsvField("\""), "\"\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField("cr\r"), "\"cr\r\"");
    // Bytes that are not UTF-8 pass through untouched.
    EXPECT_EQ(CsvField(std::string("\xff\xfe", 2)), std::string("\xff\xfe", 2));
}

TEST(TableCsv, WritesHeadingAndRowsWithCrLfAndSkipsEmptyRows)
{
    MemoryTable table;
    WriteColumnHeadings(table);
    // A table before its first run: the heading and one empty row.
    EXPECT_EQ(TableCsv(table), "Index,T (C),P (bar)\r\n");

    table.setRowCount(4);
    table.writeCell(1, 0, "1");
    table.writeCell(1, 1, "-110.917");
    table.writeCell(1, 2, "2");
    table.writeCell(3, 0, "3");
    table.writeCell(3, 2, "a,\"b\"");
    EXPECT_EQ(TableCsv(table), "Index,T (C),P (bar)\r\n"
                               "1,-110.917,2\r\n"
                               "3,,\"a,\"\"b\"\"\"\r\n");

    // The heading row stands even when it is empty.
    MemoryTable blank;
    EXPECT_EQ(TableCsv(blank), ",,\r\n");
}

TEST(TableCsv, RunTablesReadBackRowForRow)
{
    const MemoryRun run = RunInMemory(BuiltInMixture());
    ASSERT_EQ(run.result.report.outcome, RunOutcome::Completed);
    for (const MemoryTable* table : {&run.bubbleTable, &run.dewTable, &run.interpolationTable}) {
        const Records rows = TableRows(*table);
        ASSERT_GT(rows.size(), 2u);
        EXPECT_EQ(ReadCsv(TableCsv(*table)), rows);
    }
    // Shapes the formats give: leading zeros and whole numbers kept as text.
    const Records dew = ReadCsv(TableCsv(run.dewTable));
    EXPECT_EQ(dew[1][2], "2");
    EXPECT_EQ(dew[2][2].substr(0, 2), "00");
}

TEST(TableCsv, EveryCharacterSurvivesTheRoundTrip)
{
    MemoryTable table;
    std::string every;
    for (int c = 1; c < 256; ++c)
        every += static_cast<char>(c);
    table.writeCell(0, 0, every);
    table.writeCell(1, 1, "\r\n");
    table.writeCell(1, 2, ",");
    EXPECT_EQ(ReadCsv(TableCsv(table)), TableRows(table));
}

TEST(FractionCsv, ShortestNumbersThatReadBackExactly)
{
    EXPECT_EQ(FractionCsv({}), "vapour fraction,T (K),P (bar)\r\n");
    EXPECT_EQ(FractionCsv({{0.05, 186.2333984375, 2.426816923576916}, {0.3, 0.1 + 0.2, 1e-5}, {0.5, 400.0, 20.0}}),
              "vapour fraction,T (K),P (bar)\r\n"
              "0.05,186.2333984375,2.426816923576916\r\n"
              "0.3,0.30000000000000004,1e-05\r\n"
              "0.5,400,20\r\n");

    const std::vector<FractionPoint> points = FractionPoints(RunInMemory(BuiltInMixture()).result);
    const Records records = ReadCsv(FractionCsv(points));
    ASSERT_EQ(records.size(), points.size() + 1);
    for (std::size_t i = 0; i < points.size(); ++i) {
        const std::vector<std::string>& record = records[i + 1];
        ASSERT_EQ(record.size(), 3u);
        EXPECT_EQ(std::strtod(record[0].c_str(), nullptr), points[i].fraction);
        EXPECT_EQ(std::strtod(record[1].c_str(), nullptr), points[i].temperature);
        EXPECT_EQ(std::strtod(record[2].c_str(), nullptr), points[i].pressure);
    }
}

TEST(RunCsvFiles, TheThreeTablesThenTheFractionPoints)
{
    const MemoryRun run = RunInMemory(BuiltInMixture());
    const auto files = RunCsvFiles(run.bubbleTable, run.dewTable, run.interpolationTable, FractionPoints(run.result));
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_STREQ(files[i].fileName, RunCsvFileNames[i]);
    EXPECT_EQ(files[0].contents, TableCsv(run.bubbleTable));
    EXPECT_EQ(files[1].contents, TableCsv(run.dewTable));
    EXPECT_EQ(files[2].contents, TableCsv(run.interpolationTable));
    EXPECT_EQ(files[3].contents, FractionCsv(FractionPoints(run.result)));
    EXPECT_STREQ(files[3].fileName, "vapour-fractions.csv");
}
