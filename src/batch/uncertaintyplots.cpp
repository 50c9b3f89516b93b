#include "batch/uncertaintyplots.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <limits>

#include "batch/plots.h"


namespace {

constexpr TRgb Rejected{170, 170, 170};
constexpr TRgb Member{200, 30, 30};
constexpr TRgb BandColour{110, 170, 235};
constexpr TRgb BestColour{220, 90, 0};
constexpr TRgb MeasuredColour{0, 0, 0};

struct TAxis {
  const char* Key;
  const char* Title;
  bool Log;
  double (*Of)(const TUncertaintySample&);
};

std::vector<TAxis> Axes(bool slowPath) {
  std::vector<TAxis> axes{
      {"max_storage", "maximum storage (mm)", true, [](const TUncertaintySample& s) { return s.Store.MaxSto; }},
      {"initial_storage", "initial storage (mm)", false, [](const TUncertaintySample& s) { return s.Store.IniSto; }},
      {"max_escape", "escape rate (mm per time unit)", false, [](const TUncertaintySample& s) { return s.Store.MaxEsc; }}};
  if (slowPath) {
    axes.push_back({"base_share", "slow path share", false, [](const TUncertaintySample& s) { return s.BaseShare; }});
    axes.push_back({"base_alpha", "slow reaction factor", true, [](const TUncertaintySample& s) { return s.BaseAlpha; }});
  }
  axes.push_back({"reservoirs", "reservoirs", false,
                  [](const TUncertaintySample& s) { return static_cast<double>(s.NrOfRes); }});
  axes.push_back({"alpha", "alpha", false, [](const TUncertaintySample& s) { return s.Alpha; }});
  return axes;
}

std::string PathIn(const std::string& dir, const std::string& name, const std::string& extension) {
  return (std::filesystem::path(dir) / (name + extension)).string();
}

}  // namespace

std::vector<std::string> UncertaintyChartPaths(bool slowPath, bool validation,
                                               const std::string& dir, const std::string& extension) {
  std::vector<std::string> paths;
  for (const TAxis& axis : Axes(slowPath)) paths.push_back(PathIn(dir, std::string("dotty_") + axis.Key, extension));
  paths.push_back(PathIn(dir, "band", extension));
  if (validation) paths.push_back(PathIn(dir, "validation_band", extension));
  return paths;
}

std::vector<std::pair<TChart, std::string>> UncertaintyCharts(
    std::span<const TUncertaintySample> samples, const TBehavioural& behavioural,
    const TUncertaintySettings& settings, const std::vector<TBandPicture>& bands,
    const std::string& dir, const std::string& extension) {
  std::vector<char> member(samples.size(), 0);
  for (std::size_t i : behavioural.Members) member[i] = 1;
  double lowest = std::numeric_limits<double>::infinity(), best = -lowest;
  for (const auto& s : samples)
    if (s.Valid && std::isfinite(s.Objective)) {
      lowest = std::min(lowest, s.Objective);
      best = std::max(best, s.Objective);
    }
  // The behavioural top and a few times its depth below it: a cloud of
  // poor samples far down would squeeze the part that matters to a line.
  const double depth = std::max(best - behavioural.Threshold, 0.05);
  const double floor = std::max(lowest, behavioural.Threshold - 4 * depth);
  const char* objective = ObjectiveName(settings.Objective);
  const auto paths = UncertaintyChartPaths(settings.SlowPath, bands.size() > 1, dir, extension);
  std::vector<std::pair<TChart, std::string>> charts;
  for (const TAxis& axis : Axes(settings.SlowPath)) {
    TChart chart;
    chart.Title = std::string(objective) + " against the " + axis.Title;
    chart.XTitle = axis.Title;
    chart.YTitle = objective;
    chart.LogX = axis.Log;
    chart.YMin = floor;
    chart.YMax = best + (best - floor) * 0.02;
    TChartSeries out{"not behavioural", TChartMark::Dots, Rejected, {}, {}, {}, 1};
    TChartSeries in{"behavioural", TChartMark::Dots, Member, {}, {}, {}, 1};
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const auto& s = samples[i];
      if (!s.Valid || !(s.Objective >= floor)) continue;
      TChartSeries& to = member[i] ? in : out;
      to.X.push_back(axis.Of(s));
      to.Y.push_back(s.Objective);
    }
    chart.Series = {std::move(out), std::move(in)};
    charts.emplace_back(std::move(chart), paths[charts.size()]);
  }
  for (std::size_t k = 0; k < bands.size(); ++k) {
    const TBandPicture& b = bands[k];
    TChart chart;
    chart.Title = b.Title;
    chart.YTitle = "runoff (mm per time unit)";
    chart.XIsDays = b.Dates.has_value();
    chart.XTitle = chart.XIsDays ? "date" : "time";
    std::vector<double> x;
    for (double t : b.Times) x.push_back(ChartX(b.Dates, t));
    chart.YMin = 0;
    chart.Series = {
        {"weighted 5-95 % of the behavioural", TChartMark::Band, BandColour, x, b.Bands->Q05, b.Bands->Q95, 1},
        {"measured", TChartMark::Line, MeasuredColour, x, b.Measured, {}, 1},
        {"best", TChartMark::Line, BestColour, x, b.Bands->Best, {}, 1}};
    charts.emplace_back(std::move(chart), paths[charts.size()]);
  }
  return charts;
}
