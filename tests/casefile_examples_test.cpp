// The example cases and a binary run through to filled tables, and every
// saturation row they write is confirmed on its own: at the row's temperature
// a flash just on the two-phase side of the row's pressure splits the feed,
// and one just on the other side does not.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QDir>

#include "casefile/case_file.h"
#include "components/component_table.h"
#include "envelope/memory_run.h"
#include "envelope/run_workspace.h"
#include "equilibrium/flash.h"

#include "test_mixtures.h"

namespace envelope {
namespace {

// How far beside a row's pressure the flashes are made, relative. A marched
// row's pressure is converged to a tight tolerance. A start row (row 1) is the
// temperature at which the feed's vapour fraction at 2 bar enters a band of
// 0.001 at its boundary; for a gas whose heavy end is a percent of the feed,
// that much liquid lies several percent away from the dew pressure.
constexpr double MarchedRowOffset = 0.01;
constexpr double StartRowOffset = 0.1;

// Whether the feed splits into two distinct phases at (T, P).
bool TwoPhases(const Mixture& mixture, double T, double P)
{
    const std::size_t n = mixture.feed.size();
    std::vector<double> y(n), x(n);
    double V = 0.0;
    SolverWorkspace work;
    IsothermalFlash(mixture, SoaveRedlichKwong, mixture.feed, T, P, y, x, V, 1e-10, 500, work);
    double difference = 0.0;
    for (std::size_t i = 0; i < n; ++i)
        difference = std::max(difference, std::fabs(y[i] - x[i]));
    return V > 0.0 && V < 1.0 && difference > 1e-6;
}

// Checks every row of a saturation table: the two-phase region lies below a
// bubble row's pressure and above a dew row's.
void ConfirmRows(const Mixture& mixture, const MemoryTable& table, bool bubble)
{
    ASSERT_GT(table.rowCount(), 3) << "too few rows";
    for (int row = 1; row < table.rowCount(); ++row) {
        const double T = std::stod(table.readCell(row, 1)) + KelvinOffset;
        const double P = std::stod(table.readCell(row, 2));
        const double offset = row == 1 ? StartRowOffset : MarchedRowOffset;
        const double inside = bubble ? P * (1 - offset) : P * (1 + offset);
        const double outside = bubble ? P * (1 + offset) : P * (1 - offset);
        const char* curve = bubble ? "bubble" : "dew";
        EXPECT_TRUE(TwoPhases(mixture, T, inside)) << curve << " row " << row << ": T " << T << " K, P " << P;
        EXPECT_FALSE(TwoPhases(mixture, T, outside)) << curve << " row " << row << ": T " << T << " K, P " << P;
    }
}

void RunAndConfirm(const Mixture& mixture)
{
    const MemoryRun run = RunInMemory(mixture);
    EXPECT_EQ(run.result.report.outcome, RunOutcome::Completed);
    ConfirmRows(mixture, run.bubbleTable, true);
    ConfirmRows(mixture, run.dewTable, false);
    EXPECT_GT(run.interpolationTable.rowCount(), 2);
}

TEST(ExampleCases, EverySaturationRowIsConfirmedByFlashes)
{
    const QDir examples(QStringLiteral(ENVELOPE_EXAMPLES_DIR));
    for (const char* name : {"natural-gas.json", "gas-condensate.json", "co2-rich.json"}) {
        SCOPED_TRACE(name);
        const CaseReading reading = ReadCaseFile(examples.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(reading.ok()) << reading.problem.toStdString();
        RunAndConfirm(reading.mixture);
    }
}

TEST(ExampleCases, BinarySaturationRowsAreConfirmedByFlashes)
{
    Mixture binary = test::MethaneButaneFromTable();
    binary.kij = {0, 0.02, 0.02, 0};
    RunAndConfirm(binary);
}

} // namespace
} // namespace envelope
