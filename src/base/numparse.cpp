#include "base/numparse.h"

#include <algorithm>
#include <charconv>

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Whether a number out of a double's range (from_chars refuses both kinds
// alike) is too small rather than too large: its leading digit stands
// before the units place.
bool Underflows(std::string_view mantissa, std::string_view exponent, bool negativeExponent) {
  const auto point = std::min(mantissa.find('.'), mantissa.size());
  const auto lead = mantissa.find_first_not_of("0.");
  if (lead == std::string_view::npos) return true;
  // Place of the leading digit: 0 for units, -1 for tenths ...
  long long place = lead < point ? static_cast<long long>(point - lead) - 1
                                 : -static_cast<long long>(lead - point);
  long long shift = 0;
  for (char c : exponent) shift = std::min(shift * 10 + (c - '0'), 1'000'000'000'000LL);
  place += negativeExponent ? -shift : shift;
  return place < 0;
}

}  // namespace

std::optional<double> ParseReal(std::string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) {
    negative = token[i] == '-';
    ++i;
  }
  const std::size_t start = i;
  std::size_t digits = 0;
  while (i < token.size() && IsDigit(token[i])) ++i, ++digits;
  if (i < token.size() && token[i] == '.') {
    ++i;
    while (i < token.size() && IsDigit(token[i])) ++i, ++digits;
  }
  if (digits == 0) return std::nullopt;
  const std::size_t mantissaEnd = i;
  bool negativeExponent = false;
  std::size_t expStart = i;
  if (i < token.size() && (token[i] == 'E' || token[i] == 'e')) {
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) negativeExponent = token[i++] == '-';
    expStart = i;
    while (i < token.size() && IsDigit(token[i])) ++i;
    if (i == expStart) return std::nullopt;
  }
  if (i != token.size()) return std::nullopt;
  double value = 0;
  const char* first = token.data() + start;
  const char* last = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
  if (ec == std::errc::result_out_of_range && ptr == last &&
      Underflows(token.substr(start, mantissaEnd - start), token.substr(expStart, i - expStart),
                 negativeExponent))
    return 0.0;
  if (ec != std::errc() || ptr != last) return std::nullopt;
  return negative ? -value : value;
}

std::optional<int> ParseInteger(std::string_view token) {
  // from_chars takes a minus sign but not a plus sign.
  if (token.size() > 1 && token[0] == '+' && IsDigit(token[1])) token.remove_prefix(1);
  int value = 0;
  const char* last = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(token.data(), last, value);
  if (token.empty() || ec != std::errc() || ptr != last) return std::nullopt;
  return value;
}

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

std::string NotAFloatText(std::string_view text) {
  return "'" + std::string(text) + "' is not a valid floating point value";
}
