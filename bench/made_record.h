// The record the calibration and uncertainty benchmarks fit: daily-like,
// made by the model itself from a known store, with noise on the runoff;
// made once for each length.
#pragma once

#include <random>
#include <utility>
#include <vector>

#include "model/engine.h"

inline const TRecord& MadeDailyRecord(int n) {
  static std::vector<std::pair<int, TRecord>> made;
  for (const auto& [points, record] : made)
    if (points == n) return record;
  std::mt19937 gen(11);
  auto uniform = [&] { return static_cast<double>(gen()) / 4294967296.0; };
  TRecord r;
  for (int t = 1; t <= n; ++t) {
    r.Time.push_back(t);
    r.Rain.push_back(uniform() < 0.3 ? 30 * uniform() * uniform() : 0);
  }
  const TRun run = PredictRun(r.Time, r.Rain, {60, 30, 2.5}, 3, 0.35, 0.8);
  for (double q : run.Calculated) r.Runoff.push_back(q * (0.9 + 0.2 * uniform()));
  made.emplace_back(n, r);
  return made.back().second;
}
