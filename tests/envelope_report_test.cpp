// The headless text of the three tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

#include "envelope/case.h"
#include "envelope/memory_run.h"
#include "envelope/memory_table.h"
#include "envelope/report.h"

namespace envelope {
namespace {

TEST(Report, CaptionsThenRowsJoinedByTabsWithOneEmptyLineBetweenTables)
{
    MemoryTable bubble, dew, interp;
    for (MemoryTable* table : {&bubble, &dew, &interp})
        WriteColumnHeadings(*table);
    bubble.writeCell(1, 0, "1");
    bubble.writeCell(1, 1, "-110.917");
    bubble.writeCell(1, 2, "2");
    dew.setRowCount(3);
    dew.writeCell(2, 0, "2");
    dew.writeCell(2, 2, "002.277");

    std::ostringstream out;
    WriteReport(out, bubble, dew, interp);
    EXPECT_EQ(out.str(), "Bubble Curve Table\n"
                         "Index\tT (C)\tP (bar)\n"
                         "1\t-110.917\t2\n"
                         "\n"
                         "Dew Curve Table\n"
                         "Index\tT (C)\tP (bar)\n"
                         "\t\t\n"
                         "2\t\t002.277\n"
                         "\n"
                         "Interpolation by Spline\n"
                         "Index\tT (C)\tP (bar)\n"
                         "\t\t\n");
}

TEST(Report, HeadlessRunReportsEveryRowOfTheThreeTables)
{
    const MemoryRun run = RunInMemory(BuiltInMixture());
    ASSERT_EQ(run.result.report.outcome, RunOutcome::Completed);
    std::ostringstream out;
    WriteReport(out, run.bubbleTable, run.dewTable, run.interpolationTable);
    std::istringstream lines(out.str());
    std::string line;
    std::vector<std::string> captions;
    int rows = 0, empty = 0;
    bool afterCaption = false;
    while (std::getline(lines, line)) {
        if (line.empty()) {
            ++empty;
        } else if (line.find('\t') == std::string::npos) {
            captions.push_back(line);
            afterCaption = true;
        } else {
            // The heading row follows each caption; every other row has its index.
            EXPECT_EQ(afterCaption, line == "Index\tT (C)\tP (bar)") << line;
            EXPECT_EQ(std::count(line.begin(), line.end(), '\t'), 2) << line;
            afterCaption = false;
            ++rows;
        }
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Bubble Curve Table", "Dew Curve Table", "Interpolation by Spline"}));
    EXPECT_EQ(empty, 2);
    EXPECT_GT(rows, 3 + 22);
}

} // namespace
} // namespace envelope
