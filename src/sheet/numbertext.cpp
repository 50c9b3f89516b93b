#include "sheet/numbertext.h"

#include <charconv>
#include <cmath>

#include "files/textreader.h"

namespace {

std::string_view TrimBlanks(std::string_view text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

// One notation: the separator given, and no other separator in the text.
std::optional<double> ReadWith(std::string_view text, char separator) {
  const char other = separator == ',' ? '.' : ',';
  std::string token(TrimBlanks(text));
  for (char& c : token) {
    if (c == other) return std::nullopt;
    if (c == separator) c = '.';
  }
  return ParseReal(token);
}

}  // namespace

std::optional<double> StringToFloat(std::string_view text, char separator) {
  if (auto value = ReadWith(text, separator)) return value;
  return ReadWith(text, separator == ',' ? '.' : ',');
}

std::optional<int> StringToInt(std::string_view text) { return ParseInteger(TrimBlanks(text)); }

std::string FormatGeneral(double value, char separator) {
  if (std::isnan(value)) return "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  if (value == 0) return "0";
  // d.dddddddddddddde[+-]x: 15 significant digits, correctly rounded.
  char buffer[40];
  const auto end = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                 std::chars_format::scientific, 14).ptr;
  const std::string_view text(buffer, end - buffer);
  const auto e = text.find('e');
  std::string digits = std::string(text.substr(0, 1)) + std::string(text.substr(2, e - 2));
  digits.erase(digits.find_last_not_of('0') + 1);
  const int exponent = ParseInteger(text.substr(e + 1)).value_or(0);

  std::string out = value < 0 ? "-" : "";
  if (exponent < -4 || exponent >= 15) {
    out += digits[0];
    if (digits.size() > 1) out += separator + digits.substr(1);
    out += "E" + std::to_string(exponent);
  } else if (exponent < 0) {
    out += std::string("0") + separator + std::string(-exponent - 1, '0') + digits;
  } else {
    const auto integerDigits = static_cast<std::size_t>(exponent) + 1;
    if (digits.size() <= integerDigits) {
      out += digits + std::string(integerDigits - digits.size(), '0');
    } else {
      out += digits.substr(0, integerDigits) + separator + digits.substr(integerDigits);
    }
  }
  return out;
}

std::string NotAFloatText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid floating point value";
}
