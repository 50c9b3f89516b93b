// The table of a run or of an output file as CSV for spreadsheets: a header
// row, then one row per point, every line ended by CR LF.
#pragma once

#include <optional>
#include <string>

#include "files/outputfile.h"
#include "files/outputreader.h"

// The two conventions spreadsheets read: point decimals between commas, or
// decimal commas between semicolons (where the comma is the system's
// decimal separator).
struct TCsvStyle {
  char CellSeparator = ',';
  char DecimalSeparator = '.';
};
inline constexpr TCsvStyle CsvPointStyle{',', '.'};
inline constexpr TCsvStyle CsvEuropeanStyle{';', ','};

// The style that goes with a system's decimal separator.
inline constexpr TCsvStyle CsvStyleFor(char systemDecimalSeparator) {
  return systemDecimalSeparator == ',' ? CsvEuropeanStyle : CsvPointStyle;
}

// The header rows of the two variants.
std::string CsvHeader(TResultsVariant variant, TCsvStyle style);

// A run's results in full precision: each value the shortest text that
// reads back to the same double.
std::string ReconstructionCsv(const TReconstructionResults& results, TCsvStyle style);
std::string PredictionCsv(const TPredictionResults& results, TCsvStyle style);

// The table of an output file (either variant) with the values as the file
// prints them, to two decimals. Empty, with error filled, when the file
// holds no table or a value in it is no number; path names the file in
// the error.
std::optional<std::string> OutputFileCsv(const std::string& content, const std::string& path,
                                         TCsvStyle style, std::string& error);
