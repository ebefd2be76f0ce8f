// The traced envelope's rows: the verdict, three decimals, "-" for a point
// not found, the phase names, and the CSV records of the rows; and the
// checked entry that traces a user's mixture.

#include <gtest/gtest.h>

#include <sstream>

#include "envelope/case.h"
#include "envelope/csv.h"
#include "envelope/traced_overlay.h"
#include "envelope/traced_tables.h"
#include "validation/mixture_check.h"

namespace envelope {
namespace {

TEST(TracedTables, RowsReportTheVerdictMissingPointsAndPhases)
{
    trace::TracedEnvelope e;
    e.critical = {true, 553.13149, 44.1195};
    e.cricondentherm = {true, 554.0, 41.0005};
    e.points = {{388.1749, 1.0, trace::TracePhase::Dew},
                {553.13149, 44.1195, trace::TracePhase::Critical},
                {145.3264, 0.9999996, trace::TracePhase::Bubble}};
    e.verdict = {trace::Verdict::Stopped, "no convergence on the bubble branch after T = 145.326 K, P = 1.000 bar"};

    const TextRows status = TraceStatusRows(e);
    ASSERT_EQ(status.size(), 2u);
    EXPECT_EQ(status[1], (std::vector<std::string>{"stopped", e.verdict.reason}));
    EXPECT_EQ(RowsCsv(status), "Status,Reason\r\nstopped,\"no convergence on the bubble branch after T = 145.326 K, "
                               "P = 1.000 bar\"\r\n");

    const TextRows points = CriticalPointsRows(e);
    ASSERT_EQ(points.size(), 4u);
    EXPECT_EQ(points[1], (std::vector<std::string>{"critical point", "553.131", "44.120"}));
    EXPECT_EQ(points[2], (std::vector<std::string>{"cricondenbar", "-", "-"}));
    EXPECT_EQ(points[3], (std::vector<std::string>{"cricondentherm", "554.000", "41.001"}));

    const TextRows traced = TracedRows(e);
    ASSERT_EQ(traced.size(), 4u);
    EXPECT_EQ(traced[2], (std::vector<std::string>{"2", "553.131", "44.120", "critical"}));
    EXPECT_EQ(RowsCsv(traced), "Index,T (K),P (bar),Phase\r\n1,388.175,1.000,dew\r\n2,553.131,44.120,critical\r\n"
                               "3,145.326,1.000,bubble\r\n");

    e.verdict = {trace::Verdict::Complete, {}};
    std::ostringstream report;
    WriteTracedReport(report, e);
    EXPECT_EQ(report.str(), "Trace Status\nStatus\tReason\ncomplete\t-\n\n"
                            "Critical Points\nPoint\tT (K)\tP (bar)\ncritical point\t553.131\t44.120\n"
                            "cricondenbar\t-\t-\ncricondentherm\t554.000\t41.001\n\n"
                            "Traced Envelope\nIndex\tT (K)\tP (bar)\tPhase\n1\t388.175\t1.000\tdew\n"
                            "2\t553.131\t44.120\tcritical\n3\t145.326\t1.000\tbubble\n");
}

// The verdict's one text, as every place that shows it uses it, and the
// files of the windows' Export all and the command line.
TEST(TracedTables, VerdictAndFilesOfTheWindowsAndTheCommandLine)
{
    EXPECT_STREQ(trace::VerdictText(trace::Verdict::Complete), "complete");
    EXPECT_STREQ(trace::VerdictText(trace::Verdict::Open), "open");
    EXPECT_STREQ(trace::VerdictText(trace::Verdict::Stopped), "stopped");
    trace::TracedEnvelope e;
    e.verdict = {trace::Verdict::Complete, {}};
    EXPECT_EQ(TraceVerdictText(e), "complete");
    e.verdict = {trace::Verdict::Stopped, "no convergence on the dew branch"};
    EXPECT_EQ(TraceVerdictText(e), "stopped: no convergence on the dew branch");
    EXPECT_EQ(TraceVerdictText(e), trace::FormatVerdict(e.verdict));

    e.critical = {true, 553.13149, 44.1195};
    const auto files = TracedCsvFiles(e);
    for (std::size_t i = 0; i < files.size(); ++i)
        EXPECT_EQ(std::string(files[i].fileName), TracedCsvFileNames[i]);
    EXPECT_EQ(files[0].contents, RowsCsv(TraceStatusRows(e)));
    EXPECT_EQ(files[1].contents, RowsCsv(CriticalPointsRows(e)));
    EXPECT_EQ(files[2].contents, RowsCsv(TracedRows(e)));
}

TEST(TracedTables, CsvQuotesOnlyWhereNeeded)
{
    EXPECT_EQ(RowsCsv({{"a,b", "say \"x\"", "plain"}}), "\"a,b\",\"say \"\"x\"\"\",plain\r\n");
}

TEST(TracedEnvelopeOf, TracesOnlyAMixtureThatPassesTheCheck)
{
    // The tracer would refuse this feed too, but the user is told what the
    // mixture check says.
    Mixture bad = BuiltInMixture();
    bad.feed[1] = -0.15;
    const trace::TracedEnvelope refused = TracedEnvelopeOf(bad);
    EXPECT_EQ(trace::FormatVerdict(refused.verdict), "stopped: " + CheckMixture(bad).text);
    EXPECT_TRUE(refused.points.empty());
    EXPECT_FALSE(refused.critical.found);
    EXPECT_TRUE(TracedOverlayOf(bad).curve.empty());

    const trace::TracedEnvelope traced = TracedEnvelopeOf(BuiltInMixture());
    EXPECT_EQ(traced.verdict.kind, trace::Verdict::Complete);
    EXPECT_EQ(TracedOverlayOf(BuiltInMixture()).curve.size(), traced.points.size());
}

} // namespace
} // namespace envelope
