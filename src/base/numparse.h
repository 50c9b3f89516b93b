// Numbers read from texts: the strict tokens of the program's files, and
// reals as the user types them in the windows (either decimal separator).
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Strict conversions of one token: an optional sign, digits, a decimal point
// and an exponent for a real; an optional sign and digits for an integer.
// No blanks, no "inf" or "nan", nothing out of range (a real too small for
// a double reads as 0).
std::optional<double> ParseReal(std::string_view token);
std::optional<int> ParseInteger(std::string_view token);

// The value of a typed real, read with the given decimal separator and,
// failing that, with the other one of point and comma; empty when the text is
// no real in either notation (1,234.5 is none). Blanks around it are allowed.
std::optional<double> StringToFloat(std::string_view text, char separator);

// A typed whole number in decimal, blanks around it allowed.
std::optional<int> StringToInt(std::string_view text);

// What the user is told when a text is no real in either notation.
std::string NotAFloatText(std::string_view text);
