// Calibrating the pre-reservoir: the maximum storage, the initial storage
// and the escape rate that give the best fit of the whole model
// determination (which still picks the reservoirs and alpha by least
// squares, as a run does).
#pragma once

#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <string>

#include "files/storeparameters.h"
#include "model/criteria.h"

class TDMQuorell;

// The criterion maximised: one of the table's objectives.
using TObjective = TCriterion;

// Its name in reports: "R square", "NSE" or "KGE".
const char* ObjectiveName(TObjective objective);
// The criterion the objective names; a value that is no number counts as
// the worst of all.
double ObjectiveOf(TObjective objective, const TFitCriteria& fit);

// A value as the input file's parameter lines hold it, read back.
double StoredParameter(double value);

// The search range of the maximum storage, in mm. The other two follow it:
// 0 < IniSto <= MaxSto and 0 <= MaxEsc <= MaxSto / 10.
struct TCalibrationBounds {
  double MaxStoLow = 1;
  double MaxStoHigh = 500;
};

// Empty when the bounds can be searched, otherwise why not.
std::string CheckCalibrationBounds(const TCalibrationBounds& bounds);

// Whether the parameters lie within the bounds.
bool WithinBounds(const TStoreParameters& store, const TCalibrationBounds& bounds);

// The nearest parameters an input file can hold that lie within the
// bounds: each value rounded as stored, then moved inside its bound (the
// initial storage and the escape rate follow the maximum storage).
TStoreParameters StoredWithinBounds(const TStoreParameters& store,
                                    const TCalibrationBounds& bounds);

// The bounds of the window's controls: those of calibrate, widened to a
// maximum storage outside them so that the sheet's own value can be shown.
TCalibrationBounds BoundsAround(const TStoreParameters& store);

struct TCalibrationPoint {
  TStoreParameters Store;
  bool Valid = false;  // the determination could choose a fit
  int NrOfRes = 0;
  double Alpha = 0;
  TFitCriteria Fit;  // of the points after the warm-up
  double Objective = -std::numeric_limits<double>::infinity();
};

class TCalibration {
public:
  // dm has read the record into the workspace (PrepareDetermination); each
  // candidate is fitted again through dm.FitCascade, with dm's dialogs
  // silenced (a candidate without a fit is simply no good). The bounds
  // have passed CheckCalibrationBounds. The objective leaves out the first
  // warmUp points (CheckWarmUp has passed); the determination's own fit of
  // reservoirs and alpha still takes every point, as a run does.
  TCalibration(TDMQuorell& dm, TObjective objective, TCalibrationBounds bounds, int warmUp = 0);

  using TProgress = std::function<void(int evaluations, const TCalibrationPoint& best)>;

  // A coarse grid over the bounds (log-spaced in the maximum storage), then
  // a compass search from the best few points and from start, when that
  // lies within the bounds. The same record gives the same result on every
  // run.
  TCalibrationPoint Search(const std::optional<TStoreParameters>& start,
                           const TProgress& progress = {});

  // One candidate exactly as given (already in stored form); remembered.
  TCalibrationPoint Evaluate(const TStoreParameters& store);

  int Evaluations() const { return EvaluationCount; }

private:
  // Search coordinates in [0, 1]: the maximum storage on a log scale, the
  // initial storage as a share of it, the escape rate as a share of its
  // tenth.
  struct TCoordinates {
    double U, Ini, Esc;
  };
  TStoreParameters ToStore(const TCoordinates& x) const;
  TCoordinates ToCoordinates(const TStoreParameters& store) const;
  void Refine(TCoordinates x, TCalibrationPoint at, const TProgress& progress);
  // Evaluate, keeping the best point of the search and reporting it.
  TCalibrationPoint Visit(const TStoreParameters& store, const TProgress& progress);

  TDMQuorell& Dm;
  TObjective Objective;
  TCalibrationBounds Bounds;
  int WarmUp;
  std::map<TStoreParameters, TCalibrationPoint> Seen;
  TCalibrationPoint Best;
  int EvaluationCount = 0;
};
