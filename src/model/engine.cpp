#include "model/engine.h"

#include <algorithm>
#include <cmath>
#include <memory>

#include "base/numformat.h"
#include "model/dmquorell.h"
#include "model/runwarnings.h"
#include "model/search.h"

std::size_t TRecordView::Size() const {
  return std::min({Time.size(), Rain.size(), Runoff.size()});
}

namespace {

double Range(std::span<const double> values) {
  if (values.empty()) return 0;
  const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
  return *hi - *lo;
}

// The measured runoff as the runs take it, and the checks of its variation
// and of the times'.
TRunStop Prepare(const TRecordView& record, TRun& run) {
  const std::size_t n = record.Size();
  run.Measured = MeasuredAsTaken(record);
  if (Range(run.Measured) < MinVariation) return TRunStop::NoRunoffVariation;
  if (Range(record.Time.first(n)) < MinVariation) return TRunStop::NoTimeVariation;
  return TRunStop::None;
}

// The recharge with the store as the determination takes it.
TRunStop Recharge(const TRecordView& record, const TStoreParameters& store,
                  const TRunSettings& settings, TRun& run) {
  const std::size_t n = record.Size();
  run.Store = store;
  if (run.Store.IniSto == 0) run.Store.IniSto = 0.1 * run.Store.MaxSto;
  run.Recharge.assign(n, 0);
  const bool pet = settings.Extensions.Evaporation;
  run.Route = RoutePreReservoir(record.Time.first(n), record.Rain.first(n), run.Store,
                                TRouteVariant::Analysis, run.Recharge,
                                pet ? settings.Pet.first(n) : std::span<const double>(),
                                settings.Extensions.PetMean);
  if (run.Route.HasStep) run.Delta = run.Route.LastStep;
  switch (run.Route.Stop) {
    case TRouteStop::TimeSequence: return TRunStop::TimeSequence;
    case TRouteStop::NoStorage: return TRunStop::NoStorage;
    case TRouteStop::None: break;
  }
  return TRunStop::None;
}

// What the cascade is fitted to and fed by: the measured runoff and the
// recharge, or with the slow path their shares (the slow reservoir's runoff
// kept in run.Slow).
struct TCascadeSeries {
  std::vector<double> Target, Recharge;
};

TCascadeSeries SplitForCascade(TRun& run, const TRunSettings& settings) {
  const TExtensions& e = settings.Extensions;
  if (!e.SlowPath) return {run.Measured, run.Recharge};
  const std::size_t n = run.Measured.size();
  TCascadeSeries series{std::vector<double>(n), std::vector<double>(n)};
  run.Slow.assign(n, 0);
  RouteSlowPath(e.BaseShare, e.BaseAlpha, run.Delta, run.Measured, run.Recharge, run.Slow,
                series.Recharge, series.Target);
  return series;
}

// Every reservoir's row of the pair, the last one the calculated runoff.
void Reconstruct(TRun& run, const TRunSettings& settings, std::span<const double> times,
                 const TCascadeSeries& cascade) {
  const std::size_t n = run.Measured.size();
  const auto reservoirs = static_cast<std::size_t>(run.NrOfRes);
  std::vector<std::vector<double>> upper(reservoirs - 1, std::vector<double>(n));
  run.Calculated.assign(n, 0);
  std::vector<double*> rows;
  for (auto& row : upper) rows.push_back(row.data());
  rows.push_back(run.Calculated.data());
  RouteCascadeRows(run.Alpha, run.Delta, n > 0 ? cascade.Target[0] : 0, cascade.Recharge, rows);
  if (settings.KeepRows) {
    run.Rows = std::move(upper);
    run.Rows.push_back(run.Calculated);
  }
  if (settings.Extensions.SlowPath) {
    run.Quick = run.Calculated;
    for (std::size_t t = 0; t < n; ++t) run.Calculated[t] = run.Quick[t] + run.Slow[t];
  }
  const auto skip = std::min(static_cast<std::size_t>(std::max(settings.WarmUp, 0)), n);
  run.Fit = FitCriteria(std::span<const double>(run.Measured).subspan(skip),
                        std::span<const double>(run.Calculated).subspan(skip));
  run.Warnings = DeterminationWarnings(run.Store, times, run.Alpha);
}

struct TSumSqHolder {
  TSumSqTable Table;
};

}  // namespace

std::vector<double> MeasuredAsTaken(const TRecordView& record) {
  std::vector<double> measured(record.Size());
  for (std::size_t i = 0; i < measured.size(); ++i) measured[i] = std::max(record.Runoff[i], MinRunoff);
  return measured;
}

std::string ExtensionsFault(const TExtensions& e, std::span<const double> pet, std::size_t n) {
  if (e.SlowPath) {
    if (!(e.BaseShare >= 0 && e.BaseShare <= 1))
      return "The share of the slow path is " + FormatGeneral(e.BaseShare, '.') + "; it must be 0 to 1";
    if (!(e.BaseAlpha > 0 && std::isfinite(e.BaseAlpha)))
      return "The slow reaction factor is " + FormatGeneral(e.BaseAlpha, '.') +
             "; it must be a number above 0";
  }
  if (e.Evaporation) {
    if (!(e.PetMean > 0 && std::isfinite(e.PetMean)))
      return "The mean potential evaporation is " + FormatGeneral(e.PetMean, '.') +
             "; it must be a number above 0";
    if (pet.size() < n)
      return "The model takes potential evaporation: the record has " + std::to_string(pet.size()) +
             " values of it for " + std::to_string(n) + " points";
    for (std::size_t i = 0; i < n; ++i)
      if (!(pet[i] >= 0 && std::isfinite(pet[i])))
        return "The potential evaporation of point " + std::to_string(i + 1) + " is " +
               FormatGeneral(pet[i], '.') + "; it must be 0 or more";
  }
  return "";
}

