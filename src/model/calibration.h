// Calibrating the pre-reservoir: the maximum storage, the initial storage
// and the escape rate that give the best fit of the whole model
// determination (which still picks the reservoirs and alpha by least
// squares, as a run does), over records of any length.
#pragma once

#include <array>
#include <functional>
#include <limits>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "files/storeparameters.h"
#include "model/criteria.h"
#include "model/engine.h"

class TWorkPool;

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
  // The slow path's share and reaction factor found, and the mean
  // evaporation the escape was scaled by; off as the settings have them.
  TExtensions Extensions{};
  bool Valid = false;  // the determination could choose a fit
  int NrOfRes = 0;
  double Alpha = 0;
  TFitCriteria Fit;  // of the points after the warm-up
  double Objective = -std::numeric_limits<double>::infinity();
};

struct TCalibrationSettings {
  TObjective Objective = TObjective::RSquare;
  // Have passed CheckCalibrationBounds.
  TCalibrationBounds Bounds;
  // The objective leaves out the first WarmUp points (CheckWarmUp has
  // passed); the determination's own fit of reservoirs and alpha still
  // takes every point, as a run does.
  int WarmUp = 0;
  // The slow path searched with the store: its share over 0..1, its
  // reaction factor over BaseAlphaLow..BaseAlphaHigh on a log scale.
  bool SlowPath = false;
  // The potential evaporation of every point of the record (kept by the
  // caller): the escape follows it, scaled by its mean. Empty: the design's.
  std::span<const double> Pet{};
};

// How far a search has come, for a progress bar and the time left.
struct TCalibrationProgress {
  int Evaluations = 0;
  // What the search expects to look at in all; it may end sooner or later.
  int Planned = 0;
  TCalibrationPoint Best;  // as the guesses have it so far
};

class TCalibration {
public:
  // record is the determination's (kept by the caller while the calibration
  // lives); pool shares out the work (the caller's thread alone without).
  TCalibration(const TRecordView& record, const TCalibrationSettings& settings,
               TWorkPool* pool = nullptr);

  // Called on the thread that searches, between rounds of candidates; it
  // may throw to end the search.
  using TProgress = std::function<void(const TCalibrationProgress&)>;

  // The parameters of best fit over the whole bounds, whatever any file or
  // window holds: quasi-random points spread over the bounds (the maximum
  // storage on a log scale), a compass search from the best few, each
  // candidate judged by a quick search of reservoirs and alpha; the best
  // few found are then judged by the whole determination, which decides
  // what is reported. The same record and settings give the same result
  // on every run, on one core or on all.
  TCalibrationPoint Search(const TProgress& progress = {});

  // One candidate exactly as given (already in stored form), judged by the
  // whole determination, as a run of it; the slow path's share and reaction
  // factor count when the settings search it.
  TCalibrationPoint Evaluate(const TStoreParameters& store, double baseShare = 0,
                             double baseAlpha = 0);

  // Candidates judged so far, quick and whole.
  int Evaluations() const { return EvaluationCount; }

private:
  // Search coordinates in [0, 1]: the maximum storage on a log scale, the
  // initial storage as a share of it, the escape rate as a share of its
  // tenth; with the slow path its share and its reaction factor on a log
  // scale. Dims of them are searched.
  using TCoordinates = std::array<double, 5>;
  struct TCandidate {
    TStoreParameters Store;
    double BaseShare = 0, BaseAlpha = 0;
    auto operator<=>(const TCandidate&) const = default;
  };
  TCandidate ToCandidate(const TCoordinates& x) const;
  // The quick judgement of many candidates at once, on the pool; each
  // remembered by its stored parameters. Tells progress after them.
  std::vector<TCalibrationPoint> Guess(const std::vector<TCoordinates>& xs,
                                       const TProgress& progress);
  TCalibrationPoint GuessOne(const TCandidate& candidate) const;
  TExtensions ExtensionsOf(const TCandidate& candidate) const;
  void Report(const TProgress& progress);

  TRecordView Record;
  // The measured runoff as the determination takes it.
  std::vector<double> Measured;
  TCalibrationSettings Settings;
  std::size_t Dims = 3;
  double PetMean = 0;
  TWorkPool* Pool;
  std::map<TCandidate, TCalibrationPoint> Guessed;
  TCalibrationPoint BestGuess;
  int EvaluationCount = 0;
  int Planned = 0;
};
