#include "sheet/pasteblock.h"

#include <string>

#include "model/dmquorell.h"
#include "base/numparse.h"

bool IsPasteBlock(std::string_view text) {
  return text.find_first_of("\t\r\n") != std::string_view::npos;
}

namespace {

// Both separators pass, so that 2,5 stays a number instead of becoming 25.
bool PassesCellFilter(char c) { return (c >= '0' && c <= '9') || c == '-' || c == '.' || c == ','; }

}  // namespace

void DistributeBlock(TSheetCells& cells, int startCol, std::string_view text, int startRow) {
  int col = startCol;
  int row = startRow;
  int lines = 0;
  bool lineHasText = false;  // the current line put a character into the grid
  cells.SetCell(col, row, "");
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\t') {
      ++col;
      if (i + 1 < text.size()) cells.SetCell(col, row, "");
    } else if (c == '\r' || c == '\n') {
      // CR LF is one line end; only a line feed after the CR is skipped.
      if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      ++lines;
      lineHasText = false;
      col = startCol;
      ++row;
      if (i + 1 < text.size()) cells.SetCell(col, row, "");
    } else if (PassesCellFilter(c)) {
      cells.SetCell(col, row, cells.Cell(col, row) + c);
      lineHasText = true;
    }
  }
  // A last line without its line end is a line of the block too.
  if (lines > 0 && lineHasText) ++lines;
  if (lines > 0) cells.SetRowCount(startRow + lines);
}

bool HandlePasteMultiCell(TSheetCells& cells, int startCol, std::string_view text, int startRow,
                          TDMQuorell& dm, int sheetRows, char separator) {
  DistributeBlock(cells, startCol, text, startRow);
  dm.NrOfData = cells.RowCount();
  if (cells.RowCount() < sheetRows && dm.AskYesNo(KeepRowsQuestion)) {
    cells.SetRowCount(sheetRows);
  }
  const int n = cells.RowCount();
  dm.NrOfData = n;

  dm.Times.resize(n + 1);
  dm.Rains.resize(n + 1);
  dm.IsAnalysis = cells.ColCount() != 2;
  if (dm.IsAnalysis) dm.Runoffs.resize(n + 1);
  for (int r = 0; r < n; ++r) {
    const auto time = StringToInt(cells.Cell(0, r));
    if (!time) return false;
    dm.Times[r] = *time;
    const auto rain = StringToFloat(cells.Cell(1, r), separator);
    if (!rain) return false;
    dm.Rains[r] = *rain;
    if (dm.IsAnalysis) {
      const auto runoff = StringToFloat(cells.Cell(2, r), separator);
      if (!runoff) return false;
      dm.Runoffs[r] = *runoff;
    }
  }
  dm.RowFlags.assign(n + 1, 0);
  return true;
}
