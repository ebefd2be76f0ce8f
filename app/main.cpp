// The envelope program: the desktop windows, or with --headless, --csv or
// --chart one run without windows (batch.h).

#include "batch.h"
#include "command_line.h"
#include "desktop.h"
#include "output/standard_output.h"

int main(int argc, char* argv[])
{
    envelope::KeepStandardDescriptorsTaken();
    const envelope::CommandLine command = envelope::ParseCommandLine(argc, argv);
    if (command.done)
        return command.exitStatus;
    // A build without the windows runs once without them.
    if (!command.headless && envelope::BuildHasWindows())
        return envelope::RunWindows(argc, argv);
    return envelope::RunBatch(command);
}
