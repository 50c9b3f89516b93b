// The output file of a run, as text: the reconstruction of a model
// determination or the prediction, for people, spreadsheets and the graphs.
#pragma once

#include <span>
#include <string>

#include "files/storeparameters.h"

// The text of a serial number in the reconstruction table: at most 7
// characters and a terminating 0.
using TSerialText = char[8];

// The series are 0-based and all of one length.
struct TReconstructionResults {
  std::string Title1, Title2;
  std::string InputPath;  // line 5
  TStoreParameters Store;
  int NrOfRes = 0;
  double Alpha = 0;
  std::span<const int> Serial;
  std::span<const TSerialText> SerialText;
  std::span<const double> Time, Rain, Rech, RunMeas, RunCalc;
  double StandardDeviation = 0;
  double RSquare = 0;
};
std::string FormatReconstructionResults(const TReconstructionResults& results);

struct TPredictionResults {
  std::string Title1, Title2;
  std::string InputPath;
  TStoreParameters Store;
  std::string RateUnit;  // printed after the escape rate
  int NrOfRes = 0;
  double Alpha = 0;
  std::span<const int> Serial;
  std::span<const double> Time, Rain, Rech, RunCalc;
};
std::string FormatPredictionResults(const TPredictionResults& results);
