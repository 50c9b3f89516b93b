// The prediction: recharge and runoff from rainfall for a given cascade.
#include <string>

#include "model/dmquorell.h"
#include "model/routing.h"
#include "model/runinput.h"

namespace {

// Blanks and points go; a bare length unit becomes a rate per time unit.
std::string NormaliseRateUnit(std::string unit) {
  std::erase_if(unit, [](char c) { return c == ' ' || c == '.'; });
  for (const char* bare : {"mm", "cm", "dm", "m"})
    if (unit == bare) unit += "/t";
  return unit;
}

}  // namespace

bool TDMQuorell::ReadPrediction() {
  auto& ws = Prediction();
  if (!ReadPredictionInput(*this)) return false;
  const int nr = Analysis().NrOfRes;
  if (nr < 1 || nr > MaxReservoirs) {
    ShowMessage("The number of reservoirs in the input file \"" + FileName + "\" is " +
                std::to_string(nr) + "; it must be 1 to 5");
    RunFailed = true;
    return false;
  }
  ws.RateUnit = NormaliseRateUnit(ws.RateUnit);

  ws.PredNoVariation = false;
  const int n = ws.PredNrOfData;
  if (SeriesRange(ws.PredTime, n) < 0.001) {
    ws.PredNoVariation = true;
    ShowMessage("There is no variation in time The hydrograph cannot be made");
    return false;
  }
  return RoutePreReservoir(*this, TRouteVariant::Prediction);
}

void TDMQuorell::RoutePrediction() {
  auto& ws = Prediction();
  auto& ana = Analysis();
  const int n = ws.PredNrOfData;
  if (n >= 2) ana.Delta = ws.PredTime[n] - ws.PredTime[n - 1];
  RouteCascade(*this, ana.Alpha, ana.NrOfRes, TRouteVariant::Prediction);
}

void TDMQuorell::PredictRunoff() {
  RunFailed = false;
  if (!ReadPrediction()) return;
  RoutePrediction();
  WritePredictionResults();
}
