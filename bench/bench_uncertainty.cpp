// Speed of the uncertainty analysis: one sample judged the quick way and by
// the whole determination; 10 000 samples with their confirmation and bands
// at 1500 and 11 000 points; and the bands of another behavioural set from
// a table of every run, as a window redraws them.
//
//   build/bench/tolvane_bench_uncertainty
#include <benchmark/benchmark.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "made_record.h"
#include "model/engine.h"
#include "model/uncertainty.h"
#include "model/workpool.h"

namespace {

const TRecord& Record(int n) { return MadeDailyRecord(n); }

// range(0) points, range(1): 1 each sample by the whole determination.
void OneSample(benchmark::State& state) {
  const TRecord& record = Record(static_cast<int>(state.range(0)));
  TUncertaintySettings settings;
  settings.Samples = 16;
  settings.DetermineAll = state.range(1) == 1;
  for (auto _ : state) benchmark::DoNotOptimize(SampleUncertainty(record.View(), settings, nullptr));
  state.SetItemsProcessed(state.iterations() * settings.Samples);
  state.SetLabel(settings.DetermineAll ? "whole determination" : "quick guess");
}

// 10 000 samples of range(0) points on all cores: sampled, the best 10 %
// confirmed, the bands made.
void Whole(benchmark::State& state) {
  const TRecord& record = Record(static_cast<int>(state.range(0)));
  TWorkPool pool;
  TUncertaintySettings settings;
  int determined = 0;
  double ratio = 0, gain = 0;
  for (auto _ : state) {
    auto samples = SampleUncertainty(record.View(), settings, &pool);
    const auto guessed = samples;
    std::string error;
    const auto behavioural = SelectConfirmed(record.View(), samples, {std::nullopt, 0.1}, settings,
                                             &pool, error, &determined);
    if (!behavioural) {
      state.SkipWithError(error.c_str());
      return;
    }
    const TBands bands = ComputeBands(record.View(), samples, *behavioural, settings, &pool);
    ratio = JudgeBands(record.Runoff, bands, 0).ContainingRatio;
    // How much the whole determination found above the quick guess.
    for (std::size_t i = 0; i < samples.size(); ++i)
      if (samples[i].Determined) gain = std::max(gain, samples[i].Objective - guessed[i].Objective);
  }
  state.counters["determined"] = determined;
  state.counters["gain"] = gain;
  state.counters["containing"] = ratio;
}

// The bands of a behavioural set of range(1) per cent of range(0) samples
// at 1500 points, from the table.
void Reband(benchmark::State& state) {
  const TRecord& record = Record(1500);
  TWorkPool pool;
  TUncertaintySettings settings;
  settings.Samples = static_cast<int>(state.range(0));
  const auto samples = SampleUncertainty(record.View(), settings, &pool);
  const TBandTable table(record.View(), samples, settings, &pool);
  std::string error;
  const auto b = SelectBehavioural(samples, {std::nullopt, static_cast<double>(state.range(1)) / 100}, error);
  if (!b) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) benchmark::DoNotOptimize(table.Bands(*b).Q50.data());
}

}  // namespace

BENCHMARK(OneSample)->ArgsProduct({{1500, 11000}, {0, 1}})->ArgNames({"points", "whole"})
    ->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Whole)->Arg(1500)->Arg(11000)->ArgName("points")->Unit(benchmark::kSecond)
    ->UseRealTime()->Iterations(1);
BENCHMARK(Reband)->ArgsProduct({{3000, 10000}, {10, 100}})->ArgNames({"samples", "percent"})
    ->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
