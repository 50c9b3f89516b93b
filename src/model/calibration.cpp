#include "model/calibration.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "base/numformat.h"
#include "base/numparse.h"
#include "model/dmquorell.h"

namespace {

// Beyond this the parameter field of the input file widens past any sense.
constexpr double HighestMaxSto = 100000;

// Grid of the global start: maximum storages log-spaced over the range,
// initial storage and escape rate as shares of their bounds.
constexpr int StorageSteps = 16;
constexpr double IniShares[] = {0.02, 0.1, 0.25, 0.5, 0.75, 1};
constexpr double EscShares[] = {0, 0.1, 0.25, 0.5, 0.75, 1};
// Local refinement: how many of the best points it starts from, its first
// and last steps in the search coordinates, and a limit on its work.
constexpr int RefinedStarts = 4;
constexpr double FirstStep = 0.125;
constexpr double LastStep = 1e-4;
constexpr int RefineLimit = 400;

// The stored value nearest to value within [low, high], stepping by one
// unit in the last place the format keeps (the caller makes sure there is
// such a value).
double StoredWithin(double value, double low, double high) {
  double stored = StoredParameter(std::clamp(value, low, high));
  while (stored < low) stored = StoredParameter(stored + (stored >= 1 ? 0.01 : 0.001));
  while (stored > high) stored = StoredParameter(stored - (stored > 1 ? 0.01 : 0.001));
  return stored;
}

}  // namespace

const char* ObjectiveName(TObjective objective) { return InfoOf(objective).Name; }

double ObjectiveOf(TObjective objective, const TFitCriteria& fit) {
  const double value = fit[objective];
  return std::isnan(value) ? -std::numeric_limits<double>::infinity() : value;
}

double StoredParameter(double value) {
  return ParseReal(FormatParameter(value, 0)).value_or(0);
}

std::string CheckCalibrationBounds(const TCalibrationBounds& bounds) {
  const double low = bounds.MaxStoLow, high = bounds.MaxStoHigh;
  if (!std::isfinite(low) || !std::isfinite(high) || low <= 0 || high < low)
    return "the maximum storage needs a range LO:HI with 0 < LO <= HI";
  if (high > HighestMaxSto) return "the maximum storage can be searched up to 100000 mm";
  if (StoredWithin(low, low, HighestMaxSto) > high)
    return "no maximum storage an input file can hold (two decimals from 1 on, three below) "
           "lies in that range";
  return "";
}

bool WithinBounds(const TStoreParameters& s, const TCalibrationBounds& bounds) {
  return s.MaxSto >= bounds.MaxStoLow && s.MaxSto <= bounds.MaxStoHigh && s.IniSto > 0 &&
         s.IniSto <= s.MaxSto && s.MaxEsc >= 0 && !(s.MaxSto / 10 < s.MaxEsc);
}

TStoreParameters StoredWithinBounds(const TStoreParameters& store,
                                    const TCalibrationBounds& bounds) {
  TStoreParameters s;
  s.MaxSto = StoredWithin(store.MaxSto, bounds.MaxStoLow, bounds.MaxStoHigh);
  s.IniSto = StoredWithin(store.IniSto, 0.001, s.MaxSto);
  s.MaxEsc = StoredWithin(store.MaxEsc, 0, s.MaxSto / 10);
  return s;
}

TCalibrationBounds BoundsAround(const TStoreParameters& store) {
  TCalibrationBounds bounds;
  if (store.MaxSto > bounds.MaxStoHigh) bounds.MaxStoHigh = StoredParameter(store.MaxSto);
  if (store.MaxSto > 0 && store.MaxSto < bounds.MaxStoLow)
    bounds.MaxStoLow = std::max(0.001, StoredParameter(store.MaxSto));
  return bounds;
}

TCalibration::TCalibration(TDMQuorell& dm, TObjective objective, TCalibrationBounds bounds,
                           int warmUp)
    : Dm(dm), Objective(objective), Bounds(bounds), WarmUp(warmUp) {}

TStoreParameters TCalibration::ToStore(const TCoordinates& x) const {
  const double low = Bounds.MaxStoLow, high = Bounds.MaxStoHigh;
  TStoreParameters s;
  s.MaxSto = StoredWithin(low * std::pow(high / low, x.U), low, high);
  s.IniSto = StoredWithin(x.Ini * s.MaxSto, 0.001, s.MaxSto);
  s.MaxEsc = StoredWithin(x.Esc * s.MaxSto / 10, 0, s.MaxSto / 10);
  return s;
}

