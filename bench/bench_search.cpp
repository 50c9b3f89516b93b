// Time of the least-squares search: the straightforward computation against
// the one the program uses, on one thread and on all, for 100 to 10958
// points (30 years of days), and the quick guess of the calibration.
//
//   build/bench/tolvane_bench
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "model/search.h"
#include "model/workpool.h"

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

void Straightforward(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const TSeries s = MakeSeries(n);
  auto table = std::make_unique<TTable>();
  for (auto _ : state) {
    ComputeSumSqReference(s.RunMeas.data(), s.Rech.data(), n, 1.0, AlphaCandidateTable(), table->T);
    benchmark::DoNotOptimize(table->T[5][10000]);
  }
}

// The exhaustive search as the runs make it, on the threads given (1: the
// caller's alone).
void Fast(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const TSeries s = MakeSeries(n);
  auto table = std::make_unique<TTable>();
  TWorkPool pool(static_cast<unsigned>(state.range(1)));
  for (auto _ : state) {
    ComputeSumSq(s.RunMeas.data(), s.Rech.data(), n, 1.0, AlphaCandidateTable(), table->T, &pool);
    benchmark::DoNotOptimize(table->T[5][10000]);
  }
}

// The quick guess a calibration judges its candidates by.
void Guess(benchmark::State& state) {
  const int n = static_cast<int>(state.range(0));
  const TSeries s = MakeSeries(n);
  const std::span<const double> meas(s.RunMeas.data() + 1, static_cast<std::size_t>(n));
  const std::span<const double> rech(s.Rech.data() + 1, static_cast<std::size_t>(n));
  for (auto _ : state) benchmark::DoNotOptimize(GuessBestPair(meas, rech, 1.0, AlphaCandidateTable()).SumSq);
}

}  // namespace

BENCHMARK(Straightforward)->Arg(100)->Arg(500)->Arg(1500)->Unit(benchmark::kMillisecond);
BENCHMARK(Fast)->ArgsProduct({{100, 500, 1500, 10958}, {1, 0}})->ArgNames({"points", "threads"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Guess)->Arg(1500)->Arg(10958)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
