#include "envelope/text_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstddef>
#include <string>
#include <system_error>

#include "thermo/numerical_fault.h"

namespace envelope {

namespace {

// Room for the 309 integer digits of the largest double, the point and three
// decimals, or for the 15-digit general form.
constexpr std::size_t TextBufferSize = 400;

// The magnitude of a value rounded to three decimals, as its integer digits and
// its three fraction digits.
struct ThousandthsText {
    bool negative = false;
    std::string integer;
    std::string fraction;
};

// A double is exactly halfway between two thousandths only when it is an odd
// multiple of 1/16: k/1000 + 1/2000 = (2k + 1)/2000 is a binary fraction only
// when 125 divides 2k + 1. From 2^49 on the spacing of doubles exceeds 1/16, so
// no tie exists there; below it the product with 16 is exact.
bool IsThousandthTie(double magnitude)
{
    return magnitude < 0x1p49 && std::fmod(magnitude * 16.0, 2.0) == 1.0;
}

// Adds one unit in the last place of a text of decimal digits with a point,
// carrying through the point: "9.999" gives "10.000".
void IncrementLastDigit(std::string& digits)
{
    for (std::size_t i = digits.size(); i-- > 0;) {
        if (digits[i] == '.')
            continue;
        if (digits[i] != '9') {
            ++digits[i];
            return;
        }
        digits[i] = '0';
    }
    digits.insert(0, 1, '1');
}

ThousandthsText RoundToThousandths(double value)
{
    Finite(value);
    const double magnitude = std::fabs(value);
    std::array<char, TextBufferSize> buffer{};
    char* const first = buffer.data();
    char* const last = buffer.data() + buffer.size();

    std::string digits;
    if (IsThousandthTie(magnitude)) {
        // The fixed conversion would round a tie to even; a business format
        // rounds it away from zero. A tie has exactly four decimals, the last
        // a 5, so its four-decimal text is exact: drop the 5 and round up.
        const auto result = std::to_chars(first, last, magnitude, std::chars_format::fixed, 4);
        if (result.ec != std::errc())
            RaiseNumericalFault(FaultKind::Text, "number does not fit its text");
        digits.assign(first, result.ptr - 1);
        IncrementLastDigit(digits);
    } else {
        // The fixed conversion rounds the exact binary value to nearest.
        const auto result = std::to_chars(first, last, magnitude, std::chars_format::fixed, 3);
        if (result.ec != std::errc())
            RaiseNumericalFault(FaultKind::Text, "number does not fit its text");
        digits.assign(first, result.ptr);
    }

    const std::size_t point = digits.find('.');
    ThousandthsText text;
    text.integer = digits.substr(0, point);
    text.fraction = digits.substr(point + 1);
    // Every negative value keeps its sign, also one that rounds to zero; -0.0
    // is zero, not negative.
    text.negative = value < 0.0;
    return text;
}

std::string FormatThousandths(double value, std::size_t minimumIntegerDigits)
{
    ThousandthsText text = RoundToThousandths(value);
    if (text.integer == "0")
        text.integer.clear();
    if (text.integer.size() < minimumIntegerDigits)
        text.integer.insert(0, minimumIntegerDigits - text.integer.size(), '0');
    const std::size_t lastDigit = text.fraction.find_last_not_of('0');
    text.fraction.erase(lastDigit == std::string::npos ? 0 : lastDigit + 1);
    return (text.negative ? "-" : "") + text.integer + "." + text.fraction;
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Decimal exponent of the first significant digit of a number text
// "[-]digits[.digits][e[-]digits]" with at least one non-zero digit; tells an
// overflow from an underflow when the conversion reports the number out of range.
long long LeadingDecimalExponent(const std::string& number)
{
    const std::size_t exponentAt = number.find('e');
    const std::string mantissa = number.substr(0, exponentAt);
    long long exponent = 0;
    if (exponentAt != std::string::npos) {
        const std::string digits = number.substr(exponentAt + 1);
        const bool negative = digits[0] == '-';
        for (char c : digits) {
            if (IsDigit(c) && exponent < 1'000'000'000)
                exponent = exponent * 10 + (c - '0');
        }
        exponent = negative ? -exponent : exponent;
    }
    const std::size_t point = std::min(mantissa.find('.'), mantissa.size());
    const std::size_t firstSignificant = mantissa.find_first_of("123456789");
    const long long position = static_cast<long long>(point) - static_cast<long long>(firstSignificant);
    return exponent + (position > 0 ? position - 1 : position);
}

} // namespace

std::string FormatThreeDecimals(double value)
{
    return FormatThousandths(value, 0);
}

std::string FormatThreeDecimalsPadded(double value)
{
    return FormatThousandths(value, 3);
}

std::string FormatShortest(double value)
{
    Finite(value);
    if (value == 0.0)
        return "0";
    std::array<char, TextBufferSize> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::general, 15);
    if (result.ec != std::errc())
        RaiseNumericalFault(FaultKind::Text, "number does not fit its text");
    return std::string(buffer.data(), result.ptr);
}

double ReadLeadingNumber(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;

    // Copy the number in a form the locale-independent conversion takes: no
    // "+" sign, "e" for the exponent.
    std::string number;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            number += '-';
        ++i;
    }
    int mantissaDigits = 0;
    for (; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits)
        number += text[i];
    if (i < text.size() && text[i] == '.') {
        number += '.';
        for (++i; i < text.size() && IsDigit(text[i]); ++i, ++mantissaDigits)
            number += text[i];
    }
    if (mantissaDigits == 0)
        return 0.0;

    // An exponent counts only with at least one digit: "2e" reads 2.
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        std::size_t j = i + 1;
        std::string exponent = "e";
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            exponent += text[j++];
        if (j < text.size() && IsDigit(text[j])) {
            for (; j < text.size() && IsDigit(text[j]); ++j)
                exponent += text[j];
            number += exponent;
        }
    }

    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        if (LeadingDecimalExponent(number) > 0)
            RaiseNumericalFault(FaultKind::Text, "number too large for a double");
        return number[0] == '-' ? -0.0 : 0.0;
    }
    if (result.ec != std::errc())
        RaiseNumericalFault(FaultKind::Text, "unreadable number");
    return value;
}

} // namespace envelope
