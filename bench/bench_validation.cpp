// Speed of a validation of 100 000 daily points, in its parts: the table
// read as validate reads it (year, month, day columns as in a MOPEX record),
// the same points from a determination's input file, and the run with its
// criteria.
//
//   build/bench/tolvane_bench_validation
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <string>

#include "files/filepaths.h"
#include "files/inputfile.h"
#include "files/tabledates.h"
#include "files/tableimport.h"
#include "model/search.h"
#include "model/validation.h"

namespace {

constexpr int Points = ValidationCapacity;

struct TRecord {
  std::vector<double> Times, Rains, Runoffs;
};

TRecord Made() {
  std::mt19937 gen(19);
  TRecord r;
  double q = 1;
  for (int i = 0; i < Points; ++i) {
    const double rain = gen() % 4 == 0 ? static_cast<double>(gen() % 2500) / 100 : 0;
    q = 0.92 * q + 0.05 * rain;
    r.Times.push_back(i + 1);
    r.Rains.push_back(rain);
    r.Runoffs.push_back(std::round(q * 1000) / 1000);
  }
  return r;
}

std::string Table(const TRecord& r) {
  std::string table;
  const long long first = ParseTableDate("1701-01-01")->Seconds;
  for (std::size_t i = 0; i < r.Times.size(); ++i) {
    const std::string date = FormatTableDate(first + static_cast<long long>(i) * SecondsPerDay, false);
    char line[96];
    std::snprintf(line, sizeof line, "%d,%d,%d,%.1f,0.35,%.3f\n", std::stoi(date.substr(0, 4)),
                  std::stoi(date.substr(5, 2)), std::stoi(date.substr(8, 2)), r.Rains[i],
                  r.Runoffs[i]);
    table += line;
  }
  return table;
}

void BM_ReadTable(benchmark::State& state) {
  const std::string table = Table(Made());
  TTableImportOptions options;
  options.DateColumns = {TableColumnOf("1"), TableColumnOf("2"), TableColumnOf("3")};
  options.RainColumn = TableColumnOf("4");
  options.RunoffColumn = TableColumnOf("6");
  for (auto _ : state) {
    const auto read = ImportTable(table, options);
    if (!read.Ok() || read.Times.size() != Points) {
      state.SkipWithError(read.Ok() ? "not every point" : read.Error.c_str());
      break;
    }
    benchmark::DoNotOptimize(FirstSeriesFault(read, "table"));
  }
  state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_ReadTable)->Unit(benchmark::kMillisecond);

void BM_ReadInputFile(benchmark::State& state) {
  const TRecord r = Made();
  TInputFileWrite file;
  file.Times = r.Times;
  file.Rains = r.Rains;
  file.Runoffs = r.Runoffs;
  file.Store = {40, 20, 1};
  const std::string path = "/tmp/tolvane_bench_validation.inp";
  std::string error;
  if (!WriteFileAtomically(path, FormatInputFile(file), &error)) {
    state.SkipWithError(error.c_str());
    return;
  }
  for (auto _ : state) {
    const TRecordFile read = ReadRecordFile(path);
    if (!read.Error.empty() || read.Times.size() != Points) {
      state.SkipWithError(read.Error.empty() ? "not every point" : read.Error.c_str());
      break;
    }
    benchmark::DoNotOptimize(read.Times.data());
  }
  std::remove(path.c_str());
  state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_ReadInputFile)->Unit(benchmark::kMillisecond);

void BM_Validate(benchmark::State& state) {
  const TRecord r = Made();
  const int reservoirs = static_cast<int>(state.range(0));
  const TFittedModel model{{40, 20, 1}, reservoirs, AlphaCandidateTable()[40]};
  for (auto _ : state) {
    const TValidation v = Validate(model, {r.Times, r.Rains, r.Runoffs}, 365);
    if (!v.Ok()) {
      state.SkipWithError(v.Error.c_str());
      break;
    }
    benchmark::DoNotOptimize(v.Fit.Values.data());
  }
  state.SetItemsProcessed(state.iterations() * Points);
}
BENCHMARK(BM_Validate)->Arg(1)->Arg(5)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
