// Beside the designed model, each on its own or both: a slow flow path (a
// share of each recharge through one slow linear reservoir) and an escape
// rate driven by the potential evaporation of the record. With neither the
// model is the designed one, to the last bit.
#pragma once

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
