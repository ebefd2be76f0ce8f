#pragma once
// The units a temperature or a pressure may be shown in. Every calculation
// works in kelvin and bar; these functions convert a value for showing and
// back, and give each unit its symbol, the decimals it is shown with and the
// key under which a choice of it is stored.

#include <optional>
#include <string>
#include <string_view>

namespace envelope {

enum class TemperatureUnit { Kelvin, Celsius, Fahrenheit };
enum class PressureUnit { Bar, MegaPascal, Psia };

// The kelvin temperature of 0 °C.
inline constexpr double KelvinAtZeroCelsius = 273.15;
inline constexpr double PascalPerBar = 1e5;
// One pound-force per square inch: 0.45359237 kg × 9.80665 m/s² / (0.0254 m)².
inline constexpr double PascalPerPsi = 0.45359237 * 9.80665 / (0.0254 * 0.0254);

// The units a window shows its values in.
struct Units {
    TemperatureUnit temperature = TemperatureUnit::Kelvin;
    PressureUnit pressure = PressureUnit::Bar;
    bool operator==(const Units&) const = default;
};

double FromKelvin(double kelvin, TemperatureUnit unit);
double ToKelvin(double value, TemperatureUnit unit);
double FromBar(double bar, PressureUnit unit);
double ToBar(double value, PressureUnit unit);

// "K", "°C", "°F"; "bar", "MPa", "psia" (UTF-8).
std::string_view Symbol(TemperatureUnit unit);
std::string_view Symbol(PressureUnit unit);

// The decimals a value is shown with: about a thousandth of a kelvin and a
// thousandth of a bar in every unit.
int Decimals(TemperatureUnit unit);
int Decimals(PressureUnit unit);

// The value converted and written with the unit's decimals ("-" for a value
// that is not finite), without the symbol, "." as the decimal separator.
std::string FormatTemperature(double kelvin, TemperatureUnit unit);
std::string FormatPressure(double bar, PressureUnit unit);

// The key under which the unit is stored ("K", "C", "F"; "bar", "MPa",
// "psia") and the unit a key names, if any.
std::string_view Key(TemperatureUnit unit);
std::string_view Key(PressureUnit unit);
std::optional<TemperatureUnit> TemperatureUnitOfKey(std::string_view key);
std::optional<PressureUnit> PressureUnitOfKey(std::string_view key);

} // namespace envelope
