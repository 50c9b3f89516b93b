#include "model/routing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/dmquorell.h"
#include "model/engine.h"

TPreReservoirOutcome RoutePreReservoir(std::span<const double> time, std::span<const double> rain,
                                       const TStoreParameters& store, TRouteVariant variant,
                                       std::span<double> rech, std::span<const double> pet,
                                       double petMean) {
  TPreReservoirOutcome outcome;
  const std::size_t n = std::min({time.size(), rain.size(), rech.size()});
  if (n == 0) return outcome;
  const bool analysis = variant == TRouteVariant::Analysis;
  // Storage and deficit of the point before: all the step needs.
  double actSto = 0, stoDef = 0;

  // First point: no escape yet; the reservoir overflows unless the rain
  // stays below the initial deficit.
  const double stoDef0 = store.MaxSto - store.IniSto;
  rech[0] = rain[0] - stoDef0;
  actSto = store.MaxSto;
  stoDef = 0;
  if (rech[0] < 0) {
    stoDef = stoDef0 - rain[0];
    rech[0] = 0;
    actSto = store.IniSto + rain[0];
  }

  for (std::size_t i = 1; i < n; ++i) {
    const double d = time[i] - time[i - 1];
    outcome.LastStep = d;
    outcome.HasStep = true;
    if (analysis ? d < 0 : d <= 0) {
      outcome.Stop = TRouteStop::TimeSequence;
      outcome.At = i;
      return outcome;
    }
    outcome.StorageChecked = true;
    if (store.MaxSto <= 0) {
      outcome.Stop = TRouteStop::NoStorage;
      outcome.At = i;
      return outcome;
    }
    const double r = actSto / store.MaxSto;
    // The ratio first, so that a PET equal to its mean gives the design's
    // escape to the last bit.
    const double actEsc =
        pet.empty() ? store.MaxEsc * d * r : store.MaxEsc * d * r * (pet[i] / petMean);
    const double before = stoDef;
    stoDef = before + actEsc;
    rech[i] = rain[i] - stoDef;
    const double previous = actSto;
    actSto = store.MaxSto;
    stoDef = 0;
    if (rech[i] < 0) {
      stoDef = before + actEsc - rain[i];
      rech[i] = 0;
      actSto = previous - actEsc + rain[i];
    }
  }
  return outcome;
}

double PetMeanOf(std::span<const double> pet) {
  if (pet.empty()) return 0;
  double sum = 0;
  for (double value : pet) sum += value;
  return sum / static_cast<double>(pet.size());
}

void RouteSlowPath(double share, double alpha, double delta, std::span<const double> measured,
                   std::span<const double> rech, std::span<double> slow, std::span<double> quick,
                   std::span<double> target) {
  const std::size_t n = std::min({measured.size(), rech.size(), slow.size(), quick.size(), target.size()});
  if (n == 0) return;
  const double c = std::exp(-alpha * delta);
  const double inflow = (1 - c) * share;
  slow[0] = share * measured[0];
  quick[0] = (1 - share) * measured[0];
  target[0] = quick[0];
  for (std::size_t t = 1; t < n; ++t) {
    slow[t] = c * slow[t - 1] + inflow * rech[t];
    quick[t] = (1 - share) * rech[t];
    target[t] = measured[t] - slow[t];
  }
}

void RouteCascadeRows(double alpha, double delta, double firstRunoff, std::span<const double> rech,
                      std::span<double* const> rows) {
  const double c = std::exp(-alpha * delta);
  const double share = 1 - c;
  const std::size_t points = rech.size();
  if (points == 0) return;
  // Reservoirs outside, points inside: each value needs only the one before
  // it in its row and the one above it in its column.
  for (std::size_t r = 0; r < rows.size(); ++r) {
    double* run = rows[r];
    run[0] = r == 0 ? firstRunoff : c * rows[r - 1][0];
    const double* inflow = r == 0 ? rech.data() : rows[r - 1];
    for (std::size_t t = 1; t < points; ++t) run[t] = c * run[t - 1] + share * inflow[t];
  }
}

