// Conversions of temperature and pressure for showing values, and the keys
// a choice of unit is stored under.
#include <gtest/gtest.h>

#include "units/units.h"

using namespace envelope;

TEST(Units, ConversionsMeetKnownValuesAndReturn)
{
    EXPECT_DOUBLE_EQ(FromKelvin(273.15, TemperatureUnit::Celsius), 0.0);
    EXPECT_DOUBLE_EQ(FromKelvin(373.15, TemperatureUnit::Fahrenheit), 212.0);
    EXPECT_NEAR(FromKelvin(233.15, TemperatureUnit::Fahrenheit), -40.0, 1e-12);
    EXPECT_DOUBLE_EQ(FromBar(10.0, PressureUnit::MegaPascal), 1.0);
    // 1 atm is 1.01325 bar and 14.6959488 psi.
    EXPECT_NEAR(FromBar(1.01325, PressureUnit::Psia), 14.6959488, 1e-7);
    for (const TemperatureUnit unit : {TemperatureUnit::Kelvin, TemperatureUnit::Celsius, TemperatureUnit::Fahrenheit})
        for (const double kelvin : {0.0, 145.326, 554.149})
            EXPECT_NEAR(ToKelvin(FromKelvin(kelvin, unit), unit), kelvin, 1e-12);
    for (const PressureUnit unit : {PressureUnit::Bar, PressureUnit::MegaPascal, PressureUnit::Psia})
        for (const double bar : {1.0, 44.119, 108.4})
            EXPECT_NEAR(ToBar(FromBar(bar, unit), unit), bar, 1e-12);
    // Kelvin and bar are shown exactly as computed.
    EXPECT_EQ(FromKelvin(0.1 + 0.2, TemperatureUnit::Kelvin), 0.1 + 0.2);
    EXPECT_EQ(FromBar(0.1 + 0.2, PressureUnit::Bar), 0.1 + 0.2);
}

TEST(Units, TextsAndKeys)
{
    EXPECT_EQ(FormatTemperature(250.0, TemperatureUnit::Celsius), "-23.150");
    EXPECT_EQ(FormatPressure(60.0, PressureUnit::Psia), "870.23");
    EXPECT_EQ(FormatPressure(60.0, PressureUnit::MegaPascal), "6.0000");
    EXPECT_EQ(FormatTemperature(std::numeric_limits<double>::quiet_NaN(), TemperatureUnit::Kelvin), "-");
    EXPECT_EQ(Symbol(TemperatureUnit::Fahrenheit), "\u00B0F");
    for (const TemperatureUnit unit : {TemperatureUnit::Kelvin, TemperatureUnit::Celsius, TemperatureUnit::Fahrenheit})
        EXPECT_EQ(TemperatureUnitOfKey(Key(unit)), unit);
    for (const PressureUnit unit : {PressureUnit::Bar, PressureUnit::MegaPascal, PressureUnit::Psia})
        EXPECT_EQ(PressureUnitOfKey(Key(unit)), unit);
    EXPECT_FALSE(TemperatureUnitOfKey("Rankine"));
    EXPECT_FALSE(PressureUnitOfKey(""));
}