TCalibration::TCoordinates TCalibration::ToCoordinates(const TStoreParameters& s) const {
  const double span = std::log(Bounds.MaxStoHigh / Bounds.MaxStoLow);
  return {span > 0 ? std::log(s.MaxSto / Bounds.MaxStoLow) / span : 0, s.IniSto / s.MaxSto,
          s.MaxEsc / (s.MaxSto / 10)};
}

TCalibrationPoint TCalibration::Evaluate(const TStoreParameters& store) {
  if (auto it = Seen.find(store); it != Seen.end()) return it->second;
  TDialogsSilenced quiet(Dm);
  auto& ws = Dm.Analysis();
  ws.SetStore(store);
  TCalibrationPoint point;
  point.Store = store;
  point.Valid = Dm.FitCascade();
  Dm.RunFailed = false;
  if (point.Valid) {
    point.NrOfRes = ws.NrOfRes;
    point.Alpha = ws.Alpha;
    point.Fit = FitCriteria(ws.RunMeas + WarmUp, ws.RunCalc + WarmUp, ws.AnaNrOfData - WarmUp);
    point.Objective = ObjectiveOf(Objective, point.Fit);
  }
  ++EvaluationCount;
  Seen.emplace(store, point);
  return point;
}

TCalibrationPoint TCalibration::Visit(const TStoreParameters& store, const TProgress& progress) {
  const TCalibrationPoint point = Evaluate(store);
  if (point.Objective > Best.Objective) Best = point;
  if (progress) progress(EvaluationCount, Best);
  return point;
}

void TCalibration::Refine(TCoordinates x, TCalibrationPoint at,
                          const TProgress& progress) {
  double step[3] = {FirstStep, FirstStep, FirstStep};
  for (int moves = 0; moves < RefineLimit; ++moves) {
    // The best of the six neighbours; a tie does not move.
    TCoordinates bestX = x;
    TCalibrationPoint bestPoint = at;
    for (int axis = 0; axis < 3; ++axis) {
      for (double sign : {-1.0, 1.0}) {
        TCoordinates y = x;
        double& c = axis == 0 ? y.U : axis == 1 ? y.Ini : y.Esc;
        c = std::clamp(c + sign * step[axis], 0.0, 1.0);
        const TCalibrationPoint p = Visit(ToStore(y), progress);
        if (p.Objective > bestPoint.Objective) {
          bestPoint = p;
          bestX = y;
        }
      }
    }
    if (bestPoint.Objective > at.Objective) {
      x = bestX;
      at = bestPoint;
      continue;
    }
    if (step[0] <= LastStep) break;
    for (double& s : step) s /= 2;
  }
}

TCalibrationPoint TCalibration::Search(const std::optional<TStoreParameters>& start,
                                       const TProgress& progress) {
  Best = TCalibrationPoint();
  struct TStart {
    TCoordinates X;
    TCalibrationPoint Point;
  };
  std::vector<TStart> grid;
  for (int k = 0; k <= StorageSteps; ++k)
    for (double ini : IniShares)
      for (double esc : EscShares) {
        const TCoordinates x{static_cast<double>(k) / StorageSteps, ini, esc};
        grid.push_back({x, Visit(ToStore(x), progress)});
      }
  // The best few distinct points, earlier ones first among equals.
  std::stable_sort(grid.begin(), grid.end(), [](const TStart& a, const TStart& b) {
    return a.Point.Objective > b.Point.Objective;
  });
  std::vector<TStart> starts;
  for (const TStart& s : grid) {
    if (static_cast<int>(starts.size()) == RefinedStarts) break;
    const bool again = std::any_of(starts.begin(), starts.end(),
                                   [&](const TStart& t) { return t.Point.Store == s.Point.Store; });
    if (!again && s.Point.Valid) starts.push_back(s);
  }
  if (start && WithinBounds(*start, Bounds)) {
    const TCalibrationPoint p = Visit(*start, progress);
    if (p.Valid) starts.push_back({ToCoordinates(*start), p});
  }
  for (const TStart& s : starts) Refine(s.X, s.Point, progress);
  return Best;
}
