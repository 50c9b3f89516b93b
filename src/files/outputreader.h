// Reading an output file back: its lines for the Output tab, its head for
// the choice of graphs, its table for the graph series. The readers find
// their place by the fixed line structure of outputlayout.h.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "files/storeparameters.h"

// Every line of the file, line ends taken off.
std::vector<std::string> ReadOutputLines(std::string content);

struct TResultsHead {
  std::string Title1, Title2;
  // The first four characters of line 13: "RECO" for a reconstruction,
  // "PRED" for a prediction.
  std::string Tag;
};
TResultsHead ReadResultsHeadText(std::string content);

// Lines 7 to 11 of either variant: the three store parameters, the
// reservoirs and alpha, as the head prints them (two and three decimals).
// A value that is no number, or a file that ends before them, throws
// TInvalidNumber.
struct TResultsParameters {
  TStoreParameters Store;
  int NrOfRes = 0;
  double Alpha = 0;
};
TResultsParameters ReadResultsParameters(std::string content);

enum class TResultsVariant { Reconstruction, Prediction };

struct TResultsRow {
  int Serial = 0;
  // In file order after the serial: time, rain, recharge, measured and
  // calculated runoff; or time, rain, recharge, runoff.
  std::array<double, 5> Values{};
};

struct TResultsTable {
  bool SectionFound = false;  // false: the file has no section line of the variant
  std::vector<TResultsRow> Rows;
  bool BadNumber = false;     // a value is no number: Rows holds the lines before it
  // Asked for with the table: the R square after it; empty when it is no number.
  std::optional<double> RSquare;
};
// The table lines are counted from the section line to the end of the file,
// less the lines after the table, so a damaged file gives what it holds.
TResultsTable ReadResultsTable(std::string content, TResultsVariant variant, bool withRSquare);

// The two cannot-open messages of the readers; their blanks differ, as the
// program has always shown them.
std::string OutputLinesOpenFailureText(const std::string& path);
std::string ResultsOpenFailureText(const std::string& path);
