#include "base/numformat.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "base/numparse.h"

namespace {

// Digits beyond the kept ones that decide the rounding. A correctly rounded
// text with this many guard digits decides every case but one: a guard part
// of exactly "5000...0", which may be a true tie or a value very near one.
constexpr int GuardDigits = 25;
// Enough digits to print any double exactly.
constexpr int ExactFixedDigits = 1100;
constexpr int ExactSignificantDigits = 800;

bool IsExactHalf(std::string_view guard) {
  if (guard.empty() || guard[0] != '5') return false;
  return guard.find_first_not_of('0', 1) == std::string_view::npos;
}

// Adds one unit in the last place of a string of decimal digits; returns
// true when the carry ran out of the front (all nines).
bool Increment(std::string& digits) {
  for (auto i = digits.size(); i-- > 0;) {
    if (digits[i] != '9') {
      ++digits[i];
      return false;
    }
    digits[i] = '0';
  }
  digits.insert(digits.begin(), '1');
  return true;
}

std::string PadLeft(std::string text, int width) {
  if (static_cast<int>(text.size()) < width) text.insert(0, width - text.size(), ' ');
  return text;
}

std::string NonFinite(double value, int width) {
  if (std::isnan(value)) return PadLeft("NAN", width);
  return PadLeft(value < 0 ? "-INF" : "INF", width);
}

// Integer and fraction digits of |value| at `precision` decimals, unrounded
// beyond what to_chars itself does.
void FixedText(double magnitude, int precision, std::string& intPart, std::string& fracPart) {
  static thread_local char buffer[ExactFixedDigits + 400];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude, std::chars_format::fixed,
                              precision);
  std::string_view text(buffer, result.ptr - buffer);
  const auto point = text.find('.');
  intPart = std::string(text.substr(0, point));
  fracPart = point == std::string_view::npos ? std::string() : std::string(text.substr(point + 1));
}

// Mantissa digits (no point) and decimal exponent of |value| with
// `precision` digits after the first.
void ScientificText(double magnitude, int precision, std::string& digits, int& exponent) {
  static thread_local char buffer[ExactSignificantDigits + 40];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                              std::chars_format::scientific, precision);
  std::string_view text(buffer, result.ptr - buffer);
  const auto e = text.find('e');
  digits.clear();
  for (char c : text.substr(0, e))
    if (c != '.') digits.push_back(c);
  exponent = std::atoi(std::string(text.substr(e + 1)).c_str());
}

// Whether |value| lies exactly halfway between two neighbours of `decimals`
// decimals: then 2 * 10^decimals * |value| is an odd whole number, and for
// products below 2^53 the rounded product and its exact remainder tell.
bool IsFixedTie(double magnitude, double twiceScale) {
  const double product = magnitude * twiceScale;
  if (std::fma(magnitude, twiceScale, -product) != 0) return false;
  return std::fmod(product, 2.0) == 1.0;
}

constexpr double PowersOfTen[] = {1, 10, 100, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9};

}  // namespace

// A negative value keeps its sign even when it rounds to zero (an R square
// a little below 0 prints -0.00); -0.0 is not below zero and gets none.
std::string FormatFixed(double value, int width, int decimals) {
  if (!std::isfinite(value)) return NonFinite(value, width);
  const double magnitude = std::fabs(value);
  // Quick way: to_chars rounds the exact value correctly and differs from
  // the program's rounding only at an exact tie.
  if (decimals >= 0 && decimals <= 9 && magnitude < 1e6 &&
      !IsFixedTie(magnitude, 2 * PowersOfTen[decimals])) {
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, magnitude,
                                std::chars_format::fixed, decimals);
    std::string text(buffer, result.ptr);
    if (value < 0) text.insert(0, 1, '-');
    return PadLeft(text, width);
  }
  std::string intPart, fracPart;
  FixedText(magnitude, decimals + GuardDigits, intPart, fracPart);
  if (IsExactHalf(std::string_view(fracPart).substr(decimals)))
    FixedText(magnitude, ExactFixedDigits, intPart, fracPart);
  const bool up = fracPart[decimals] >= '5';
  std::string digits = intPart + fracPart.substr(0, decimals);
  if (up) Increment(digits);
  std::string text = digits.substr(0, digits.size() - decimals);
  if (decimals > 0) text += "." + digits.substr(digits.size() - decimals);
  if (value < 0) text.insert(0, 1, '-');
  return PadLeft(text, width);
}

std::string FormatFixed(double value, int width, int decimals, char separator) {
  std::string text = FormatFixed(value, width, decimals);
  std::replace(text.begin(), text.end(), '.', separator);
  return text;
}

std::string FormatExp(double value, int width) {
  if (!std::isfinite(value)) return NonFinite(value, width);
  const int significant = width - 8;
  const double magnitude = std::fabs(value);
  std::string digits;
  int exponent = 0;
  ScientificText(magnitude, significant - 1 + GuardDigits, digits, exponent);
  if (IsExactHalf(std::string_view(digits).substr(significant)))
    ScientificText(magnitude, ExactSignificantDigits, digits, exponent);
  const bool up = digits[significant] >= '5';
  digits.resize(significant);
  if (up && Increment(digits)) {
    digits.pop_back();
    ++exponent;
  }
  if (magnitude == 0) exponent = 0;
  std::string text(1, value < 0 ? '-' : ' ');
  text += digits[0];
  text += '.';
  text += digits.substr(1);
  text += 'E';
  text += exponent < 0 ? '-' : '+';
  std::string exp = std::to_string(std::abs(exponent));
  text += std::string(4 - std::min<std::size_t>(4, exp.size()), '0') + exp;
  return text;
}

std::string FormatInt(long long value, int width) { return PadLeft(std::to_string(value), width); }

std::string FormatParameter(double value, int width) {
  return value >= 1 ? FormatFixed(value, width, 2) : FormatFixed(value, width, 3);
}

std::string FormatSeries(double value, int width) {
  return value >= 1 ? FormatFixed(value, width, 2) : FormatExp(value, width);
}

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

std::string FullPrecision(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}
