// Between the input grid and the series of the model state.
//
// The series have one layout whenever the sheet is filled from them: grid
// row r (from 0) is element r (the layout an input file or a paste leaves).
// Only while Save/Run writes the input file do they hold the writer's
// layout, sheet row k (from 1) in element k with RowFlags marking the rows
// left out; right after the write they are compacted back to the kept rows
// from element 0, which is what the rebuilt grid shows.
#pragma once

#include "sheet/sheetcells.h"

class TDMQuorell;

// Rows 0..n-1 of the grid from the series (in the general number form), or
// "0" in every cell while the sheet holds no entered data. Under the
// prediction the third column is left alone unless the sheet is reset.
void FillCells(TSheetCells& cells, const TDMQuorell& dm, int n, bool dataEntered, char separator);

struct TGatherResult {
  bool AllReal = true;  // false: a complete row holds a text that is no real
  int Kept = 0;         // rows gathered with every required cell filled
};

// Save/Run's gathering of grid rows 0..n-1 into the writer's layout: a row
// with an empty required cell (Time, Rain, and Runoff under the
// determination) is marked in RowFlags and not read; the others are
// converted with either decimal separator. Stops at the first text that is
// no real.
TGatherResult GatherSheet(const TSheetCells& cells, TDMQuorell& dm, int n, int sheetRows,
                          char separator);

// Sets up the writer's layout for n rows, each left out until stored; the
// runoff is stored under the determination only.
void PrepareWriteLayout(TDMQuorell& dm, int n);
void StoreWriteRow(TDMQuorell& dm, int k, double time, double rain, double runoff, bool kept);

// After the write: the kept rows of 1..n become elements 0.. in their order,
// RowFlags all 0; returns their number.
int CompactToReadLayout(TDMQuorell& dm, int n);
