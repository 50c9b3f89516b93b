// The model's runs as pure functions: a record and parameters in, a result
// out; no dialogs, no files, no state kept between calls, any length of
// record. The determination (reservoirs and alpha searched), the
// reconstruction with them given (validation), and the prediction are all
// made here; the data module of the windows and the design's files, the
// batch commands and the calibration call these.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <vector>

#include "files/extensions.h"
#include "files/storeparameters.h"
#include "model/criteria.h"
#include "model/routing.h"

class TWorkPool;

// One time, rain and measured runoff a point, 0-based, of one length (the
// shortest series decides). A prediction needs no runoff.
struct TRecordView {
  std::span<const double> Time, Rain, Runoff;
  std::size_t Size() const;
};

// A record held: what a file or a table was read into.
struct TRecord {
  std::vector<double> Time, Rain, Runoff;
  TRecordView View() const { return {Time, Rain, Runoff}; }
};

// Why a run could not be made; the callers tell it in their own words.
enum class TRunStop {
  None,
  NoRunoffVariation,  // largest - smallest measured runoff below MinVariation
  NoTimeVariation,    // the same of the times
  TimeSequence,       // a step below 0 (at Route.At)
  NoStorage,          // a maximum storage of 0 or less
  NoFiniteFit,        // every sum of squares overflows
  BadReservoirs,      // a number of reservoirs outside 1..5
  BadAlpha,           // a reaction factor that is not a number above 0
  BadExtensions,      // a slow path or evaporation that cannot be run (ExtensionsFault says why)
};

struct TRunSettings {
  // The criteria leave out the first WarmUp points; the determination's
  // own choice of reservoirs and alpha still takes every point.
  int WarmUp = 0;
  // Shares out the determination's search; the caller's thread alone
  // without one. The result is the same either way.
  TWorkPool* Pool = nullptr;
  // Keep every reservoir's row, not only the last one's.
  bool KeepRows = false;
  // The slow path and the evaporation; off, the designed model. Pet is the
  // potential evaporation of every point, needed with Evaporation.
  TExtensions Extensions{};
  std::span<const double> Pet{};
};

// The measured runoff of record as every run takes it: a value below
// MinRunoff raised to it.
std::vector<double> MeasuredAsTaken(const TRecordView& record);

// Why the extensions cannot be run on a record of n points: a share outside
// 0..1, a slow reaction factor or a mean evaporation that is no number
// above 0, a PET series shorter than the record or with a negative value;
// empty when they can.
std::string ExtensionsFault(const TExtensions& extensions, std::span<const double> pet,
                            std::size_t n);

struct TRun {
  TRunStop Stop = TRunStop::None;
  bool Ok() const { return Stop == TRunStop::None; }
  // The pre-reservoir's routing as far as it went (the step it stopped at,
  // whether the storage was checked, the last step looked at).
  TPreReservoirOutcome Route;
  // The store as taken: an initial storage of exactly 0 is a tenth of the
  // maximum, as the determination has it.
  TStoreParameters Store;
  int NrOfRes = 0;
  double Alpha = 0;
  // The cascade's one time step: the record's last.
  double Delta = 0;
  // Per point: the measured runoff as taken (below MinRunoff raised), the
  // recharge, the calculated runoff (the last reservoir's row).
  std::vector<double> Measured, Recharge, Calculated;
  // With the slow path: the cascade's runoff and the slow reservoir's, per
  // point (Calculated their sum); empty without.
  std::vector<double> Quick, Slow;
  // Reservoirs 1..NrOfRes of the cascade, with KeepRows.
  std::vector<std::vector<double>> Rows;
  // Of the points after the warm-up.
  TFitCriteria Fit;
  // An escape beyond the store, an alpha on the edge of its range.
  std::vector<std::string> Warnings;
};

// The determination: the variation checks, the recharge, the exhaustive
// search of reservoirs 1..5 and the 10000 alpha candidates by least squares
// over every point, the reconstruction with the pair chosen.
// With the slow path the search is the same on the measured runoff less
// the slow reservoir's, the cascade fed by the rest of the recharge.
TRun DetermineRun(const TRecordView& record, const TStoreParameters& store,
                  const TRunSettings& settings = {});

// The same without the search: the reconstruction with reservoirs and alpha
// given, as validation judges a model fitted on another period.
TRun ReconstructRun(const TRecordView& record, const TStoreParameters& store, int nrOfRes,
                    double alpha, const TRunSettings& settings = {});

// The prediction: from rain alone with a given initial runoff; a step of 0
// is refused, an initial storage of 0 stays 0, and the first calculated
// runoff is the initial runoff. Calculated holds the runoff, Recharge the
// recharge; no criteria.
TRun PredictRun(std::span<const double> time, std::span<const double> rain,
                const TStoreParameters& store, int nrOfRes, double alpha, double runIni,
                bool keepRows = false);

// The determination's own message for why it stopped, as its run shows it;
// empty for None.
std::string DeterminationStopText(TRunStop stop);
