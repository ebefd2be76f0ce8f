#pragma once
// The program's command line: the desktop windows by default, or one run
// without windows that prints the tables and writes the files asked for.

#include <QString>

namespace envelope {

// The run failed: a numerical error.
inline constexpr int ExitFailure = 1;
// The command line, or a file or directory named on it, cannot be used.
inline constexpr int ExitUsage = 2;

struct CommandLine {
    // Help, the version or a usage error has been printed: exit with exitStatus.
    bool done = false;
    int exitStatus = 0;
    // One run without windows; --csv and --chart imply it.
    bool headless = false;
    // The directory for the three CSV files; empty for none.
    QString csvDirectory;
    // The file for the chart picture; empty for none.
    QString chartFile;
};

// Reads the arguments. Prints the help or the version on standard output, and
// a usage error as one line on standard error, itself.
CommandLine ParseCommandLine(int argc, char* argv[]);

// Writes "envelope: <problem>" as one line on standard error and returns
// ExitUsage.
int UsageError(const QString& problem);

} // namespace envelope
