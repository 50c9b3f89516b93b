// The determination refitted in memory: what the calibration window shows
// after every change of a pre-reservoir parameter, and the record it fits,
// taken as Save/Run would write it and the run read it back.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "files/inputfile.h"
#include "model/calibration.h"
#include "model/engine.h"

class TDMQuorell;
class TWorkPool;

// The determination's record of the series gathered into dm in the
// writer's layout (GatherSheet): the input file's text made in memory and
// read back as the run reads it, so that every number is rounded as the
// file rounds it. Empty when dm does not hold the rows of that layout.
std::optional<TRunInput> StoredDetermination(const TDMQuorell& dm);

struct TLiveFit {
  TStoreParameters Store;
  bool Valid = false;  // the determination chose a fit
  int NrOfRes = 0;
  double Alpha = 0;
  TFitCriteria Fit;
  // The warnings a run of the batch tool prints.
  std::vector<std::string> Warnings;
  // The slow path and the evaporation the fit was made with.
  TExtensions Extensions{};
  // One value a point, 0-based.
  std::vector<double> Time, Rain, Recharge, Measured, Calculated;
  // With the slow path, the cascade's and the slow reservoir's part of
  // Calculated; empty without.
  std::vector<double> Quick, Slow;
};

// The record of a determination's points, in their order.
TRecord RecordOf(const std::vector<TInputPoint>& points);

// The determination of record (one that its checks pass) with store: a
// candidate without a fit is shown as such, not told in a box. With
// extensions, pet holds the evaporation of every point when they need it.
TLiveFit RefitLive(const TRecordView& record, const TStoreParameters& store,
                   TWorkPool* pool = nullptr, const TExtensions& extensions = {},
                   std::span<const double> pet = {});
