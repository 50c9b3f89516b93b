// Turning a comma-separated table into the rows of an input sheet.
#pragma once

#include <string>
#include <vector>

struct TCsvImportSpec {
  int TimeColumn = 0;  // 0: times 1, 2, 3, ... by row
  int RainColumn = 0;
  int RunoffColumn = 0;  // 0: no runoff (prediction)
  int FirstRow = 1;
  int Rows = -1;  // -1: to the end of the table
};

struct TCsvRow {
  double Time = 0;
  double Rain = 0;
  double Runoff = 0;
  bool Complete = false;  // every required cell is filled
};

// Reads the selected rows; on a bad cell, a missing column or a file that
// cannot be read, returns false with a message naming file, line and column.
bool ReadCsvRows(const std::string& path, const TCsvImportSpec& spec, std::vector<TCsvRow>& rows,
                 std::string& error);
