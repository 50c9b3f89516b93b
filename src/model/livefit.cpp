#include "model/livefit.h"

#include <algorithm>

#include "model/dmquorell.h"
#include "model/routing.h"

std::optional<TRunInput> StoredDetermination(const TDMQuorell& dm) {
  TInputFileWrite file;
  if (!dm.InputFileRecord(file)) return std::nullopt;
  return ReadDeterminationInput(FormatInputFile(file), AnaCapacity);
}

TRecord RecordOf(const std::vector<TInputPoint>& points) {
  TRecord record;
  for (const TInputPoint& point : points) {
    record.Time.push_back(point.Time);
    record.Rain.push_back(point.Rain);
    record.Runoff.push_back(point.Runoff);
  }
  return record;
}

TLiveFit RefitLive(const TRecordView& record, const TStoreParameters& store, TWorkPool* pool,
                   const TExtensions& extensions, std::span<const double> pet) {
  TRunSettings settings;
  settings.Pool = pool;
  settings.Extensions = extensions;
  if (extensions.Evaporation) settings.Pet = pet;
  TRun run = DetermineRun(record, store, settings);
  TLiveFit fit;
  fit.Store = store;
  fit.Extensions = extensions;
  const std::size_t n = record.Size();
  fit.Time.assign(record.Time.begin(), record.Time.begin() + static_cast<std::ptrdiff_t>(n));
  fit.Rain.assign(record.Rain.begin(), record.Rain.begin() + static_cast<std::ptrdiff_t>(n));
  fit.Measured = MeasuredAsTaken(record);
  fit.Valid = run.Ok();
  if (!fit.Valid) return fit;
  fit.NrOfRes = run.NrOfRes;
  fit.Alpha = run.Alpha;
  fit.Fit = run.Fit;
  fit.Recharge = std::move(run.Recharge);
  fit.Calculated = std::move(run.Calculated);
  fit.Quick = std::move(run.Quick);
  fit.Slow = std::move(run.Slow);
  fit.Warnings = std::move(run.Warnings);
  return fit;
}
