// Reals as the user types and reads them in the windows: either decimal
// separator in, the user's separator out.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The value of a typed real, read with the given decimal separator and,
// failing that, with the other one of point and comma; empty when the text is
// no real in either notation (1,234.5 is none). Blanks around it are allowed.
std::optional<double> StringToFloat(std::string_view text, char separator);

// A typed whole number in decimal, blanks around it allowed.
std::optional<int> StringToInt(std::string_view text);

// The general number form: the value rounded to 15 significant digits,
// trailing zeros dropped, fixed from 0.0001 up to 15 integer digits and with
// an exponent otherwise: 50, 0.1, 2.5E-6, 1E20.
std::string FormatGeneral(double value, char separator);

// What the user is told when a text is no real in either notation.
std::string NotAFloatText(std::string_view text);
