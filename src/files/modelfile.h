// The model file: a fitted model in JSON, for the batch tool, the
// calibration window and anyone's scripts. Plain record in, text out; text
// in, record or the reason it cannot be taken (naming the key) out.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "files/extensions.h"
#include "files/storeparameters.h"

inline constexpr const char* ModelFileFormat = "tolvane-model";
inline constexpr int ModelFileVersion = 1;

struct TModelFile {
  TStoreParameters Store;
  int Reservoirs = 0;
  double Alpha = 0;
  std::string Objective;  // the key of the criterion maximised
  int WarmUp = 0;
  // "day" or "hour" for a dated record; "" for time units without dates.
  std::string TimeUnit;
  // The period fitted: its first and last date (or time value as text)
  // and its number of points.
  std::string First, Last;
  int Points = 0;
  // Where the record came from.
  std::string Source;
  // Every criterion of the fit by its key; a criterion that does not exist
  // for the record (not a number) is written as null and read back as NaN.
  std::vector<std::pair<std::string, double>> Criteria;
  // The slow path and the evaporation; written only when switched on, so a
  // designed model's file is as it always was, and read back as off when
  // their keys are missing.
  TExtensions Extensions{};
  // The column of potential evaporation the model was fitted with, as given.
  std::string Pet;
};

std::string FormatModelFile(const TModelFile& model);

struct TModelFileRead {
  std::string Error;  // empty when Model holds
  TModelFile Model;
};
// A model file's text; any other text, a damaged one, a key missing or of
// the wrong kind is refused naming what is wrong.
TModelFileRead ReadModelFile(const std::string& text);

// Whether bytes look like a model file (a JSON object), to tell it from the
// program's other files before it is read.
bool LooksLikeModelFile(const std::string& bytes);
