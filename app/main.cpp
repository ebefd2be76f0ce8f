// The envelope program: the desktop windows, or with --headless, --csv or
// --chart one run without windows (batch.h).
#include <QCoreApplication>

#include "batch.h"
#include "command_line.h"

#ifdef ENVELOPE_WITH_UI
#include <QApplication>

#include "ui/form1.h"
#endif

int main(int argc, char* argv[])
{
    // No application object yet: a run without windows needs none, and
    // --headless must not pay for starting a GUI.
    QCoreApplication::setApplicationName("Envelope");
    QCoreApplication::setApplicationVersion(ENVELOPE_VERSION);

    const envelope::CommandLine command = envelope::ParseCommandLine(argc, argv);
    if (command.done)
        return command.exitStatus;
#ifdef ENVELOPE_WITH_UI
    if (!command.headless) {
        QApplication application(argc, argv);
        envelope::Form1 window;
        window.show();
        return application.exec();
    }
#endif
    return envelope::RunBatch(command, argc, argv);
}
