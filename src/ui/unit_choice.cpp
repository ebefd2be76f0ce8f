#include "ui/unit_choice.h"

#include <QActionGroup>
#include <QComboBox>
#include <QMenu>
#include <QSettings>

namespace envelope {

namespace {

constexpr TemperatureUnit TemperatureUnits[] = {TemperatureUnit::Kelvin, TemperatureUnit::Celsius,
                                                TemperatureUnit::Fahrenheit};
constexpr PressureUnit PressureUnits[] = {PressureUnit::Bar, PressureUnit::MegaPascal, PressureUnit::Psia};

QString FromView(std::string_view text)
{
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// One checkable item a unit, in a group, checked as the choice goes.
template <typename Unit, std::size_t N, typename Current, typename Choose>
void AddUnitItems(QMenu& menu, UnitChoice& choice, const Unit (&units)[N], Current current, Choose choose)
{
    auto* group = new QActionGroup(&menu);
    for (const Unit unit : units) {
        QAction* item = menu.addAction(UnitSymbol(unit));
        item->setObjectName(QStringLiteral("Unit_") + FromView(Key(unit)));
        item->setCheckable(true);
        item->setChecked(current(choice.units()) == unit);
        group->addAction(item);
        QObject::connect(item, &QAction::triggered, &choice, [&choice, unit, choose] { (choice.*choose)(unit); });
        QObject::connect(&choice, &UnitChoice::changed, item,
                         [item, unit, current](const Units& now) { item->setChecked(current(now) == unit); });
    }
}

template <typename Unit, std::size_t N, typename Current, typename Choose>
QComboBox* NewUnitBox(QWidget* parent, UnitChoice& choice, const Unit (&units)[N], Current current, Choose choose)
{
    auto* box = new QComboBox(parent);
    for (const Unit unit : units)
        box->addItem(UnitSymbol(unit), static_cast<int>(unit));
    box->setCurrentIndex(box->findData(static_cast<int>(current(choice.units()))));
    QObject::connect(box, &QComboBox::activated, &choice,
                     [&choice, box, choose] { (choice.*choose)(static_cast<Unit>(box->currentData().toInt())); });
    QObject::connect(&choice, &UnitChoice::changed, box, [box, current](const Units& now) {
        box->setCurrentIndex(box->findData(static_cast<int>(current(now))));
    });
    return box;
}

TemperatureUnit TemperatureOf(const Units& units)
{
    return units.temperature;
}

PressureUnit PressureOf(const Units& units)
{
    return units.pressure;
}

} // namespace

QString UnitSymbol(TemperatureUnit unit)
{
    return FromView(Symbol(unit));
}

QString UnitSymbol(PressureUnit unit)
{
    return FromView(Symbol(unit));
}

QString TemperatureText(double kelvin, TemperatureUnit unit)
{
    return QString::fromStdString(FormatTemperature(kelvin, unit));
}

QString PressureText(double bar, PressureUnit unit)
{
    return QString::fromStdString(FormatPressure(bar, unit));
}

void UnitChoice::readFrom(const QSettings& settings)
{
    Units units = units_;
    if (const auto unit = TemperatureUnitOfKey(settings.value(QStringLiteral("units/temperature")).toString().toStdString()))
        units.temperature = *unit;
    if (const auto unit = PressureUnitOfKey(settings.value(QStringLiteral("units/pressure")).toString().toStdString()))
        units.pressure = *unit;
    setUnits(units);
}

void UnitChoice::writeTo(QSettings& settings) const
{
    settings.setValue(QStringLiteral("units/temperature"), FromView(Key(units_.temperature)));
    settings.setValue(QStringLiteral("units/pressure"), FromView(Key(units_.pressure)));
}

void UnitChoice::addMenusTo(QMenu& menu)
{
    QMenu* temperature = menu.addMenu(tr("&Temperature"));
    temperature->setObjectName(QStringLiteral("TemperatureUnits"));
    AddUnitItems(*temperature, *this, TemperatureUnits, &TemperatureOf, &UnitChoice::setTemperatureUnit);
    QMenu* pressure = menu.addMenu(tr("&Pressure"));
    pressure->setObjectName(QStringLiteral("PressureUnits"));
    AddUnitItems(*pressure, *this, PressureUnits, &PressureOf, &UnitChoice::setPressureUnit);
}

QComboBox* UnitChoice::newTemperatureBox(QWidget* parent)
{
    QComboBox* box = NewUnitBox(parent, *this, TemperatureUnits, &TemperatureOf, &UnitChoice::setTemperatureUnit);
    box->setObjectName(QStringLiteral("TemperatureUnit"));
    return box;
}

QComboBox* UnitChoice::newPressureBox(QWidget* parent)
{
    QComboBox* box = NewUnitBox(parent, *this, PressureUnits, &PressureOf, &UnitChoice::setPressureUnit);
    box->setObjectName(QStringLiteral("PressureUnit"));
    return box;
}

void UnitChoice::setUnits(const Units& units)
{
    if (units == units_)
        return;
    units_ = units;
    emit changed(units_);
}

void UnitChoice::setTemperatureUnit(TemperatureUnit unit)
{
    setUnits({unit, units_.pressure});
}

void UnitChoice::setPressureUnit(PressureUnit unit)
{
    setUnits({units_.temperature, unit});
}

} // namespace envelope
