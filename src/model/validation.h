// Split-sample validation: a model fitted on one period judged on another.
// The run is the determination's reconstruction after its search, with the
// reservoirs and alpha given instead of searched for; the criteria leave
// out a warm-up at the start, while the stores fill. Plain records in and
// out: the batch tool and a window call the same routines.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "files/extensions.h"
#include "files/storeparameters.h"
#include "model/criteria.h"

struct TAnalysisWorkspace;

// Nothing is fitted, so the record may be far longer than a determination's.
constexpr int ValidationCapacity = 100000;

// What a determination found, and the pre-reservoir it found it with.
struct TFittedModel {
  TStoreParameters Store;
  int NrOfRes = 0;
  double Alpha = 0;
  // Only a model file holds these; off for the design's files.
  TExtensions Extensions{};
};

// The fitted model of a determination run in ws.
TFittedModel FittedModelOf(const TAnalysisWorkspace& ws);

// The record to judge the model on: one time, rain and measured runoff a
// point, 0-based.
struct TValidationRecord {
  std::span<const double> Times, Rains, Runoffs;
  // The potential evaporation, for a model that takes it.
  std::span<const double> Pets = {};
};

struct TValidation {
  // Why the validation cannot be made; empty when it was, and all below holds.
  std::string Error;
  bool Ok() const { return Error.empty(); }

  // The store as the run took it: an initial storage of 0 is a tenth of the
  // maximum, as in the determination.
  TStoreParameters Store;
  // The one time step of the cascade, the record's last (as in the
  // determination).
  double Delta = 0;
  int WarmUp = 0;
  // Per point: the recharge, the measured runoff as the run takes it
  // (below 0.001 raised to 0.001) and the calculated runoff.
  std::vector<double> Recharge, Measured, Calculated;
  // With the slow path, the cascade's and the slow reservoir's runoff
  // (Calculated their sum); empty without.
  std::vector<double> Quick, Slow;
  // Of the points after the warm-up.
  TFitCriteria Fit;
  // Those of the batch tool's run: an escape beyond the store, an alpha on
  // the edge of its range.
  std::vector<std::string> Warnings;
};

// The reconstruction of record with model, and its criteria over the points
// after the first warmUp.
TValidation Validate(const TFittedModel& model, const TValidationRecord& record, int warmUp);

// Why the record cannot be judged with any model: fewer than 2 points after
// the warm-up, no variation in runoff or time, a time before the one ahead
// of it. Empty when it can; Validate makes these checks first.
std::string CheckValidationRecord(const TValidationRecord& record, int warmUp);

// Why a warm-up cannot be left out of a period of that many points; empty
// when it can (the criteria need two points after it).
std::string CheckWarmUp(int warmUp, int points);

// The alpha candidate of the determination that an output file's head
// prints as printed (three decimals); printed itself when none does. So
// an output file gives the model of its input file to the last bit.
double DeterminationAlpha(double printed);

// FITTED: a determination's input file, run without writing anything, its
// output file, whose head holds the model, or a model file.
struct TFittedFile {
  std::string Error;       // empty when Model holds
  bool CannotOpen = false; // the error is that the file cannot be read at all
  TFittedModel Model;
  bool OutputFile = false;
  bool ModelFile = false;
  // A model file's column of potential evaporation, as given to calibrate.
  std::string PetColumn;
  // Remarks that refuse nothing.
  std::vector<std::string> Notes;
};
TFittedFile ReadFittedModel(const std::string& path);

// DATA given as an input file: a determination's, of at most
// ValidationCapacity points.
struct TRecordFile {
  std::string Error;
  bool CannotOpen = false;
  std::string Title1;
  std::string Title2;  // may keep the dates (see RecordDatesOf)
  std::vector<double> Times, Rains, Runoffs;
};
// Whether bytes are an input file of the program (either option).
bool IsInputFile(const std::string& bytes);
TRecordFile ReadRecordFile(const std::string& path);
