#include "sheet/sheetcells.h"

const std::string& TSheetCells::Cell(int col, int row) const {
  static const std::string empty;
  if (row < 0 || col < 0 || row >= static_cast<int>(Texts.size())) return empty;
  const auto& line = Texts[row];
  return col < static_cast<int>(line.size()) ? line[col] : empty;
}

void TSheetCells::SetCell(int col, int row, std::string text) {
  if (row < 0 || col < 0) return;
  if (row >= static_cast<int>(Texts.size())) {
    if (text.empty()) return;
    Texts.resize(row + 1);
  }
  auto& line = Texts[row];
  if (col >= static_cast<int>(line.size())) {
    if (text.empty()) return;
    line.resize(col + 1);
  }
  line[col] = std::move(text);
}
