// Routing of a series through the pre-reservoir and the cascade of linear
// reservoirs, in the two variants of the model determination and the
// prediction. The first routines work on plain 0-based series of any length;
// the workspace routines below them are what the runs use.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "files/storeparameters.h"

class TDMQuorell;

enum class TRouteVariant { Analysis, Prediction };

// Why a routing stopped.
enum class TRouteStop {
  None,
  TimeSequence,  // a step below 0 (analysis) or of 0 or less (prediction)
  NoStorage,     // a maximum storage of 0 or less
};

struct TPreReservoirOutcome {
  TRouteStop Stop = TRouteStop::None;
  std::size_t At = 0;          // the point it stopped at
  bool StorageChecked = false; // the storage check was made at some step
  double LastStep = 0;         // the last step looked at, a failing one too
  bool HasStep = false;        // there were two points or more
};

// Recharge of every point; the store as the variant takes it (the analysis
// raises an initial storage of exactly 0 to a tenth of the maximum before
// calling). Stops at the first wrong step, before the division by the
// maximum storage. With pet (of the points, as long as time) the escape of
// each step is scaled by pet[i] / petMean; without, it is the design's.
TPreReservoirOutcome RoutePreReservoir(std::span<const double> time, std::span<const double> rain,
                                       const TStoreParameters& store, TRouteVariant variant,
                                       std::span<double> rech, std::span<const double> pet = {},
                                       double petMean = 0);

// The mean of a potential evaporation series (0 for none).
double PetMeanOf(std::span<const double> pet);

// The slow path: share of each recharge through one linear reservoir of
// reaction factor alpha with one time step delta. slow[0] is share of the
// first measured runoff, slow[t] = c slow[t - 1] + (1 - c) share rech[t]
// after it; quick[t] is (1 - share) rech[t], what the cascade routes
// (quick[0] the cascade's first runoff, (1 - share) of the first); target
// is what the cascade is fitted to: quick[0], then the measured runoff
// less the slow one. All of one length.
void RouteSlowPath(double share, double alpha, double delta, std::span<const double> measured,
                   std::span<const double> rech, std::span<double> slow, std::span<double> quick,
                   std::span<double> target);

// The cascade of rows.size() reservoirs with one time step delta for every
// step: rows[r][t] for reservoir r + 1 and point t, from the first runoff
// at point 0 and the recharge of every later point.
void RouteCascadeRows(double alpha, double delta, double firstRunoff, std::span<const double> rech,
                      std::span<double* const> rows);

// The workspace routines. Recharge of every point of the variant's series
// in dm's workspaces. Returns false when the run stops on a wrong time step
// or a maximum storage of 0 or less; the message has been shown and the
// flag set.
bool RoutePreReservoir(TDMQuorell& dm, TRouteVariant variant);

// Fills Run rows 1..n of the cascade table for every point and RunCalc from
// the last of them, with one time step Delta for every step.
void RouteCascade(TDMQuorell& dm, double alpha, int n, TRouteVariant variant);

// The determination takes a measured runoff below MinRunoff as MinRunoff,
// and refuses a runoff or a time series whose range is below MinVariation.
constexpr double MinRunoff = 0.001;
constexpr double MinVariation = 0.001;

// Largest minus smallest of points 1..n of a workspace series (0 for none):
// the variation checks of both runs.
double SeriesRange(const double* series, int n);

// The runoff the model gives for a rainfall series (0-based, one time step
// throughout), routed as the prediction routes it; empty when the routing
// stops (its message shown through dm). Records made by the model itself
// come from this.
std::optional<std::vector<double>> ModelRunoff(TDMQuorell& dm, const std::vector<double>& times,
                                               const std::vector<double>& rains,
                                               const TStoreParameters& store, int nrOfRes,
                                               double alpha, double runIni);
