#include "files/storelines.h"

#include <algorithm>

#include "files/inputlayout.h"
#include "base/numformat.h"

std::optional<std::string> ReplaceStoreLines(const std::string& text, const std::string& path,
                                             const TStoreParameters& store) {
  // The readers take a character 26 for the end of the file.
  const std::size_t end = std::min(text.find('\x1A'), text.size());
  // Start of each of lines 1 to 11; a line ends with its line feed.
  std::size_t starts[12] = {};
  for (int line = 2; line <= 11; ++line) {
    const auto lf = text.find('\n', starts[line - 1]);
    if (lf == std::string::npos || lf >= end) return std::nullopt;
    starts[line] = lf + 1;
  }
  const std::string contents[4] = {FileNameLabel + path, MaxStoLabel + FormatParameter(store.MaxSto),
                                   IniStoLabel + FormatParameter(store.IniSto),
                                   MaxEscLabel + FormatParameter(store.MaxEsc)};
  std::string out = text.substr(0, starts[7]);
  for (int line = 7; line <= 10; ++line) {
    // The line end as the file has it: CR LF or a lone LF.
    const std::size_t lf = starts[line + 1] - 1;
    const bool crlf = lf > starts[line] && text[lf - 1] == '\r';
    out += contents[line - 7];
    out += crlf ? "\r\n" : "\n";
  }
  out += text.substr(starts[11]);
  return out;
}
