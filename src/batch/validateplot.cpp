#include "batch/validateplot.h"

#include <filesystem>

#include "batch/plots.h"

namespace {

constexpr TRgb MeasuredColour{0, 0, 0};
constexpr TRgb CalculatedColour{200, 30, 30};
constexpr TRgb QuickColour{230, 140, 20};
constexpr TRgb SlowColour{30, 90, 200};

}  // namespace

TChart ValidationChart(const TValidationData& data, const TValidation& v) {
  TChart chart;
  chart.Title = "Validation on " + std::filesystem::path(data.Path).filename().string() +
                (data.Times.empty() ? "" : ", " + data.First() + " to " + data.Last());
  chart.XIsDays = data.Dates.has_value();
  chart.XTitle = chart.XIsDays ? "date" : "time";
  chart.YTitle = "runoff (mm per time unit)";
  chart.YMin = 0;
  std::vector<double> x;
  x.reserve(data.Times.size());
  for (double t : data.Times) x.push_back(ChartX(data.Dates, t));
  chart.Series.push_back({"measured", TChartMark::Dots, MeasuredColour, x, v.Measured, {}, 1});
  if (!v.Slow.empty()) {
    chart.Series.push_back({"quick flow", TChartMark::Line, QuickColour, x, v.Quick, {}, 1});
    chart.Series.push_back({"slow flow", TChartMark::Line, SlowColour, x, v.Slow, {}, 2});
  }
  chart.Series.push_back({"calculated", TChartMark::Line, CalculatedColour, x, v.Calculated, {}, 1});
  return chart;
}
