// The model determination: the number of reservoirs and the reaction factor
// of least sum of squares, and the reconstruction with them.
#include <algorithm>

#include "model/dmquorell.h"
#include "model/routing.h"
#include "model/runinput.h"
#include "model/engine.h"

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
  const auto n = static_cast<std::size_t>(std::max(ws.AnaNrOfData, 0));
  const TRecordView record{{ws.Time + 1, n}, {ws.Rain + 1, n}, {ws.RunMeas + 1, n}};
  TRunSettings settings;
  settings.Pool = WorkPool;
  settings.KeepRows = true;
  const TRun run = DetermineRun(record, ws.Store(), settings);

  // The workspace and the flags as the design's routines leave them.
  const bool routed = run.Stop != TRunStop::NoRunoffVariation && run.Stop != TRunStop::NoTimeVariation;
  if (routed) {
    ws.AnaIniSto = run.Store.IniSto;
    ws.AnaTimeError = run.Stop == TRunStop::TimeSequence;
    if (run.Route.HasStep) ws.Delta = run.Route.LastStep;
    // Checked at every step from the second point on; a single point keeps
    // the flag as it was.
    if (run.Route.StorageChecked) ws.StorageOk = run.Stop != TRunStop::NoStorage;
    std::copy(run.Recharge.begin(), run.Recharge.end(), ws.Rech + 1);
  }
  if (!run.Ok()) {
    // A record changed since it was checked, or no finite fit: the run
    // fails as a whole; a time or storage stop is told by its flag.
    if (run.Stop != TRunStop::TimeSequence && run.Stop != TRunStop::NoStorage) RunFailed = true;
    ShowMessage(DeterminationStopText(run.Stop));
    return false;
  }
  ws.NrOfRes = run.NrOfRes;
  ws.Alpha = run.Alpha;
  for (std::size_t r = 0; r < run.Rows.size(); ++r)
    std::copy(run.Rows[r].begin(), run.Rows[r].end(), &ws.Run[r + 1][1]);
  std::copy(run.Calculated.begin(), run.Calculated.end(), ws.RunCalc + 1);
  return true;
}
