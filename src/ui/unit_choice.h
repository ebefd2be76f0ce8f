#pragma once
// The units the windows show temperatures and pressures in: one choice that
// every window shares, offered as menus and as a pair of drop-down lists, and
// kept in the settings between program starts.

#include <QObject>
#include <QString>

#include "units/units.h"

class QComboBox;
class QMenu;
class QSettings;
class QWidget;

namespace envelope {

// The unit's symbol as text: "K", "°C", "°F"; "bar", "MPa", "psia".
QString UnitSymbol(TemperatureUnit unit);
QString UnitSymbol(PressureUnit unit);

// A temperature given in K, or a pressure given in bar, in the unit with its
// decimals and without the symbol; "-" for a value that is not finite.
QString TemperatureText(double kelvin, TemperatureUnit unit);
QString PressureText(double bar, PressureUnit unit);

class UnitChoice : public QObject {
    Q_OBJECT

public:
    explicit UnitChoice(QObject* parent = nullptr) : QObject(parent) {}

    const Units& units() const { return units_; }

    // The choice stored under "units/temperature" and "units/pressure"; a
    // missing or unknown key leaves that unit as it is.
    void readFrom(const QSettings& settings);
    void writeTo(QSettings& settings) const;

    // Two submenus, "Temperature" and "Pressure", with one checkable item a
    // unit, added to the menu and kept checked as the choice changes.
    void addMenusTo(QMenu& menu);
    // Drop-down lists of the units, kept showing the choice.
    QComboBox* newTemperatureBox(QWidget* parent);
    QComboBox* newPressureBox(QWidget* parent);

public slots:
    void setUnits(const envelope::Units& units);
    void setTemperatureUnit(envelope::TemperatureUnit unit);
    void setPressureUnit(envelope::PressureUnit unit);

signals:
    void changed(const envelope::Units& units);

private:
    Units units_;
};

} // namespace envelope
