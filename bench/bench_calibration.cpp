// Speed of the calibration of the pre-reservoir: one candidate judged the
// quick way and the whole way, and whole calibrations for every objective,
// for four years of days (1500 points) and thirty (10958), on one thread
// and on all.
//
//   build/bench/tolvane_bench_calibration
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "made_record.h"
#include "model/calibration.h"
#include "model/engine.h"
#include "model/workpool.h"

namespace {

const TRecord& Record(int n) { return MadeDailyRecord(n); }

// Whole calibrations of the record of range(0) points for the objective of
// range(1) on range(2) threads (0: all), with the settings given.
void Run(benchmark::State& state, TCalibrationSettings settings, const std::string& label) {
  const TRecord& record = Record(static_cast<int>(state.range(0)));
  TWorkPool pool(static_cast<unsigned>(state.range(2)));
  settings.Objective = static_cast<TObjective>(state.range(1));
  int evaluations = 0;
  double objective = 0;
  for (auto _ : state) {
    TCalibration calibration(record.View(), settings, &pool);
    objective = calibration.Search().Objective;
    evaluations = calibration.Evaluations();
  }
  state.counters["candidates"] = evaluations;
  state.counters["objective"] = objective;
  state.SetLabel(std::string(InfoOf(settings.Objective).Key) + label);
}

void Calibrate(benchmark::State& state) { Run(state, {}, ""); }

// A calibration with the slow path and the evaporation both on: the store,
// the slow path's share and reaction factor searched together, the escape
// following a seasonal PET.
void CalibrateExtended(benchmark::State& state) {
  static std::vector<double> pet;
  const std::size_t n = static_cast<std::size_t>(state.range(0));
  pet.clear();
  for (std::size_t t = 0; t < n; ++t)
    pet.push_back(2 + 1.5 * std::sin(2 * 3.141592653589793 * static_cast<double>(t) / 365));
  TCalibrationSettings settings;
  settings.SlowPath = true;
  settings.Pet = pet;
  Run(state, settings, ", slow path and PET");
}

// One candidate: the whole determination, as Evaluate judges it.
void Evaluate(benchmark::State& state) {
  const TRecord& record = Record(static_cast<int>(state.range(0)));
  TWorkPool pool(static_cast<unsigned>(state.range(1)));
  TCalibration calibration(record.View(), {}, &pool);
  double maxSto = 10;
  for (auto _ : state) {
    maxSto += 0.01;
    benchmark::DoNotOptimize(calibration.Evaluate({maxSto, maxSto / 2, maxSto / 20}).Objective);
  }
  state.SetItemsProcessed(state.iterations());
}

}  // namespace

BENCHMARK(Evaluate)->ArgsProduct({{1500, 10958}, {1, 0}})->ArgNames({"points", "threads"})->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Calibrate)
    ->ArgsProduct({{1500}, {0, 1, 2, 3, 4, 5}, {0}})
    ->ArgNames({"points", "objective", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(Calibrate)
    ->ArgsProduct({{1500, 10958}, {1}, {1, 0}})
    ->ArgNames({"points", "objective", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

BENCHMARK(CalibrateExtended)
    ->ArgsProduct({{1500}, {1, 2}, {0}})
    ->ArgNames({"points", "objective", "threads"})
    ->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
