// The texts of the input grid. Like a string grid, it keeps the text of a
// cell that lies outside the current rows or columns, and shows it again
// when the grid grows back over it.
#pragma once

#include <string>
#include <vector>

class TSheetCells {
public:
  TSheetCells(int colCount = 3, int rowCount = 15) : Cols(colCount), Rows(rowCount) {}

  int RowCount() const { return Rows; }
  int ColCount() const { return Cols; }
  void SetRowCount(int rows) { Rows = rows < 0 ? 0 : rows; }
  void SetColCount(int cols) { Cols = cols < 0 ? 0 : cols; }

  // Empty for a cell never written.
  const std::string& Cell(int col, int row) const;
  void SetCell(int col, int row, std::string text);

private:
  int Cols;
  int Rows;
  std::vector<std::vector<std::string>> Texts;  // [row][col], may reach beyond Rows and Cols
};
