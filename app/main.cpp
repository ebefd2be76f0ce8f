// The envelope program: the desktop windows, or with --headless, --csv or
// --chart one run without windows (batch.h); --case names the mixture to run.

#include <new>

#include "batch.h"
#include "casefile/case_file.h"
#include "command_line.h"
#include "desktop.h"
#include "envelope/case.h"
#include "interaction/interaction_table.h"
#include "output/standard_output.h"

namespace {

int Main(int argc, char* argv[])
{
    const envelope::CommandLine command = envelope::ParseCommandLine(argc, argv);
    if (command.done)
        return command.exitStatus;
    // A case that cannot be used stops the program before anything runs.
    envelope::Mixture mixture = envelope::BuiltInMixture();
    envelope::EosKind eos = envelope::EosKind::SRK;
    if (!command.caseFile.empty()) {
        const envelope::CaseReading reading = envelope::ReadCaseFile(command.caseFile);
        if (!reading.ok())
            return envelope::UsageError(reading.problem.toStdString());
        mixture = reading.mixture;
        eos = reading.eos;
    }
    // --eos overrides the case file; k_ij the case took from the interaction
    // table are then that model's.
    if (command.eos) {
        eos = *command.eos;
        if (mixture.kijFromTable)
            envelope::ApplyInteractionTable(mixture, eos);
    }
    // A build without the windows runs once without them, and so does the
    // program where no display is to be had, saying so on one line.
    if (!command.headless && envelope::BuildHasWindows()) {
        if (envelope::DisplayAvailable())
            return envelope::RunWindows(argc, argv, mixture, eos, command.caseFile);
        envelope::Say("no display found: running without windows");
    }
    return envelope::RunBatch(command, mixture, eos);
}

} // namespace

int main(int argc, char* argv[])
{
    envelope::KeepStandardDescriptorsTaken();
    // Memory that runs out ends every mode with one line; the windows report
    // it themselves for what a user does in them (desktop.h).
    try {
        return Main(argc, argv);
    } catch (const std::bad_alloc&) {
        return envelope::OutOfMemory();
    }
}
