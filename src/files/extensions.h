// Beside the designed model, each on its own or both: a slow flow path (a
// share of each recharge through one slow linear reservoir) and an escape
// rate driven by the potential evaporation of the record. With neither the
// model is the designed one, to the last bit.
#pragma once

#include <cmath>
#include <compare>

struct TExtensions {
  // The slow path: BaseShare (0 to 1) of each recharge goes through one
  // linear reservoir of reaction factor BaseAlpha; the rest through the
  // cascade.
  bool SlowPath = false;
  double BaseShare = 0;
  double BaseAlpha = 0;
  // The escape of each step scaled by PET / PetMean, PetMean the mean of
  // the record the model was fitted on; the series comes with the record.
  bool Evaporation = false;
  double PetMean = 0;
  bool Any() const { return SlowPath || Evaporation; }
  auto operator<=>(const TExtensions&) const = default;
};

// The search range of the slow reservoir's reaction factor, per time unit.
inline constexpr double BaseAlphaLow = 0.0005;
inline constexpr double BaseAlphaHigh = 0.5;

// The range on a log scale, as the searches and the sliders take it: the
// reaction factor at x of the way from low (0) to high (1), and back.
inline double BaseAlphaAt(double x) {
  return BaseAlphaLow * std::pow(BaseAlphaHigh / BaseAlphaLow, x);
}
inline double BaseAlphaShare(double alpha) {
  return std::log(alpha / BaseAlphaLow) / std::log(BaseAlphaHigh / BaseAlphaLow);
}
