#include "model/routing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "model/dmquorell.h"

namespace {

struct TPreReservoirInput {
  const double* Time;
  const double* Rain;
  double* Rech;
  double MaxSto;
  double IniSto;
  double MaxEsc;
  int Points;
};

}  // namespace

double SeriesRange(const double* series, int n) {
  if (n < 1) return 0;
  const auto [lo, hi] = std::minmax_element(series + 1, series + n + 1);
  return *hi - *lo;
}

bool RoutePreReservoir(TDMQuorell& dm, TRouteVariant variant) {
  auto& ana = AnalysisWorkspace;
  auto& pred = PredictionWorkspace;
  const bool analysis = variant == TRouteVariant::Analysis;
  if (analysis && ana.AnaIniSto == 0) ana.AnaIniSto = 0.1 * ana.AnaMaxSto;
  const TPreReservoirInput in =
      analysis ? TPreReservoirInput{ana.Time, ana.Rain, ana.Rech, ana.AnaMaxSto, ana.AnaIniSto,
                                    ana.AnaMaxEsc, ana.AnaNrOfData}
               : TPreReservoirInput{pred.PredTime, pred.PredRain, pred.PredRech, pred.PredMaxSto,
                                    pred.PredIniSto, pred.PredMaxEsc, pred.PredNrOfData};
  bool& timeError = analysis ? ana.AnaTimeError : pred.PredTimeError;
  const int n = in.Points;
  if (n < 1) {
    timeError = false;
    return true;
  }
  std::vector<double> actSto(n + 1), stoDef(n + 1);

  // First point: no escape yet; the reservoir overflows unless the rain
  // stays below the initial deficit.
  const double stoDef0 = in.MaxSto - in.IniSto;
  in.Rech[1] = in.Rain[1] - stoDef0;
  actSto[1] = in.MaxSto;
  stoDef[1] = 0;
  if (in.Rech[1] < 0) {
    stoDef[1] = stoDef0 - in.Rain[1];
    in.Rech[1] = 0;
    actSto[1] = in.IniSto + in.Rain[1];
  }

  timeError = false;
  for (int i = 2; i <= n; ++i) {
    const double d = in.Time[i] - in.Time[i - 1];
    if (analysis) ana.Delta = d;
    if (analysis ? d < 0 : d <= 0) {
      timeError = true;
      dm.ShowMessage(analysis
                         ? "Incorrect time sequence encountered. Please correct the input file"
                         : "Incorrect time sequence encountered Please correct the input file");
      return false;
    }
    ana.StorageOk = true;
    if (in.MaxSto <= 0) {
      dm.ShowMessage("The Maximum Storage must be > 0");
      ana.StorageOk = false;
      return false;
    }
    const double r = actSto[i - 1] / in.MaxSto;
    const double actEsc = in.MaxEsc * d * r;
    stoDef[i] = stoDef[i - 1] + actEsc;
    in.Rech[i] = in.Rain[i] - stoDef[i];
    actSto[i] = in.MaxSto;
    stoDef[i] = 0;
    if (in.Rech[i] < 0) {
      stoDef[i] = stoDef[i - 1] + actEsc - in.Rain[i];
      in.Rech[i] = 0;
      actSto[i] = actSto[i - 1] - actEsc + in.Rain[i];
    }
  }
  return true;
}

void RouteCascade(double alpha, int n, TRouteVariant variant) {
  auto& ana = AnalysisWorkspace;
  auto& pred = PredictionWorkspace;
  const bool analysis = variant == TRouteVariant::Analysis;
  const int points = analysis ? ana.AnaNrOfData : pred.PredNrOfData;
  const double* rech = analysis ? ana.Rech : pred.PredRech;
  const double c = std::exp(-alpha * ana.Delta);
  const double share = 1 - c;
  auto& run = ana.Run;
  run[1][1] = analysis ? ana.RunMeas[1] : pred.PredRunIni;
  // Reservoirs outside, points inside: each value needs only the one before
  // it in its row and the one above it in its column.
  for (int r = 1; r <= n; ++r) {
    if (r >= 2) run[r][1] = c * run[r - 1][1];
    for (int t = 2; t <= points; ++t) {
      const double inflow = r == 1 ? rech[t] : run[r - 1][t];
      run[r][t] = c * run[r][t - 1] + share * inflow;
    }
  }
  for (int t = 1; t <= points; ++t) ana.RunCalc[t] = run[n][t];
  if (!analysis) ana.RunCalc[1] = pred.PredRunIni;
}

std::optional<std::vector<double>> ModelRunoff(TDMQuorell& dm, const std::vector<double>& times,
                                               const std::vector<double>& rains, double maxSto,
                                               double iniSto, double maxEsc, int nrOfRes,
                                               double alpha, double runIni) {
  auto& pw = PredictionWorkspace;
  auto& ws = AnalysisWorkspace;
  const int n = static_cast<int>(std::min(times.size(), rains.size()));
  if (n > PredCapacity) return std::nullopt;
  pw.PredNrOfData = n;
  for (int i = 1; i <= n; ++i) {
    pw.PredTime[i] = times[i - 1];
    pw.PredRain[i] = rains[i - 1];
  }
  pw.PredMaxSto = maxSto;
  pw.PredIniSto = iniSto;
  pw.PredMaxEsc = maxEsc;
  pw.PredRunIni = runIni;
  if (!RoutePreReservoir(dm, TRouteVariant::Prediction)) return std::nullopt;
  ws.Delta = n >= 2 ? times[n - 1] - times[n - 2] : 1;
  RouteCascade(alpha, nrOfRes, TRouteVariant::Prediction);
  return std::vector<double>(ws.RunCalc + 1, ws.RunCalc + n + 1);
}
