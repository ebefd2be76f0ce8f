#pragma once
// What the program does with Qt's GUI: the windows, and the chart picture of
// a run without windows. A build without the windows (ENVELOPE_WITH_UI off)
// has neither; this is the one place that tells the two builds apart.

#include <string>

#include "envelope/memory_chart.h"
#include "thermo/eos_kind.h"
#include "thermo/mixture.h"
#include "envelope/traced_overlay.h"

namespace envelope {

// True when this build has the windows and can draw chart pictures.
bool BuildHasWindows();

// True when the windows have somewhere to appear: an X or Wayland display, or
// a Qt platform the user chose (QT_QPA_PLATFORM, e.g. offscreen).
bool DisplayAvailable();

// Opens the main window with the mixture to run and its equation of state,
// the mixture read from caseFile unless that is empty, and returns the status
// once the last window closes. Memory that runs out in the windows is
// reported there (ui/application.h).
int RunWindows(int argc, char* argv[], const Mixture& mixture, EosKind eos, const std::string& caseFile);

// Draws the chart picture, in the format that the name's suffix asks for,
// into picture. Qt runs on its offscreen platform whatever the environment
// says, with none of the program's arguments and with runtimeDirectory, an
// empty private directory, as its runtime directory; its messages are
// dropped, and a fatal one removes the temporaries and ends the process with
// one line on standard error and status 2. With an overlay, the traced
// envelope is drawn over the chart (see PictureExtras). Returns the problem,
// or an empty text.
struct PictureExtras {
    // The traced envelope drawn over the chart, or none.
    const TracedOverlay* overlay = nullptr;
    // The legend names every series: for a mixture other than the built-in case.
    bool fullLegend = false;
    // The spline points are drawn as an estimate.
    bool bridgeEstimate = false;
};
std::string DrawChartPicture(const MemoryChart& chart, const PictureExtras& extras, const std::string& fileName,
                             const std::string& runtimeDirectory, std::string& picture);

} // namespace envelope
