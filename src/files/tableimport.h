// A table of a spreadsheet (CSV or text export) read into the series of an
// input sheet: the delimiter and decimal separator found or given, a header
// row, the times by row, from a column of numbers or from dates, a period,
// and the holes of a record. Pure: bytes in, series and messages out; the
// batch tool's import and the window's import dialog both read through it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

enum class TTableDelimiter { Auto, Comma, Semicolon, Tab };
enum class TTableDecimal { Auto, Point, Comma };
enum class TTableHeader { Auto, Yes, No };
enum class TTableTimeUnit { Day, Hour };

// A column by number (from 1) or by a name of the header (any case).
struct TTableColumn {
  int Number = 0;
  std::string Name;
  bool Chosen() const { return Number != 0 || !Name.empty(); }
};
// "4" is column 4, any other text a header name; "" chooses none.
TTableColumn TableColumnOf(std::string_view text);

// The codes of a missing value beside the empty cell, which is always one:
// NA, NaN, -999, -9999.
std::vector<std::string> DefaultMissingCodes();

struct TTableImportOptions {
  std::string FileName = "table";  // names the file in messages
  bool Determination = true;       // false: a prediction, no runoff read

  TTableDelimiter Delimiter = TTableDelimiter::Auto;
  TTableDecimal Decimal = TTableDecimal::Auto;
  TTableHeader Header = TTableHeader::Auto;

  // The times: at most one of a column of numbers, a column of dates and
  // three columns year, month, day; with none of them 1, 2, 3 ... by row.
  TTableColumn TimeColumn;
  TTableColumn DateColumn;
  std::vector<TTableColumn> DateColumns;  // empty, or year, month, day
  TTableTimeUnit TimeUnit = TTableTimeUnit::Day;
  TTableColumn RainColumn;
  TTableColumn RunoffColumn;  // needed for a determination
  // Potential evaporation, for a model whose escape follows it; none: not read.
  TTableColumn PetColumn;

  // Lines of the file (from 1); a header line is never a row.
  int FirstRow = 1;
  int Rows = -1;  // -1: to the end
  // The period, inclusive, as typed: dates when there are dates (a last
  // date without a time of day takes in the whole day), time values
  // otherwise. Empty: open.
  std::string From, To;

  std::vector<std::string> Missing = DefaultMissingCodes();
  int MaxGap = 3;  // longest run of missing runoff (or evaporation) that is interpolated
};

// A runoff value put in linearly between its neighbours.
struct TTableInterpolation {
  int Line = 0;      // of the file
  std::string When;  // the date, or the time value
  double Runoff = 0;
};

struct TTableImport {
  std::string Error;  // empty when the table was read; then all below holds
  bool Ok() const { return Error.empty(); }

  // What was found.
  TTableDelimiter Delimiter = TTableDelimiter::Comma;
  char Decimal = '.';  // ',' when a decimal comma was read (or given)
  int HeaderLine = 0;  // 0: none
  std::vector<std::string> Names;  // of the header, column 1 first
  // The columns read, by number (0: none).
  int TimeColumn = 0, RainColumn = 0, RunoffColumn = 0, PetColumn = 0;
  bool Dated = false;
  std::string FirstDate, LastDate;  // when Dated
  // One line: the file, what was detected, the period and its step.
  std::string Summary;

  // The points in order, as the input file takes them (runoff 0 under the
  // prediction), and the line of the file each came from.
  std::vector<double> Times, Rains, Runoffs;
  std::vector<int> Lines;
  // The potential evaporation of the points, with a PET column; empty without.
  std::vector<double> Pets;
  // Rows in the period, rows left out among them (with a column of times,
  // a row with a missing value is left out; its time stays out too).
  int Selected = 0;
  int LeftOut = 0;

  // With dates, a second title that keeps them: "time 1 = 1985-01-01, time
  // unit 1 day".
  std::string Title2;
  std::vector<TTableInterpolation> Interpolated;
  // The evaporation values put in likewise (Runoff holds the value).
  std::vector<TTableInterpolation> PetInterpolated;
  // Remarks that refuse nothing (a runoff column given to a prediction).
  std::vector<std::string> Notes;
};

TTableImport ImportTable(std::string_view bytes, const TTableImportOptions& options);

// The first point the input sheet refuses (a negative rain or runoff, a
// time not after the one before), named by line, column and value; empty
// when there is none.
std::string FirstSeriesFault(const TTableImport& read, const std::string& fileName);

// The first rows of a table as the reader splits them, for a preview:
// the delimiter and the header as found with the options given (the
// columns chosen decide an automatic header as they do in ImportTable).
struct TTablePreview {
  std::string Error;  // the bytes are no table that can be read
  TTableDelimiter Delimiter = TTableDelimiter::Comma;
  int HeaderLine = 0;
  std::vector<std::string> Names;
  std::vector<int> Lines;  // of each row below
  std::vector<std::vector<std::string>> Cells;
  int LineCount = 0;  // of the whole file
};

TTablePreview PreviewTable(std::string_view bytes, const TTableImportOptions& options,
                           int maxRows);

// Checks a period bound as ImportTable reads it: a date when dated, a
// number otherwise. Empty when good, else the reason.
std::string CheckPeriodBound(std::string_view text, bool dated);

const char* DelimiterName(TTableDelimiter delimiter);
