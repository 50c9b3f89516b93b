// The input file: the plain-text record of one input sheet. One writer and
// three readers of the same positional layout (inputlayout.h): the sheet's
// reader, and the two runs' own readers, which take only what they need.
#pragma once

#include <string>
#include <vector>

#include "files/storeparameters.h"

// What the writer puts into an input file. The line-2 text and the runoff
// column follow the option; the layout of lines 11 on follows the run tag,
// as the program has always decided them (the two agree unless a failed
// step left them apart).
struct TInputFileWrite {
  bool Determination = true;  // line 2 and the runoff column
  bool AnalysisLayout = true; // run tag " Ana": no cascade lines
  std::string Title1, Title2;
  std::string Path;           // line 7
  TStoreParameters Store;
  int NrOfRes = 0;            // the cascade lines of the prediction layout
  double Alpha = 0;
  double RunIni = 0;
  // The kept points in order; the serials run 1, 2, 3 ...
  std::vector<double> Times, Rains, Runoffs;
};
std::string FormatInputFile(const TInputFileWrite& file);

struct TInputPoint {
  int Serial = 0;
  double Time = 0, Rain = 0, Runoff = 0;
};

// What the sheet's reader finds in an input file.
struct TInputFileContents {
  std::string RunTag;     // the first four characters of line 2
  std::string Title1, Title2;
  std::string LastLabel;  // the label of line 10, as read
  TStoreParameters Store;
  // Lines 11 to 13 of the prediction layout.
  int NrOfRes = 0;
  double Alpha = 0;
  double RunIni = 0;
  std::vector<TInputPoint> Points;  // runoff 0 under the prediction
  bool Corrupt = false;  // a data line holds no number: Points has the lines before it
  // A head value that is no number stops the reading there: the fields
  // before it (in file order) hold what was read, HeadRead counts the head
  // numbers read (0 to 6: the store, then the cascade parameters) and
  // LastLabel is the label of the line that failed.
  bool HeadCorrupt = false;
  int HeadRead = 0;
  bool Determination() const { return RunTag == " Ana"; }
};
TInputFileContents ReadInputContents(std::string content);

// What the runs' own readers take: the determination reads four numbers a
// line, the prediction three, the cascade parameters and the unit text
// after the escape rate.
struct TRunInput {
  std::string Title1, Title2;
  TStoreParameters Store;
  std::string RateUnit;   // prediction: the rest of line 10
  int NrOfRes = 0;        // prediction: lines 11 to 13
  double Alpha = 0;
  double RunIni = 0;
  std::vector<TInputPoint> Points;
  enum class TStop { None, Corrupt, TooMany } Stop = TStop::None;
};
// At most capacity points are taken; a further data line stops the reading
// with TooMany. A head value that is no number throws TInvalidNumber.
TRunInput ReadDeterminationInput(std::string content, int capacity);
TRunInput ReadPredictionInput(std::string content, int capacity);
