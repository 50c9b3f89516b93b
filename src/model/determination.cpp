// The model determination: the number of reservoirs and the reaction factor
// of least sum of squares, and the reconstruction with them.
#include <algorithm>

#include "files/runinput.h"
#include "model/dmquorell.h"
#include "model/routing.h"
#include "model/search.h"

namespace {

constexpr double MinRunoff = 0.001;
constexpr double MinVariation = 0.001;

double AlphaCandidatesTable[CascadeColumns + 1];

}  // namespace

void TDMQuorell::DetermineModel() {
  auto& ws = AnalysisWorkspace;
  RunFailed = false;
  if (!ReadAnalysisInput(*this)) return;
  const int n = ws.AnaNrOfData;
  if (Dialogs) Dialogs->ShowPointsRead(n);
  for (int i = 1; i <= n; ++i) ws.RunMeas[i] = std::max(ws.RunMeas[i], MinRunoff);

  if (SeriesRange(ws.RunMeas, n) < MinVariation) {
    RunFailed = true;
    ShowMessage("There is no variation in runoff values. Rainfall-Runoff analysis cannot be made");
    return;
  }
  if (SeriesRange(ws.Time, n) < MinVariation) {
    RunFailed = true;
    ShowMessage("There is no variation in time Rainfall-Runoff analysis cannot be made");
    return;
  }
  if (!RoutePreReservoir(*this, TRouteVariant::Analysis)) return;

  BuildAlphaCandidates(AlphaCandidatesTable);
  ComputeSumSq(ws.RunMeas, ws.Rech, n, ws.Delta, AlphaCandidatesTable, ws.SumSq);

  if (!SelectBestPair(ws.SumSq, AlphaCandidatesTable, ws.NrOfRes, ws.Alpha)) {
    // A fit that was never chosen must not be printed as the result.
    RunFailed = true;
    ShowMessage("The values are too large: no number of reservoirs and reaction factor gives a "
                "finite sum of squares. Rainfall-Runoff analysis cannot be made");
    return;
  }

  RouteCascade(ws.Alpha, ws.NrOfRes, TRouteVariant::Analysis);
  WriteReconstructionResults();
}
