// Numbers as texts: the fixed widths of the program's files (every rounding
// is of the exact binary value, to the nearest, and an exact tie goes away
// from zero where printf would send it to the even digit), the general form
// of the windows, and the full precision of the batch tool.
#pragma once

#include <string>

// The value rounded to `decimals` decimals, right-aligned in `width`
// characters; a wider value widens the field.
std::string FormatFixed(double value, int width, int decimals);

// The same with another decimal separator in place of the point.
std::string FormatFixed(double value, int width, int decimals, char separator);

// Sign character (blank or "-"), one digit, ".", width - 9 digits, "E", the
// exponent's sign and 4 exponent digits: exactly `width` characters.
std::string FormatExp(double value, int width);

// Right-aligned in `width` characters (widened when needed).
std::string FormatInt(long long value, int width);

// Parameter value of the input file: fixed 8.2 from 1 on, fixed 8.3 below
// (width 0: the digits alone).
std::string FormatParameter(double value, int width = 8);

// Series value of the input file: fixed width.2 from 1 on, exponential of
// `width` below.
std::string FormatSeries(double value, int width);

// The general number form: the value rounded to 15 significant digits,
// trailing zeros dropped, fixed from 0.0001 up to 15 integer digits and with
// an exponent otherwise: 50, 0.1, 2.5E-6, 1E20.
std::string FormatGeneral(double value, char separator);

// The shortest text that reads back as the same double.
std::string FullPrecision(double value);

// Every line of the program's files, the last one included, ends with
// carriage return and line feed.
inline void AppendLine(std::string& out, const std::string& text) {
  out += text;
  out += "\r\n";
}
