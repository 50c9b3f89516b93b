#include "batch/csvimport.h"

#include <string_view>

#include "files/textreader.h"

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r')) s.remove_suffix(1);
  return s;
}

std::vector<std::string_view> SplitCells(std::string_view line) {
  std::vector<std::string_view> cells;
  std::size_t start = 0;
  for (;;) {
    const auto comma = line.find(',', start);
    cells.push_back(Trim(line.substr(start, comma == std::string_view::npos ? std::string_view::npos
                                                                            : comma - start)));
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  return cells;
}

}  // namespace

bool ReadCsvRows(const std::string& path, const TCsvImportSpec& spec, std::vector<TCsvRow>& rows,
                 std::string& error) {
  auto reader = TTextReader::Open(path);
  if (!reader) {
    error = path + ": cannot be opened";
    return false;
  }
  // A spreadsheet may end its lines with a lone carriage return, which the
  // program's own files keep as a character of the line.
  std::vector<std::string> lines;
  while (!reader->Eof()) {
    const std::string text = reader->ReadLine();
    std::size_t start = 0;
    for (auto cr = text.find('\r'); cr != std::string::npos; cr = text.find('\r', start)) {
      lines.push_back(text.substr(start, cr - start));
      start = cr + 1;
    }
    if (start < text.size() || start == 0) lines.push_back(text.substr(start));
  }
  rows.clear();
  int lineNo = 0;
  for (const std::string& line : lines) {
    ++lineNo;
    if (lineNo < spec.FirstRow) continue;
    if (spec.Rows >= 0 && lineNo >= spec.FirstRow + spec.Rows) break;
    const auto cells = SplitCells(line);
    TCsvRow row;
    row.Time = lineNo - spec.FirstRow + 1;
    // A blank line is a row of empty cells: left out like any incomplete row.
    if (Trim(line).empty()) {
      rows.push_back(row);
      continue;
    }
    row.Complete = true;
    auto take = [&](int column, double& value) {
      if (column <= 0) return true;
      if (static_cast<std::size_t>(column) > cells.size()) {
        error = path + ":" + std::to_string(lineNo) + ": column " + std::to_string(column) +
                " is missing (the line has " + std::to_string(cells.size()) + ")";
        return false;
      }
      const auto cell = cells[column - 1];
      if (cell.empty()) {
        row.Complete = false;
        return true;
      }
      const auto parsed = ParseReal(cell);
      if (!parsed) {
        error = path + ":" + std::to_string(lineNo) + ": column " + std::to_string(column) +
                ": \"" + std::string(cell) + "\" is not a number";
        return false;
      }
      value = *parsed;
      return true;
    };
    if (!take(spec.TimeColumn, row.Time) || !take(spec.RainColumn, row.Rain) ||
        !take(spec.RunoffColumn, row.Runoff))
      return false;
    rows.push_back(row);
  }
  if (spec.Rows >= 0 && lineNo < spec.FirstRow + spec.Rows - 1) {
    error = path + ": has " + std::to_string(lineNo) + " lines, fewer than rows " +
            std::to_string(spec.FirstRow) + " to " + std::to_string(spec.FirstRow + spec.Rows - 1);
    return false;
  }
  return true;
}
