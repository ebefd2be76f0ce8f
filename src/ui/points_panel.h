#pragma once
// The "Characteristic points" panel: the critical point, the cricondenbar and
// the cricondentherm of the traced envelope as numbers, in the units chosen
// (with a list for each unit above them), and how the trace ended. A point
// the trace did not find is shown as "-". Ctrl+C or the context menu's
// "Copy" puts the whole panel on the clipboard as tab-separated text.

#include <array>

#include <QGroupBox>
#include <QString>

#include "trace/trace.h"

class QLabel;
class QTableWidget;

namespace envelope {

class UnitChoice;

class PointsPanel : public QGroupBox {
    Q_OBJECT

public:
    explicit PointsPanel(UnitChoice& units, QWidget* parent = nullptr);

    // Shows the envelope's points and the verdict on its trace.
    void showEnvelope(const trace::TracedEnvelope& envelope, const QString& verdict);
    // Shows no points, and the note where the verdict stands.
    void clear(const QString& note);

    // The panel as text: "Point", "T (<unit>)", "P (<unit>)", then one line a
    // point, then "Traced envelope: <verdict>" (or the note); cells
    // separated by tabs, lines by line feeds.
    QString text() const;

    QTableWidget& table() const { return *table_; }
    QLabel& verdict() const { return *verdict_; }

public slots:
    void copy() const;

private:
    void refresh();

    UnitChoice& units_;
    QTableWidget* table_;
    QLabel* verdict_;
    std::array<trace::CharacteristicPoint, 3> points_{};
    QString verdictText_;
    bool traced_ = false;
};

} // namespace envelope
