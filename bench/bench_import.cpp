// Speed of the table reader behind import: a 30-year daily record as a
// European spreadsheet exports it (header, semicolons, decimal commas, dates
// day first, a few holes), read by date for its last 1500 days.
//
//   build/bench/tolvane_bench_import
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "files/tabledates.h"
#include "files/tableimport.h"

namespace {

std::string Record(int days) {
  std::mt19937 gen(18);
  std::string table = "Datum;Niederschlag_mm;Abfluss_mm\r\n";
  const long long first = ParseTableDate("1972-01-01")->Seconds;
  double q = 1;
  for (int i = 0; i < days; ++i) {
    const std::string date = FormatTableDate(first + i * SecondsPerDay, false);
    const double rain = gen() % 4 == 0 ? static_cast<double>(gen() % 2500) / 100 : 0;
    q = 0.92 * q + 0.05 * rain;
    char line[96];
    std::snprintf(line, sizeof line, "%s.%s.%s;%.1f;%.3f\r\n", date.substr(8, 2).c_str(),
                  date.substr(5, 2).c_str(), date.substr(0, 4).c_str(), rain, q);
    std::string text = line;
    for (char& c : text)
      if (c == '.' && &c > &text[10]) c = ',';
    if (i % 997 == 0) text = text.substr(0, text.rfind(';') + 1) + "NA\r\n";
    table += text;
  }
  return table;
}

void BM_ImportThirtyYears(benchmark::State& state) {
  const std::string table = Record(10958);
  TTableImportOptions options;
  options.DateColumn = TableColumnOf("Datum");
  options.RainColumn = TableColumnOf("Niederschlag_mm");
  options.RunoffColumn = TableColumnOf("Abfluss_mm");
  options.From = "1997-11-23";
  for (auto _ : state) {
    const auto result = ImportTable(table, options);
    if (!result.Ok() || result.Times.size() != 1500) {
      state.SkipWithError(result.Ok() ? "not 1500 days" : result.Error.c_str());
      break;
    }
    benchmark::DoNotOptimize(result.Times.data());
  }
  state.SetItemsProcessed(state.iterations() * 10958);
}
BENCHMARK(BM_ImportThirtyYears)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
