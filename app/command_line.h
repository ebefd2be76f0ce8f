#pragma once
// The program's command line: the desktop windows by default, or one run
// without windows that prints the tables and writes the files asked for.
// Names of files and directories are kept as the bytes given.

#include <optional>
#include <string>
#include <vector>

#include "thermo/eos_kind.h"

namespace envelope {

// The run failed: a numerical error, or standard output could not be written.
inline constexpr int ExitFailure = 1;
// The command line, or a file or directory named on it, cannot be used.
inline constexpr int ExitUsage = 2;

// A condition to check: --point T,P.
struct PointInput {
    double temperature = 0.0; // K
    double pressure = 0.0;    // bar
};

struct CommandLine {
    // Help, the version or a usage error has been printed: exit with exitStatus.
    bool done = false;
    int exitStatus = 0;
    // One run without windows; --csv and --chart imply it.
    bool headless = false;
    // The directory for the CSV files; empty for none.
    std::string csvDirectory;
    // The file for the chart picture; empty for none.
    std::string chartFile;
    // The case file of the mixture to run; empty for the built-in case.
    std::string caseFile;
    // Also trace the envelope through the critical point: three more
    // sections in the report, three more CSV files, and the traced curve on
    // the chart.
    bool trace = false;
    // The conditions to check (--point, the one option that may be given
    // more than once), in the order given; they imply headless.
    std::vector<PointInput> points;
    // The equation of state given with --eos, which overrides the case
    // file's; none when not given.
    std::optional<EosKind> eos;
    // Trace the envelope without the run: only the traced sections, files
    // and curve. Implies trace and headless.
    bool traceOnly = false;
};

// Reads the arguments. Prints the help or the version on standard output, and
// a usage error as one line on standard error, itself.
CommandLine ParseCommandLine(int argc, char* argv[]);

// Writes "envelope: <text>" as one line on standard error.
void Say(const std::string& text);

// Writes "envelope: <problem>" as one line on standard error and returns the
// status.
int Fail(const std::string& problem, int status);

// Writes "envelope: out of memory" as one line on standard error, allocating
// nothing, and returns ExitFailure.
int OutOfMemory();

// Fail(problem, ExitUsage).
int UsageError(const std::string& problem);

} // namespace envelope
