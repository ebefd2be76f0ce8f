#pragma once
// The chart operations over the chart window. The first operation creates a
// hidden chart window if none exists; points then gather on it while it is
// open. Closing the window hides it with its points, zoom and traced
// envelope, which showForm() brings back; the next chart operation instead
// starts it afresh, without points or titles.

#include <functional>

#include <QColor>
#include <QPointer>
#include <QString>

#include "envelope/chart.h"
#include "envelope/traced_overlay.h"
#include "ui/form2.h"

namespace envelope {

class UnitChoice;

// 0x00BBGGRR to a colour; the high byte is ignored.
QColor ColourFromBgr(Colour colour);

class QtChart final : public Chart {
public:
    QtChart() = default;
    QtChart(const QtChart&) = delete;
    QtChart& operator=(const QtChart&) = delete;
    // Closes the chart window with the object that made it.
    ~QtChart() override;

    void setSeriesTitle(int series, const std::string& title) override;
    int addPoint(int series, double x, double y, const std::string& label, Colour colour) override;

    // Names the mixture in the chart window's caption, "Envelope — <name>";
    // an empty name leaves the caption "Envelope". Applies to the open window
    // and to every window made later. A named mixture, one other than the
    // built-in case, gets the full legend.
    void setMixtureName(const QString& name);
    // The units the chart window follows, from the next window made on.
    void setUnitChoice(UnitChoice* choice) { units_ = choice; }
    // Called with every chart window as it is made.
    void setFormMade(std::function<void(Form2&)> made) { formMade_ = std::move(made); }
    // Draws the spline points as an estimate, or not.
    void setBridgeEstimate(bool estimate);
    // Names the equation of state after the mixture, "Envelope — <name> —
    // PR" (or "Envelope — PR" for an unnamed one); empty, for SRK, names none.
    void setModelName(const QString& name);
    // The checked conditions the chart window draws, now and in every window
    // made later; clearing the chart leaves them.
    void setConditionMarkers(const QList<Form2::ConditionMarker>& markers);

    // The chart window, or null while there is none.
    Form2* form() const { return form_.data(); }
    // Shows the chart window, creating it first if need be: not modal, and
    // without an owner window.
    void showForm();
    // Removes every point from the chart window, if there is one; the window
    // stays where it is, and the titles stay. A traced envelope shown is
    // replaced by the one its source gives now.
    void clear();

    // Where the traced envelope comes from when the chart window asks for it
    // (its "Show traced envelope" item checked for the first time).
    void setTracedOverlaySource(std::function<TracedOverlay()> source);
    // Hands the traced envelope to the chart window, creating it if need be.
    void setTracedOverlay(const TracedOverlay& overlay);

private:
    Form2& loadedForm();
    // The window, emptied first if it was closed since it was last shown.
    Form2& writtenForm();

    void applyCaption();

    QPointer<Form2> form_;
    QString mixtureName_;
    QString modelName_;
    std::function<TracedOverlay()> overlaySource_;
    std::function<void(Form2&)> formMade_;
    QList<Form2::ConditionMarker> conditions_;
    UnitChoice* units_ = nullptr;
    bool closed_ = false;
};

} // namespace envelope
