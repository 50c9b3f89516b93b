// Time of the least-squares search: the straightforward computation against
// the one the program uses, for 100, 500 and 1500 points.
//
//   build/bench/tolvane_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "model/search.h"

namespace {

struct TTable {
  TSumSqTable T;
};

struct TSeries {
  std::vector<double> RunMeas{0}, Rech{0};
};

// A daily-like series: dry spells, storms, a runoff that follows them.
TSeries MakeSeries(int n) {
  std::mt19937 gen(42);
  TSeries s;
  double q = 1;
  for (int t = 1; t <= n; ++t) {
    const double u = static_cast<double>(gen()) / 4294967296.0;
    const double rain = u < 0.2 ? 30 * (static_cast<double>(gen()) / 4294967296.0) : 0;
    q = 0.9 * q + 0.1 * rain;
    s.RunMeas.push_back(std::max(0.001, q * (0.95 + 0.1 * (static_cast<double>(gen()) / 4294967296.0))));
    s.Rech.push_back(rain);
  }
  return s;
}

template <void (*Compute)(const double*, const double*, int, double,
                          const double (&)[CascadeColumns + 1], TSumSqTable&)>
void Search(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const TSeries s = MakeSeries(n);
  static double candidates[CascadeColumns + 1];
  BuildAlphaCandidates(candidates);
  auto table = std::make_unique<TTable>();
  for (auto _ : state) {
    Compute(s.RunMeas.data(), s.Rech.data(), n, 1.0, candidates, table->T);
    benchmark::DoNotOptimize(table->T[5][10000]);
  }
}

}  // namespace

BENCHMARK(Search<ComputeSumSqReference>)->Name("Straightforward")->Arg(100)->Arg(500)->Arg(1500)->Unit(benchmark::kMillisecond);
BENCHMARK(Search<ComputeSumSq>)->Name("Fast")->Arg(100)->Arg(500)->Arg(1500)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
