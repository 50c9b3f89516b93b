// Speed of regional over 100 catchments made by the model, 1500 days each
// (1000 fitted, 500 judged), on one job and on two: the whole command with
// its files, as a user runs it.
//
//   build/bench/tolvane_bench_regional
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "base/numformat.h"
#include "batch/commands.h"
#include "files/filepaths.h"
#include "files/tabledates.h"
#include "model/engine.h"

namespace fs = std::filesystem;

namespace {

constexpr int Catchments = 100;
constexpr int Days = 1500;
const long long Jan1985 = 473385600;

// A folder of records, each run by the model with parameters of its own
// on rain of its own, and their manifest.
fs::path MadeStudy() {
  const fs::path folder = fs::temp_directory_path() / "tolvane_bench_regional";
  fs::create_directories(folder);
  std::mt19937 gen(23);
  auto uniform = [&] { return static_cast<double>(gen()) / 4294967296.0; };
  std::string manifest = "id,data,date_column,rain_column,runoff_column,calibrate_to,validate_from,"
                         "warm_up,objective\n";
  std::vector<double> times(Days);
  for (int i = 0; i < Days; ++i) times[static_cast<std::size_t>(i)] = i + 1;
  for (int c = 0; c < Catchments; ++c) {
    std::vector<double> rains(Days);
    for (double& rain : rains) rain = uniform() < 0.3 ? 30 * uniform() * uniform() : 0;
    const double maxSto = 10 + 190 * uniform();
    const TRun run = PredictRun(times, rains, {maxSto, maxSto / 2, maxSto / 50 * uniform()},
                                1 + c % 4, 0.1 + 0.5 * uniform(), 1);
    std::string csv = "date,P,Q\n";
    for (int i = 0; i < Days; ++i) {
      const auto k = static_cast<std::size_t>(i);
      csv += FormatTableDate(Jan1985 + i * SecondsPerDay, false) + "," + FullPrecision(rains[k]) +
             "," + FullPrecision(run.Calculated[k] * (0.95 + 0.1 * uniform())) + "\n";
    }
    const std::string name = "c" + std::to_string(c) + ".csv";
    WriteFileAtomically((folder / name).string(), csv, nullptr);
    manifest += "c" + std::to_string(c) + "," + name + ",1,P,Q,1987-09-27,1987-09-28,100,nse\n";
  }
  WriteFileAtomically((folder / "manifest.csv").string(), manifest, nullptr);
  return folder;
}

void Regional(benchmark::State& state) {
  static const fs::path folder = MadeStudy();
  const std::string jobs = std::to_string(state.range(0));
  std::vector<std::string> words = {"tolvane-batch", "regional", (folder / "manifest.csv").string(),
                                    "-o", (folder / "out").string(), "--force", "--jobs", jobs};
  std::vector<char*> argv;
  for (auto& word : words) argv.push_back(word.data());
  // Its lines a catchment are not the benchmark's.
  std::ostringstream quiet;
  auto* out = std::cout.rdbuf(quiet.rdbuf());
  auto* err = std::cerr.rdbuf(quiet.rdbuf());
  for (auto _ : state)
    if (RegionalCommand(static_cast<int>(argv.size()), argv.data()) != 0) state.SkipWithError("not all ok");
  std::cout.rdbuf(out);
  std::cerr.rdbuf(err);
  state.counters["catchments/s"] =
      benchmark::Counter(Catchments, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(Regional)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