double SeriesRange(const double* series, int n) {
  if (n < 1) return 0;
  const auto [lo, hi] = std::minmax_element(series + 1, series + n + 1);
  return *hi - *lo;
}

namespace {

std::span<const double> Points(const double* series, int n) {
  return {series + 1, static_cast<std::size_t>(n < 0 ? 0 : n)};
}

}  // namespace

bool RoutePreReservoir(TDMQuorell& dm, TRouteVariant variant) {
  auto& ana = dm.Analysis();
  auto& pred = dm.Prediction();
  const bool analysis = variant == TRouteVariant::Analysis;
  if (analysis && ana.AnaIniSto == 0) ana.AnaIniSto = 0.1 * ana.AnaMaxSto;
  const int n = analysis ? ana.AnaNrOfData : pred.PredNrOfData;
  double* rech = analysis ? ana.Rech : pred.PredRech;
  const TPreReservoirOutcome outcome =
      RoutePreReservoir(Points(analysis ? ana.Time : pred.PredTime, n),
                        Points(analysis ? ana.Rain : pred.PredRain, n),
                        analysis ? ana.Store() : pred.Store(), variant,
                        std::span<double>(rech + 1, static_cast<std::size_t>(n < 0 ? 0 : n)));
  bool& timeError = analysis ? ana.AnaTimeError : pred.PredTimeError;
  timeError = outcome.Stop == TRouteStop::TimeSequence;
  if (analysis && outcome.HasStep) ana.Delta = outcome.LastStep;
  // Checked at every step from the second point on; a single point keeps
  // the flag as it was.
  if (outcome.StorageChecked) ana.StorageOk = outcome.Stop != TRouteStop::NoStorage;
  switch (outcome.Stop) {
    case TRouteStop::TimeSequence:
      dm.ShowMessage(analysis
                         ? "Incorrect time sequence encountered. Please correct the input file"
                         : "Incorrect time sequence encountered Please correct the input file");
      return false;
    case TRouteStop::NoStorage:
      dm.ShowMessage("The Maximum Storage must be > 0");
      return false;
    case TRouteStop::None:
      break;
  }
  return true;
}

void RouteCascade(TDMQuorell& dm, double alpha, int n, TRouteVariant variant) {
  auto& ana = dm.Analysis();
  const auto& pred = dm.Prediction();
  const bool analysis = variant == TRouteVariant::Analysis;
  const int points = analysis ? ana.AnaNrOfData : pred.PredNrOfData;
  const double* rech = analysis ? ana.Rech : pred.PredRech;
  double* rows[MaxReservoirs];
  const int reservoirs = std::clamp(n, 0, MaxReservoirs);
  for (int r = 0; r < reservoirs; ++r) rows[r] = &ana.Run[r + 1][1];
  RouteCascadeRows(alpha, ana.Delta, analysis ? ana.RunMeas[1] : pred.PredRunIni,
                   Points(rech, points),
                   std::span<double* const>(rows, static_cast<std::size_t>(reservoirs)));
  for (int t = 1; t <= points; ++t) ana.RunCalc[t] = ana.Run[reservoirs][t];
  if (!analysis) ana.RunCalc[1] = pred.PredRunIni;
}

std::optional<std::vector<double>> ModelRunoff(TDMQuorell& dm, const std::vector<double>& times,
                                               const std::vector<double>& rains,
                                               const TStoreParameters& store, int nrOfRes,
                                               double alpha, double runIni) {
  TRun run = PredictRun(times, rains, store, nrOfRes, alpha, runIni);
  if (run.Stop == TRunStop::TimeSequence)
    dm.ShowMessage("Incorrect time sequence encountered Please correct the input file");
  if (run.Stop == TRunStop::NoStorage) dm.ShowMessage("The Maximum Storage must be > 0");
  if (!run.Ok()) return std::nullopt;
  return std::move(run.Calculated);
}
