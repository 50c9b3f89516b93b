// Reading primitives shared by every reader of the program's text files.
// The files are positional: readers skip lines and label characters by count,
// and numbers are tokens separated by characters of code 32 or less.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "base/errors.h"
#include "base/numparse.h"

class TTextReader {
public:
  // The whole file is read at once; a character 26 ends it.
  explicit TTextReader(std::string content);
  // Empty when the file cannot be opened or read.
  static std::optional<TTextReader> Open(const std::string& path);

  bool Eof() const { return Pos >= Text.size(); }
  // True when nothing but characters of code 32 or less is left.
  bool OnlyBlanksLeft() const;

  // Consume up to and including the next line feed.
  void SkipLine();
  // The text up to the line end, which is then skipped.
  std::string ReadLine();
  // Up to n characters, stopping before a line end (which stays unread).
  std::string ReadChars(std::size_t n);
  // Exactly n characters, line ends included (fewer at the end of the file).
  void SkipChars(std::size_t n);
  // The rest of the current line, not consuming the line end.
  std::string ReadRestOfLine();

  // Skip separators, then read one token. At the end of the file the value
  // is 0. A token that is no valid number throws TInvalidNumber.
  double ReadReal();
  int ReadInteger();

private:
  // A line end (CR LF, or a lone LF) starts at this position.
  bool LineEndsAt(std::size_t at) const;
  std::string_view NextToken(std::size_t maxLength);

  std::string Text;
  std::size_t Pos = 0;
};
