// The envelope program: the desktop windows, or with --headless, --csv or
// --chart one run without windows (batch.h); --case names the mixture to run.

#include <QFile>

#include "batch.h"
#include "casefile/case_file.h"
#include "command_line.h"
#include "desktop.h"
#include "envelope/case.h"
#include "output/standard_output.h"

int main(int argc, char* argv[])
{
    envelope::KeepStandardDescriptorsTaken();
    const envelope::CommandLine command = envelope::ParseCommandLine(argc, argv);
    if (command.done)
        return command.exitStatus;
    // A case that cannot be used stops the program before anything runs.
    envelope::Mixture mixture = envelope::BuiltInMixture();
    if (!command.caseFile.empty()) {
        const envelope::CaseReading reading = envelope::ReadCaseFile(QFile::decodeName(command.caseFile.c_str()));
        if (!reading.ok())
            return envelope::UsageError(reading.problem.toStdString());
        mixture = reading.mixture;
    }
    // A build without the windows runs once without them.
    if (!command.headless && envelope::BuildHasWindows())
        return envelope::RunWindows(argc, argv, mixture, command.caseFile);
    return envelope::RunBatch(command, mixture);
}
