// The envelope program: the desktop windows, or with --headless, --csv or
// --chart one run without windows (batch.h); --case names the mixture to run.

#include <QFile>

#include "batch.h"
#include "casefile/case_file.h"
#include "command_line.h"
#include "desktop.h"
#include "envelope/case.h"
#include "interaction/interaction_table.h"
#include "output/standard_output.h"

int main(int argc, char* argv[])
{
    envelope::KeepStandardDescriptorsTaken();
    const envelope::CommandLine command = envelope::ParseCommandLine(argc, argv);
    if (command.done)
        return command.exitStatus;
    // A case that cannot be used stops the program before anything runs.
    envelope::Mixture mixture = envelope::BuiltInMixture();
    envelope::EosKind eos = envelope::EosKind::SRK;
    if (!command.caseFile.empty()) {
        const envelope::CaseReading reading = envelope::ReadCaseFile(QFile::decodeName(command.caseFile.c_str()));
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
    // A build without the windows runs once without them.
    if (!command.headless && envelope::BuildHasWindows())
        return envelope::RunWindows(argc, argv, mixture, eos, command.caseFile);
    return envelope::RunBatch(command, mixture, eos);
}
