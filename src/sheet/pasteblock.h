// A block of cells pasted into the input grid, as a spreadsheet puts it on
// the clipboard: columns separated by tabs, lines ended by CR LF (or LF).
#pragma once

#include <string_view>

#include "sheet/sheetcells.h"

class TDMQuorell;

// Whether a text pasted into a cell is a block rather than a single value.
bool IsPasteBlock(std::string_view text);

// Spreads the block over the grid from the start cell: a tab moves one
// column to the right, a line end to the start column of the next row, and
// of the other characters only digits, minus signs and decimal separators
// (point and comma) are kept. A block of k lines at row s leaves s + k rows;
// a block without a line end leaves the row count as it was.
void DistributeBlock(TSheetCells& cells, int startCol, std::string_view text, int startRow);

// The whole paste: the block spread over the grid, the number of data taken
// from the rows (asking whether to keep the original number sheetRows when
// there are fewer), and every row copied into the series of the model state
// (times as whole numbers); IsAnalysis follows the grid's column count.
// False when a cell of the resulting sheet cannot be read: the rows before
// it keep their new values.
bool HandlePasteMultiCell(TSheetCells& cells, int startCol, std::string_view text, int startRow,
                          TDMQuorell& dm, int sheetRows, char separator);

inline constexpr char PasteFailedText[] =
    "There are insufficient data to be pasted or the data are incompatible";
inline constexpr char KeepRowsQuestion[] =
    "The number of data is less than the original number. Do you want to maintain the original "
    "number?";
