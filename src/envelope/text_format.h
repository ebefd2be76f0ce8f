#pragma once
// The texts of the result tables. The tables are the run's only record of the
// traced points and the spline knots are read back from them, so the rounding
// of these texts is part of the calculation. Every format uses "." as the
// decimal separator whatever the locale of the process.

#include <string>
#include <string_view>

namespace envelope {

// "###.###": rounded to three decimals (halfway values away from zero); the
// integer digits without leading zeros and none when the integer part is 0; the
// point always; the fraction without trailing zeros. A negative value carries a
// leading "-", also when it rounds to zero: -0.0004 gives "-." (and -0.0 gives
// ".", as 0 does). Halfway values round away from zero over the whole range.
// Examples: 2 -> "2.", 2.5 -> "2.5", 0.5 -> ".5", -1.5 -> "-1.5".
std::string FormatThreeDecimals(double value);

// "00#.###": the same with the integer part padded with zeros to at least three
// digits. Examples: 2 -> "002.", 0.5 -> "000.5", -1.5 -> "-001.5",
// -0.0004 -> "-000.".
std::string FormatThreeDecimalsPadded(double value);

// The shortest decimal form: at most 15 significant digits, no trailing zeros,
// no point when the value is whole; very large and very small magnitudes take
// an exponent ("1e+15", "1e-05"). Negative zero prints "0".
std::string FormatShortest(double value);

// The leading decimal number of a text: optional blanks (space, tab), optional
// sign, digits with an optional "." and fraction digits (at least one digit in
// all), optional exponent. Whatever follows is ignored, and a text with no
// leading number reads 0. "002." reads 2, "-.5" reads -0.5, "." reads 0.
// A number too large for a double raises NumericalFault.
double ReadLeadingNumber(std::string_view text);

} // namespace envelope
