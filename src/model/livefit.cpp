#include "model/livefit.h"

#include <algorithm>

#include "model/dmquorell.h"
#include "model/runwarnings.h"

namespace {

std::vector<double> Points(const double* series, int n) {
  return std::vector<double>(series + 1, series + 1 + std::max(n, 0));
}

}  // namespace

std::optional<TRunInput> StoredDetermination(const TDMQuorell& dm) {
  TInputFileWrite file;
  if (!dm.InputFileRecord(file)) return std::nullopt;
  return ReadDeterminationInput(FormatInputFile(file), AnaCapacity);
}

TLiveFit RefitLive(TDMQuorell& dm, const TStoreParameters& store) {
  TUserDialogs* const saved = dm.GetDialogs();
  dm.SetDialogs(nullptr);
  auto& ws = dm.Analysis();
  ws.SetStore(store);
  TLiveFit fit;
  fit.Store = store;
  fit.Valid = dm.FitCascade();
  dm.RunFailed = false;
  dm.SetDialogs(saved);
  const int n = ws.AnaNrOfData;
  fit.Time = Points(ws.Time, n);
  fit.Rain = Points(ws.Rain, n);
  fit.Measured = Points(ws.RunMeas, n);
  if (!fit.Valid) return fit;
  fit.NrOfRes = ws.NrOfRes;
  fit.Alpha = ws.Alpha;
  fit.Fit = FitCriteria(ws.RunMeas, ws.RunCalc, n);
  fit.Recharge = Points(ws.Rech, n);
  fit.Calculated = Points(ws.RunCalc, n);
  for (const std::string& warning :
       {EscapeWarning(store.MaxSto, store.MaxEsc, ws.Time, n), AlphaEdgeWarning(ws.Alpha)}) {
    if (warning.empty()) continue;
    if (!fit.Warnings.empty()) fit.Warnings += "\n";
    fit.Warnings += warning;
  }
  return fit;
}
