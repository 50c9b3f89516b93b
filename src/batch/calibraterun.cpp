#include "batch/calibraterun.h"

#include "model/routing.h"
#include "model/validation.h"

std::string EvaporationFault(const TValidationData& data) {
  if (data.Pets.empty())
    return data.Path + ": --pet-column needs DATA as a table: an input file holds no "
                       "potential evaporation";
  if (!(PetMeanOf(data.Pets) > 0))
    return data.Path + ": the potential evaporation is 0 throughout: the escape cannot "
                       "follow it (leave out --pet-column)";
  return "";
}

std::string RecordFault(const TValidationData& data, const TStoreParameters& own, int warmUp) {
  const TRun check = DetermineRun(data.View(), own);
  // No fit for the file's own values does not end it; anything else does.
  if (!check.Ok() && check.Stop != TRunStop::NoFiniteFit && check.Stop != TRunStop::NoStorage)
    return DeterminationStopText(check.Stop);
  if (const std::string why = CheckWarmUp(warmUp, static_cast<int>(data.Times.size())); !why.empty())
    return data.Path + ": " + why;
  return "";
}

TModelFile ModelFileOf(const TCalibrationPoint& best, TObjective objective, int warmUp,
                       const TValidationData& data) {
  TModelFile m;
  m.Store = best.Store;
  m.Reservoirs = best.NrOfRes;
  m.Alpha = best.Alpha;
  m.Objective = InfoOf(objective).Key;
  m.WarmUp = warmUp;
  m.TimeUnit = data.TimeUnit();
  m.First = data.First();
  m.Last = data.Last();
  m.Points = static_cast<int>(data.Times.size());
  m.Source = data.Path;
  for (const auto& info : Criteria) m.Criteria.emplace_back(info.Key, best.Fit[info.Id]);
  m.Extensions = best.Extensions;
  m.Pet = data.PetColumn;
  return m;
}
