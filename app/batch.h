#pragma once
// One run without windows.

#include "command_line.h"
#include "thermo/eos_kind.h"
#include "thermo/mixture.h"

namespace envelope {

// Checks every file and directory named on the command line, and standard
// output, then runs once in memory, writes the files asked for (all of them,
// each replacing its target only when complete, or none) and prints the
// three tables on standard output, for the mixture given, computed with the
// equation of state eos; any other than SRK is named on a first line of its
// own, "Equation of state: Peng-Robinson (1976)", and a blank line. With
// --trace the traced envelope's sections and files follow, and with
// --trace-only they are all there is. Returns the exit status:
// - a file or directory that cannot be written: one line naming it on
//   standard error, nothing written, ExitUsage;
// - a start-phase failure: the message and its reason (the stage and the
//   fault) on one line of standard error and ExitFailure; nothing printed or
//   written but, under --trace, the traced envelope's sections and files;
// - standard output closed or failing: one line on standard error,
//   ExitFailure (the files are written unless it was closed from the start);
// - a failure of the spline stage: the tables and the files hold what the run
//   wrote, then the message and its reason on standard error and ExitFailure;
// - a traced envelope whose verdict is stopped: everything is printed and
//   written, then one line with the verdict and its reason on standard
//   error, and ExitFailure.
// Each failed part prints its own one line, the run's first.
// Only a chart picture starts Qt's GUI (desktop.h).
int RunBatch(const CommandLine& command, const Mixture& mixture, EosKind eos);

} // namespace envelope
