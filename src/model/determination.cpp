// The model determination: the number of reservoirs and the reaction factor
// of least sum of squares, and the reconstruction with them.
#include <algorithm>

#include "model/dmquorell.h"
#include "model/routing.h"
#include "model/runinput.h"
#include "model/search.h"

void TDMQuorell::DetermineModel() {
  RunFailed = false;
  if (!PrepareDetermination()) return;
  if (!FitCascade()) return;
  WriteReconstructionResults();
}

bool TDMQuorell::PrepareDetermination() {
  if (!ReadAnalysisInput(*this)) return false;
  return CheckDeterminationSeries(*this);
}

bool TDMQuorell::PrepareDetermination(const TRunInput& run) {
  if (!LoadAnalysisInput(*this, run)) return false;
  return CheckDeterminationSeries(*this);
}

bool CheckDeterminationSeries(TDMQuorell& dm) {
  auto& ws = dm.Analysis();
  TUserDialogs* dialogs = dm.GetDialogs();
  const int n = ws.AnaNrOfData;
  if (dialogs) dialogs->ShowPointsRead(n);
  for (int i = 1; i <= n; ++i) ws.RunMeas[i] = std::max(ws.RunMeas[i], MinRunoff);

  if (SeriesRange(ws.RunMeas, n) < MinVariation) {
    dm.RunFailed = true;
    dm.ShowMessage("There is no variation in runoff values. Rainfall-Runoff analysis cannot be made");
    return false;
  }
  if (SeriesRange(ws.Time, n) < MinVariation) {
    dm.RunFailed = true;
    dm.ShowMessage("There is no variation in time Rainfall-Runoff analysis cannot be made");
    return false;
  }
  return true;
}

bool TDMQuorell::FitCascade() {
  auto& ws = Analysis();
  if (!RoutePreReservoir(*this, TRouteVariant::Analysis)) return false;

  const auto& candidates = AlphaCandidateTable();
  ComputeSumSq(ws.RunMeas, ws.Rech, ws.AnaNrOfData, ws.Delta, candidates, ws.SumSq);

  if (!SelectBestPair(ws.SumSq, candidates, ws.NrOfRes, ws.Alpha)) {
    // A fit that was never chosen must not be printed as the result.
    RunFailed = true;
    ShowMessage("The values are too large: no number of reservoirs and reaction factor gives a "
                "finite sum of squares. Rainfall-Runoff analysis cannot be made");
    return false;
  }

  RouteCascade(*this, ws.Alpha, ws.NrOfRes, TRouteVariant::Analysis);
  return true;
}
