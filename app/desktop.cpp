#include "desktop.h"

#include "output/path_names.h"

#ifdef ENVELOPE_WITH_UI

#include <cstdlib>
#include <string_view>

#include <unistd.h>

#include <QApplication>
#include <QFile>
#include <QSettings>

#include "command_line.h"
#include "output/interrupt_cleanup.h"
#include "ui/application.h"
#include "ui/chart_picture.h"
#include "ui/form1.h"

namespace envelope {

namespace {

// Qt's warnings are no concern of a run without windows, whose failures are
// one line each. A fatal message would abort: the temporaries go first, and
// the process ends with the one line instead.
std::string drawnName;

void DropQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg)
        return;
    RemoveRegisteredPaths();
    std::string reason = message.toStdString();
    for (char& c : reason)
        if (c == '\n' || c == '\r')
            c = ' ';
    Fail("cannot draw the chart " + QuotedName(drawnName) + ": " + reason, ExitUsage);
    ::_exit(ExitUsage);
}

} // namespace

bool BuildHasWindows()
{
    return true;
}

bool DisplayAvailable()
{
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

int RunWindows(int argc, char* argv[], const Mixture& mixture, EosKind eos, const std::string& caseFile)
{
    QApplication::setOrganizationName(QStringLiteral("Envelope"));
    QApplication::setApplicationName(QStringLiteral("Envelope"));
    QApplication::setApplicationVersion(QStringLiteral(ENVELOPE_VERSION));
    Application application(argc, argv);
    // The choices remembered between program starts: units, the windows'
    // places, the last folders, whether the traced envelope is shown.
    QSettings settings;
    Form1 window;
    window.rememberIn(&settings);
    if (!caseFile.empty() || eos != EosKind::SRK)
        window.useMixture(mixture, eos, QFile::decodeName(caseFile.c_str()));
    window.show();
    return application.exec();
}

std::string DrawChartPicture(const MemoryChart& chart, const PictureExtras& extras, const std::string& fileName,
                             const std::string& runtimeDirectory, std::string& picture)
{
    drawnName = fileName;
    qInstallMessageHandler(DropQtMessages);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::unsetenv("QT_QPA_PLATFORMTHEME");
    ::setenv("XDG_RUNTIME_DIR", runtimeDirectory.c_str(), 1);
    static char name[] = "envelope";
    static char* arguments[] = {name, nullptr};
    static int count = 1;
    const QApplication application(count, arguments);
    const QByteArray drawn = ChartPicture(chart, QFile::decodeName(QByteArray::fromStdString(fileName)),
                                          extras.overlay, extras.fullLegend, extras.bridgeEstimate);
    if (drawn.isEmpty())
        return "cannot write " + QuotedName(fileName) + ": the chart could not be drawn";
    picture = drawn.toStdString();
    return {};
}

} // namespace envelope

#else

namespace envelope {

bool BuildHasWindows()
{
    return false;
}

bool DisplayAvailable()
{
    return false;
}

int RunWindows(int, char*[], const Mixture&, EosKind, const std::string&)
{
    return 0;
}

std::string DrawChartPicture(const MemoryChart&, const PictureExtras&, const std::string& fileName, const std::string&,
                             std::string&)
{
    return "cannot write " + QuotedName(fileName) + ": this build has no chart pictures";
}

} // namespace envelope

#endif
