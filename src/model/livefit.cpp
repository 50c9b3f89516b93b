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
  auto& ws = dm.Analysis();
  ws.SetStore(store);
  TLiveFit fit;
  fit.Store = store;
  {
    TDialogsSilenced quiet(dm);
    fit.Valid = dm.FitCascade();
    dm.RunFailed = false;
  }
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
  fit.Warnings = DeterminationWarnings(store, fit.Time, fit.Alpha);
  return fit;
}