TRun DetermineRun(const TRecordView& record, const TStoreParameters& store,
                  const TRunSettings& settings) {
  TRun run;
  const std::size_t n = record.Size();
  if (!ExtensionsFault(settings.Extensions, settings.Pet, n).empty()) {
    run.Stop = TRunStop::BadExtensions;
    return run;
  }
  if ((run.Stop = Prepare(record, run)) != TRunStop::None) return run;
  if ((run.Stop = Recharge(record, store, settings, run)) != TRunStop::None) return run;
  const TCascadeSeries cascade = SplitForCascade(run, settings);

  const auto& candidates = AlphaCandidateTable();
  auto sums = std::make_unique<TSumSqHolder>();
  ComputeSumSq(std::span<const double>(cascade.Target), std::span<const double>(cascade.Recharge),
               run.Delta, candidates, sums->Table, settings.Pool);
  if (!SelectBestPair(sums->Table, candidates, run.NrOfRes, run.Alpha)) {
    run.Stop = TRunStop::NoFiniteFit;
    return run;
  }
  Reconstruct(run, settings, record.Time.first(n), cascade);
  return run;
}

TRun ReconstructRun(const TRecordView& record, const TStoreParameters& store, int nrOfRes,
                    double alpha, const TRunSettings& settings) {
  TRun run;
  if (nrOfRes < 1 || nrOfRes > MaxReservoirs) {
    run.Stop = TRunStop::BadReservoirs;
    return run;
  }
  if (!(alpha > 0 && std::isfinite(alpha))) {
    run.Stop = TRunStop::BadAlpha;
    return run;
  }
  if (!ExtensionsFault(settings.Extensions, settings.Pet, record.Size()).empty()) {
    run.Stop = TRunStop::BadExtensions;
    return run;
  }
  if ((run.Stop = Prepare(record, run)) != TRunStop::None) return run;
  if ((run.Stop = Recharge(record, store, settings, run)) != TRunStop::None) return run;
  run.NrOfRes = nrOfRes;
  run.Alpha = alpha;
  Reconstruct(run, settings, record.Time.first(record.Size()), SplitForCascade(run, settings));
  return run;
}

TRun PredictRun(std::span<const double> time, std::span<const double> rain,
                const TStoreParameters& store, int nrOfRes, double alpha, double runIni,
                bool keepRows) {
  TRun run;
  if (nrOfRes < 1 || nrOfRes > MaxReservoirs) {
    run.Stop = TRunStop::BadReservoirs;
    return run;
  }
  const std::size_t n = std::min(time.size(), rain.size());
  run.Store = store;
  run.NrOfRes = nrOfRes;
  run.Alpha = alpha;
  run.Recharge.assign(n, 0);
  run.Route = RoutePreReservoir(time.first(n), rain.first(n), store, TRouteVariant::Prediction,
                                run.Recharge);
  if (run.Route.Stop == TRouteStop::TimeSequence) run.Stop = TRunStop::TimeSequence;
  if (run.Route.Stop == TRouteStop::NoStorage) run.Stop = TRunStop::NoStorage;
  if (!run.Ok()) return run;
  run.Delta = n >= 2 ? time[n - 1] - time[n - 2] : 0;
  std::vector<std::vector<double>> table(static_cast<std::size_t>(nrOfRes), std::vector<double>(n));
  std::vector<double*> rows;
  for (auto& row : table) rows.push_back(row.data());
  RouteCascadeRows(alpha, run.Delta, runIni, run.Recharge, rows);
  run.Calculated = table.back();
  if (n > 0) run.Calculated[0] = runIni;
  if (keepRows) run.Rows = std::move(table);
  return run;
}

std::string DeterminationStopText(TRunStop stop) {
  switch (stop) {
    case TRunStop::None: return "";
    case TRunStop::NoRunoffVariation:
      return "There is no variation in runoff values. Rainfall-Runoff analysis cannot be made";
    case TRunStop::NoTimeVariation:
      return "There is no variation in time Rainfall-Runoff analysis cannot be made";
    case TRunStop::TimeSequence:
      return "Incorrect time sequence encountered. Please correct the input file";
    case TRunStop::NoStorage: return "The Maximum Storage must be > 0";
    case TRunStop::BadExtensions:
      return "The slow path or the potential evaporation cannot be run: a share outside 0 to 1, "
             "a reaction factor or mean evaporation not above 0, or an evaporation missing or "
             "negative";
    case TRunStop::NoFiniteFit:
    case TRunStop::BadReservoirs:
    case TRunStop::BadAlpha:
      break;
  }
  return "The values are too large: no number of reservoirs and reaction factor gives a finite "
         "sum of squares. Rainfall-Runoff analysis cannot be made";
}
