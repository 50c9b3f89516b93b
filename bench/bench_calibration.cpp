// Speed of the calibration of the pre-reservoir: candidates fitted per
// second, and a whole calibration, for a year of days and for 1500 points.
//
//   build/bench/tolvane_bench_calibration
#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

#include "bench_record.h"
#include "model/calibration.h"
#include "model/dmquorell.h"

namespace {

// The benchmarks' record, written as an input file.
std::string WriteRecord(int n) {
  const auto path = (std::filesystem::temp_directory_path() /
                     ("tolvane_bench_calibration_" + std::to_string(n) + ".inp"))
                        .string();
  TDMQuorell dm;
  FillDailyRecord(dm, n);
  dm.FileName = path;
  dm.WriteInputFile();
  return path;
}

// The records' files, removed when the program ends.
struct TRecords {
  std::string Paths[2];
  ~TRecords() {
    std::error_code ec;
    for (const auto& path : Paths)
      if (!path.empty()) std::filesystem::remove(path, ec);
  }
};

void Prepare(TDMQuorell& dm, int n) {
  static TRecords records;
  std::string& path = records.Paths[n > 365];
  if (path.empty()) path = WriteRecord(n);
  dm.FileName = path;
  dm.PrepareDetermination();
}

// Distinct candidates, so that none is remembered from before.
void Evaluate(benchmark::State& state) {
  TDMQuorell dm;
  Prepare(dm, static_cast<int>(state.range(0)));
  TCalibration calibration(dm, TObjective::RSquare, {});
  double maxSto = 10;
  for (auto _ : state) {
    maxSto += 0.01;
    benchmark::DoNotOptimize(calibration.Evaluate({maxSto, maxSto / 2, maxSto / 20}).Objective);
  }
  state.SetItemsProcessed(state.iterations());
}

void Calibrate(benchmark::State& state) {
  TDMQuorell dm;
  Prepare(dm, static_cast<int>(state.range(0)));
  int evaluations = 0;
  for (auto _ : state) {
    TCalibration calibration(dm, TObjective::RSquare, {});
    benchmark::DoNotOptimize(calibration.Search(TStoreParameters{20, 10, 1}).Objective);
    evaluations = calibration.Evaluations();
  }
  state.counters["candidates"] = evaluations;
}

}  // namespace

BENCHMARK(Evaluate)->Arg(365)->Arg(1500)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(Calibrate)->Arg(365)->Arg(1500)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

BENCHMARK_MAIN();
