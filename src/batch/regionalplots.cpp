#include "batch/regionalplots.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <iostream>

#include "base/numparse.h"
#include "batch/batchargs.h"
#include "batch/plots.h"
#include "batch/regional.h"

namespace {

// The finite values of a column of the summary's ok rows.
std::vector<double> Column(const std::vector<std::vector<std::string>>& rows,
                           const std::vector<std::string>& header, const std::string& name) {
  const auto at = static_cast<std::size_t>(
      std::find(header.begin(), header.end(), name) - header.begin());
  std::vector<double> values;
  for (const auto& cells : rows) {
    if (at >= cells.size() || cells[1] != "ok") continue;
    const auto value = ParseReal(cells[at]);
    if (value && std::isfinite(*value)) values.push_back(*value);
  }
  return values;
}

}  // namespace

TChartFiles RegionalCdfCharts(const std::string& summary, const std::string& folder,
                              const std::string& extension) {
  const auto header = SplitCsvLine(SummaryHeader());
  std::vector<std::vector<std::string>> rows;
  for (const auto& line : SplitAt(summary, '\n'))
    if (!line.empty() && line != SummaryHeader()) rows.push_back(SplitCsvLine(line));
  TChartFiles charts;
  for (const auto& [key, name] : {std::pair<const char*, const char*>{"nse", "NSE"},
                                  std::pair<const char*, const char*>{"kge", "KGE"}}) {
    TChart chart;
    const auto cal = Column(rows, header, std::string("cal_") + key);
    const auto val = Column(rows, header, std::string("val_") + key);
    chart.Title = std::string(name) + " over " + std::to_string(std::max(cal.size(), val.size())) +
                  " catchments";
    chart.XTitle = name;
    chart.YTitle = "share of catchments at or below";
    chart.YMin = 0;
    chart.YMax = 1;
    // 1 is a perfect fit; below -1 a catchment is lost whatever its value.
    double lowest = 0;
    for (const auto* values : {&cal, &val})
      for (double v : *values) lowest = std::min(lowest, v);
    chart.XMin = std::max(-1.0, std::floor(lowest * 10) / 10);
    chart.XMax = 1;
    chart.Series.push_back({"calibration", TChartMark::Steps, {31, 119, 180}, cal, {}, {}, 2});
    chart.Series.push_back({"validation", TChartMark::Steps, {255, 127, 14}, val, {}, {}, 2});
    charts.emplace_back(std::move(chart),
                        (std::filesystem::path(folder) / ("cdf-" + std::string(key) + "." + extension))
                            .string());
  }
  return charts;
}

bool SaveRegionalPlots(const std::string& summary, const std::string& folder,
                       const std::string& extension, std::string& error) {
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  if (!std::filesystem::is_directory(folder, ec)) {
    error = folder + ": is no folder and cannot be made one";
    return false;
  }
  return SaveCharts(RegionalCdfCharts(summary, folder, extension), error);
}

bool PlotsOfArgs(const TArgs& args, const std::string& summary, std::string& error) {
  if (!args.Options.count("--plots")) return true;
  const std::string folder = AbsolutePath(args.Options.at("--plots"));
  const std::string format = PlotFormat(args);
  if (!SaveRegionalPlots(summary, folder, format, error)) return false;
  std::cout << "plots: " << folder << "/cdf-nse." << format << ", " << folder << "/cdf-kge."
            << format << "\n";
  return true;
}
