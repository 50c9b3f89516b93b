#include "files/textreader.h"

#include <algorithm>
#include <charconv>

#include "files/filepaths.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Longest tokens the readers take, as the program always has.
constexpr std::size_t MaxRealToken = 64;
constexpr std::size_t MaxIntegerToken = 32;

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

TTextReader::TTextReader(std::string content) : Text(std::move(content)) {
  const auto eofMark = Text.find('\x1A');
  if (eofMark != std::string::npos) Text.resize(eofMark);
}

std::optional<TTextReader> TTextReader::Open(const std::string& path) {
  auto content = ReadWholeFile(path);
  if (!content) return std::nullopt;
  return TTextReader(std::move(*content));
}

bool TTextReader::OnlyBlanksLeft() const {
  for (std::size_t i = Pos; i < Text.size(); ++i)
    if (!IsSeparator(Text[i])) return false;
  return true;
}

void TTextReader::SkipLine() {
  const auto lf = Text.find('\n', Pos);
  Pos = lf == std::string::npos ? Text.size() : lf + 1;
}

bool TTextReader::LineEndsAt(std::size_t at) const {
  if (Text[at] == '\n') return true;
  // A carriage return ends a line only before a line feed; alone it is an
  // ordinary character of the text.
  return Text[at] == '\r' && at + 1 < Text.size() && Text[at + 1] == '\n';
}

std::string TTextReader::ReadRestOfLine() {
  std::size_t end = Pos;
  while (end < Text.size() && !LineEndsAt(end)) ++end;
  std::string line = Text.substr(Pos, end - Pos);
  Pos = end;
  return line;
}

std::string TTextReader::ReadLine() {
  std::string line = ReadRestOfLine();
  SkipLine();
  return line;
}

std::string TTextReader::ReadChars(std::size_t n) {
  std::size_t end = Pos;
  while (end < Text.size() && end - Pos < n && !LineEndsAt(end)) ++end;
  std::string part = Text.substr(Pos, end - Pos);
  Pos = end;
  return part;
}

void TTextReader::SkipChars(std::size_t n) {
  Pos = n < Text.size() - Pos ? Pos + n : Text.size();
}

std::string_view TTextReader::NextToken(std::size_t maxLength) {
  while (Pos < Text.size() && IsSeparator(Text[Pos])) ++Pos;
  const std::size_t start = Pos;
  while (Pos < Text.size() && !IsSeparator(Text[Pos])) ++Pos;
  std::string_view token(Text.data() + start, Pos - start);
  if (token.size() > maxLength) throw TInvalidNumber();
  return token;
}

double TTextReader::ReadReal() {
  const auto token = NextToken(MaxRealToken);
  if (token.empty()) return 0;  // end of file
  const auto value = ParseReal(token);
  if (!value) throw TInvalidNumber();
  return *value;
}

int TTextReader::ReadInteger() {
  const auto token = NextToken(MaxIntegerToken);
  if (token.empty()) return 0;
  const auto value = ParseInteger(token);
  if (!value) throw TInvalidNumber();
  return *value;
}
