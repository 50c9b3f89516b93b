// How sure a fit is (GLUE, Beven and Binley 1992): the store parameters
// sampled over the calibration bounds by Latin hypercube, each sample fitted
// (reservoirs and alpha chosen for it), the samples whose objective reaches
// a threshold kept as behavioural and weighted by how far above it they
// are, and the weighted quantiles of their runoff at every point as a band.
//
// What each sample is judged by: 10 000 whole determinations (5 x 10 000
// cascades each) are far beyond a quarter of a minute, so every sample is
// first judged by the calibration's quick guess of reservoirs and alpha
// (a real pair and that pair's exact criteria). SelectConfirmed then runs
// the whole determination on every behavioural sample and on those just
// below the threshold, again until the behavioural set holds determined
// samples only; the best and every member are thus exactly what a run of
// them gives. A sample's Determined says which it is.
#pragma once

#include <cstdint>
#include <functional>
#include <limits>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "files/storeparameters.h"
#include "model/calibration.h"
#include "model/criteria.h"
#include "model/engine.h"

class TWorkPool;

struct TUncertaintySettings {
  int Samples = 10000;
  TObjective Objective = TObjective::Nse;
  TCalibrationBounds Bounds;
  // The criteria leave out the first WarmUp points.
  int WarmUp = 0;
  std::uint64_t Seed = 1;
  // The slow path's share (0..1) and reaction factor (log over
  // BaseAlphaLow..BaseAlphaHigh) sampled with the store.
  bool SlowPath = false;
  std::span<const double> Pet{};   // PET of every point; empty: the designed escape
  // The mean the escape is scaled by; 0: the mean of Pet. A record judged
  // with samples of another takes that one's.
  double PetMean = 0;
  // Every sample by the whole determination at once (slow; for small runs).
  bool DetermineAll = false;
};

struct TUncertaintySample {
  TStoreParameters Store;
  double BaseShare = 0, BaseAlpha = 0;
  bool Valid = false;
  int NrOfRes = 0;
  double Alpha = 0;
  TFitCriteria Fit;  // of the points after the warm-up
  double Objective = -std::numeric_limits<double>::infinity();
  // Reservoirs and alpha by the whole determination; else by the quick guess.
  bool Determined = false;
};

struct TUncertaintyProgress {
  int Done = 0, Planned = 0;
};

// The Latin hypercube samples in order, each fitted (see above); the same
// seed gives the same samples on any pool. progress is called between
// blocks on the sampling thread and may throw to end it.
std::vector<TUncertaintySample> SampleUncertainty(
    const TRecordView& record, const TUncertaintySettings& settings, TWorkPool* pool,
    const std::function<void(const TUncertaintyProgress&)>& progress = {});

// One of the two: the objective a sample must reach, or the share of the
// valid samples kept, best first (0.1: the best 10 %).
struct TBehaviouralRule {
  std::optional<double> Threshold, BestShare;
};

struct TBehavioural {
  // With a best share: the best objective left out (the lowest member's
  // when none is), so that every member above it weighs something.
  double Threshold = 0;
  std::vector<std::size_t> Members;  // indices into the samples, ascending
  std::vector<double> Weights;       // objective - Threshold, summing to 1
};

// Refusals with error set: none behavioural (says so, suggests a lower
// threshold); a threshold above 1 or no number; a share outside (0, 1];
// both or neither given.
std::optional<TBehavioural> SelectBehavioural(std::span<const TUncertaintySample> samples,
                                              const TBehaviouralRule& rule, std::string& error);

// SelectBehavioural after the whole determination has confirmed every
// member and every sample within ConfirmMargin below the threshold, as
// often as the set changes. Returns the samples determined in all.
inline constexpr double ConfirmMargin = 0.005;
std::optional<TBehavioural> SelectConfirmed(const TRecordView& record,
                                            std::vector<TUncertaintySample>& samples,
                                            const TBehaviouralRule& rule,
                                            const TUncertaintySettings& settings, TWorkPool* pool,
                                            std::string& error, int* determined = nullptr);

// The smallest value whose cumulative weight (values in ascending order)
// reaches p of the whole; values of weight 0 or not a number left out.
// Not a number when nothing weighs.
double WeightedQuantile(std::span<const double> values, std::span<const double> weights, double p);

struct TBands {
  std::vector<double> Best, Q05, Q50, Q95;
};

// The behavioural samples rerun on record (their own reservoirs and alpha,
// as a validation reconstructs), weighted quantiles per point; Best is the
// best member's run. The runs are held as floats, a block of points at a
// time within BandMemory bytes, each block rerunning every member.
inline constexpr std::size_t BandMemory = std::size_t{160} << 20;
TBands ComputeBands(const TRecordView& record, std::span<const TUncertaintySample> samples,
                    const TBehavioural& behavioural, const TUncertaintySettings& settings,
                    TWorkPool* pool, std::size_t memory = BandMemory);

// Of the points after the warm-up: the share of measured values inside
// [Q05, Q95], and the mean width Q95 - Q05 over the mean measured value.
struct TBandFit {
  double ContainingRatio = 0, RelativeWidth = 0;
};
TBandFit JudgeBands(std::span<const double> measured, const TBands& bands, int warmUp);

// For a window: every valid sample's run kept as floats, sorted at each
// point, so that the bands of another behavioural set come back within a
// frame (one walk of the sorted runs a point); the same bands as
// ComputeBands. About 8 bytes a sample and point.
class TBandTable {
public:
  TBandTable(const TRecordView& record, std::span<const TUncertaintySample> samples,
             const TUncertaintySettings& settings, TWorkPool* pool);
  TBands Bands(const TBehavioural& behavioural) const;

private:
  std::vector<double> Time, Rain, Measured, Pet;
  std::vector<TUncertaintySample> Samples;
  std::vector<char> Has;  // a sample's run is in the table
  TUncertaintySettings Settings;
  TWorkPool* Pool;
  std::size_t Points = 0, Runs = 0;
  // At point t: runs t * Runs .. (t + 1) * Runs - 1, ascending, and whose.
  std::vector<float> Sorted;
  std::vector<std::uint32_t> Whose;
};
