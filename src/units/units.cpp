#include "units/units.h"

#include <array>
#include <charconv>
#include <cmath>

namespace envelope {

namespace {

constexpr double FahrenheitPerKelvin = 1.8;
constexpr double FahrenheitAtZeroCelsius = 32.0;

constexpr std::array<TemperatureUnit, 3> TemperatureUnits = {TemperatureUnit::Kelvin, TemperatureUnit::Celsius,
                                                             TemperatureUnit::Fahrenheit};
constexpr std::array<PressureUnit, 3> PressureUnits = {PressureUnit::Bar, PressureUnit::MegaPascal,
                                                       PressureUnit::Psia};

std::string Fixed(double value, int decimals)
{
    if (!std::isfinite(value))
        return "-";
    char text[64];
    const std::to_chars_result end = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, decimals);
    if (end.ec != std::errc())
        return "-";
    return std::string(text, end.ptr);
}

} // namespace

double FromKelvin(double kelvin, TemperatureUnit unit)
{
    switch (unit) {
    case TemperatureUnit::Kelvin:
        return kelvin;
    case TemperatureUnit::Celsius:
        return kelvin - KelvinAtZeroCelsius;
    case TemperatureUnit::Fahrenheit:
        return (kelvin - KelvinAtZeroCelsius) * FahrenheitPerKelvin + FahrenheitAtZeroCelsius;
    }
    return kelvin;
}

double ToKelvin(double value, TemperatureUnit unit)
{
    switch (unit) {
    case TemperatureUnit::Kelvin:
        return value;
    case TemperatureUnit::Celsius:
        return value + KelvinAtZeroCelsius;
    case TemperatureUnit::Fahrenheit:
        return (value - FahrenheitAtZeroCelsius) / FahrenheitPerKelvin + KelvinAtZeroCelsius;
    }
    return value;
}

double FromBar(double bar, PressureUnit unit)
{
    switch (unit) {
    case PressureUnit::Bar:
        return bar;
    case PressureUnit::MegaPascal:
        return bar * PascalPerBar / 1e6;
    case PressureUnit::Psia:
        return bar * PascalPerBar / PascalPerPsi;
    }
    return bar;
}

double ToBar(double value, PressureUnit unit)
{
    switch (unit) {
    case PressureUnit::Bar:
        return value;
    case PressureUnit::MegaPascal:
        return value * 1e6 / PascalPerBar;
    case PressureUnit::Psia:
        return value * PascalPerPsi / PascalPerBar;
    }
    return value;
}

std::string_view Symbol(TemperatureUnit unit)
{
    switch (unit) {
    case TemperatureUnit::Kelvin:
        return "K";
    case TemperatureUnit::Celsius:
        return "\u00B0C";
    case TemperatureUnit::Fahrenheit:
        return "\u00B0F";
    }
    return "K";
}

std::string_view Symbol(PressureUnit unit)
{
    switch (unit) {
    case PressureUnit::Bar:
        return "bar";
    case PressureUnit::MegaPascal:
        return "MPa";
    case PressureUnit::Psia:
        return "psia";
    }
    return "bar";
}

int Decimals(TemperatureUnit)
{
    return 3;
}

int Decimals(PressureUnit unit)
{
    switch (unit) {
    case PressureUnit::Bar:
        return 3;
    case PressureUnit::MegaPascal:
        return 4;
    case PressureUnit::Psia:
        return 2;
    }
    return 3;
}

std::string FormatTemperature(double kelvin, TemperatureUnit unit)
{
    return Fixed(FromKelvin(kelvin, unit), Decimals(unit));
}

std::string FormatPressure(double bar, PressureUnit unit)
{
    return Fixed(FromBar(bar, unit), Decimals(unit));
}

std::string_view Key(TemperatureUnit unit)
{
    switch (unit) {
    case TemperatureUnit::Kelvin:
        return "K";
    case TemperatureUnit::Celsius:
        return "C";
    case TemperatureUnit::Fahrenheit:
        return "F";
    }
    return "K";
}

std::string_view Key(PressureUnit unit)
{
    return Symbol(unit);
}

std::optional<TemperatureUnit> TemperatureUnitOfKey(std::string_view key)
{
    for (const TemperatureUnit unit : TemperatureUnits)
        if (Key(unit) == key)
            return unit;
    return std::nullopt;
}

std::optional<PressureUnit> PressureUnitOfKey(std::string_view key)
{
    for (const PressureUnit unit : PressureUnits)
        if (Key(unit) == key)
            return unit;
    return std::nullopt;
}

} // namespace envelope
