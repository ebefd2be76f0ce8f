#pragma once
// One run without windows.

#include "command_line.h"

namespace envelope {

// Checks every file and directory named on the command line, then runs once
// in memory, prints the three tables on standard output and writes the files
// asked for: all of them, each replacing its target only when complete, or
// none. Returns the exit status:
// - a start-phase failure: the message on standard error, nothing printed or
//   written, ExitFailure;
// - a failure of the spline stage: the tables and the files hold what the run
//   wrote, then the message on standard error and ExitFailure;
// - a file or directory that cannot be written: one line naming it on
//   standard error, nothing written, ExitUsage.
// Only a chart picture needs a QApplication, which is made here and then
// on the offscreen platform unless another is set.
int RunBatch(const CommandLine& command, int& argc, char* argv[]);

} // namespace envelope
