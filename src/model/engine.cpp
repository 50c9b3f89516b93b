#include "model/engine.h"

#include <algorithm>
#include <cmath>
#include <memory>

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
  run.Measured.resize(n);
  for (std::size_t i = 0; i < n; ++i) run.Measured[i] = std::max(record.Runoff[i], MinRunoff);
  if (Range(run.Measured) < MinVariation) return TRunStop::NoRunoffVariation;
  if (Range(record.Time.first(n)) < MinVariation) return TRunStop::NoTimeVariation;
  return TRunStop::None;
}

// The recharge with the store as the determination takes it.
TRunStop Recharge(const TRecordView& record, const TStoreParameters& store, TRun& run) {
  const std::size_t n = record.Size();
  run.Store = store;
  if (run.Store.IniSto == 0) run.Store.IniSto = 0.1 * run.Store.MaxSto;
  run.Recharge.assign(n, 0);
  run.Route = RoutePreReservoir(record.Time.first(n), record.Rain.first(n), run.Store,
                                TRouteVariant::Analysis, run.Recharge);
  if (run.Route.HasStep) run.Delta = run.Route.LastStep;
  switch (run.Route.Stop) {
    case TRouteStop::TimeSequence: return TRunStop::TimeSequence;
    case TRouteStop::NoStorage: return TRunStop::NoStorage;
    case TRouteStop::None: break;
  }
  return TRunStop::None;
}

// Every reservoir's row of the pair, the last one the calculated runoff.
void Reconstruct(TRun& run, const TRunSettings& settings, std::span<const double> times) {
  const std::size_t n = run.Measured.size();
  const auto reservoirs = static_cast<std::size_t>(run.NrOfRes);
  std::vector<std::vector<double>> upper(reservoirs - 1, std::vector<double>(n));
  run.Calculated.assign(n, 0);
  std::vector<double*> rows;
  for (auto& row : upper) rows.push_back(row.data());
  rows.push_back(run.Calculated.data());
  RouteCascadeRows(run.Alpha, run.Delta, n > 0 ? run.Measured[0] : 0, run.Recharge, rows);
  if (settings.KeepRows) {
    run.Rows = std::move(upper);
    run.Rows.push_back(run.Calculated);
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

TRun DetermineRun(const TRecordView& record, const TStoreParameters& store,
                  const TRunSettings& settings) {
  TRun run;
  const std::size_t n = record.Size();
  if ((run.Stop = Prepare(record, run)) != TRunStop::None) return run;
  if ((run.Stop = Recharge(record, store, run)) != TRunStop::None) return run;

  const auto& candidates = AlphaCandidateTable();
  auto sums = std::make_unique<TSumSqHolder>();
  ComputeSumSq(std::span<const double>(run.Measured), std::span<const double>(run.Recharge),
               run.Delta, candidates, sums->Table, settings.Pool);
  if (!SelectBestPair(sums->Table, candidates, run.NrOfRes, run.Alpha)) {
    run.Stop = TRunStop::NoFiniteFit;
    return run;
  }
  Reconstruct(run, settings, record.Time.first(n));
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
  if ((run.Stop = Prepare(record, run)) != TRunStop::None) return run;
  if ((run.Stop = Recharge(record, store, run)) != TRunStop::None) return run;
  run.NrOfRes = nrOfRes;
  run.Alpha = alpha;
  Reconstruct(run, settings, record.Time.first(record.Size()));
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
    case TRunStop::NoFiniteFit:
    case TRunStop::BadReservoirs:
    case TRunStop::BadAlpha:
      break;
  }
  return "The values are too large: no number of reservoirs and reaction factor gives a finite "
         "sum of squares. Rainfall-Runoff analysis cannot be made";
}
