// The quick judgement of one store: the recharge, a quick guess at the
// reservoirs and alpha (GuessBestPair), and the runoff of that pair. What
// a search of many stores looks at before the whole determination
// confirms the few that matter; the pair it finds is a real pair, and the
// runoff is exactly that pair's.
#pragma once

#include <span>
#include <vector>

#include "files/extensions.h"
#include "files/storeparameters.h"

struct TQuickRun {
  bool Valid = false;  // the routing went through and some sum was finite
  int NrOfRes = 0;
  double Alpha = 0;
};

// measured is the runoff as the determination takes it (MinRunoff at
// least), all series of one length n, pet as long when extensions has the
// evaporation. calculated gets the n calculated values when valid.
TQuickRun QuickRun(std::span<const double> times, std::span<const double> rains,
                   std::span<const double> measured, const TStoreParameters& store,
                   const TExtensions& extensions, std::span<const double> pet,
                   std::vector<double>& calculated);

// The runoff of a store with reservoirs and alpha given, as the
// determination's reconstruction makes it (to the last bit); false when the
// routing stops. measured as above (its first value starts the cascade).
bool GivenRun(std::span<const double> times, std::span<const double> rains,
              std::span<const double> measured, const TStoreParameters& store, int nrOfRes,
              double alpha, const TExtensions& extensions, std::span<const double> pet,
              std::vector<double>& calculated);
