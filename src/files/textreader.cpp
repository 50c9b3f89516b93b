#include "files/textreader.h"

#include <charconv>
#include <fstream>
#include <iterator>
#include <filesystem>
#include <system_error>

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Longest tokens the readers take, as the program always has.
constexpr std::size_t MaxRealToken = 64;
constexpr std::size_t MaxIntegerToken = 32;

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
  if (i < token.size() && (token[i] == 'E' || token[i] == 'e')) {
    ++i;
    if (i < token.size() && (token[i] == '+' || token[i] == '-')) ++i;
    std::size_t expDigits = 0;
    while (i < token.size() && IsDigit(token[i])) ++i, ++expDigits;
    if (expDigits == 0) return std::nullopt;
  }
  if (i != token.size()) return std::nullopt;
  double value = 0;
  const char* first = token.data() + start;
  const char* last = token.data() + token.size();
  auto [ptr, ec] = std::from_chars(first, last, value, std::chars_format::general);
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
  std::error_code ec;
  // A folder opens as a stream on this system but holds no text.
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string content;
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) {
    content.resize(static_cast<std::size_t>(size));
    in.read(content.data(), size);
    content.resize(static_cast<std::size_t>(in.gcount()));
  }
  // Whatever is left (a file that grew, or one whose size was not known).
  content.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return TTextReader(std::move(content));
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

std::string TTextReader::ReadRestOfLine() {
  std::size_t end = Pos;
  while (end < Text.size() && Text[end] != '\r' && Text[end] != '\n') ++end;
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
  while (end < Text.size() && end - Pos < n && Text[end] != '\r' && Text[end] != '\n') ++end;
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
