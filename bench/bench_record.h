// The record the benchmarks fit: daily-like, with dry spells and storms, put
// into dm's sheet in the writer's layout as Save/Run would give it.
#pragma once

#include <random>

#include "model/dmquorell.h"
#include "sheet/sheetseries.h"

inline void FillDailyRecord(TDMQuorell& dm, int n) {
  std::mt19937 gen(7);
  auto uniform = [&] { return static_cast<double>(gen()) / 4294967296.0; };
  dm.IsAnalysis = true;
  dm.RunTag = " Ana";
  dm.MaxSto = 20;
  dm.IniSto = 10;
  dm.MaxEsc = 1;
  dm.NrOfData = n;
  PrepareWriteLayout(dm, n);
  double q = 1;
  for (int t = 1; t <= n; ++t) {
    const double rain = uniform() < 0.25 ? 25 * uniform() : 0;
    q = 0.92 * q + 0.05 * rain;
    StoreWriteRow(dm, t, t, rain, q * (0.95 + 0.1 * uniform()), true);
  }
}
