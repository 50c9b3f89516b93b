#include "files/textreader.h"

#include <algorithm>
#include <charconv>

#include "files/filepaths.h"

namespace {

bool IsSeparator(char c) { return static_cast<unsigned char>(c) <= 32; }

// Longest tokens the readers take, as the program always has.
constexpr std::size_t MaxRealToken = 64;
constexpr std::size_t MaxIntegerToken = 32;

}  // namespace

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
