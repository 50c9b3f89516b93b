#include "graphs/chart.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <tuple>

#include "graphs/chartmarks.h"
#include "graphs/chartticks.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr TRgb GridColour{225, 225, 225};
constexpr TRgb FrameColour = ChartFrameColour;
constexpr TRgb White = GraphColours::White;

struct TRange {
  double Low = NaN, High = NaN;
  void Add(double v) {
    if (!std::isfinite(v)) return;
    Low = std::isnan(Low) ? v : std::min(Low, v);
    High = std::isnan(High) ? v : std::max(High, v);
  }
  bool Empty() const { return std::isnan(Low); }
};

// The values the series draw: a point counts when all its coordinates do.
void DataRanges(const TChart& chart, TRange& x, TRange& y) {
  auto usableX = [&](double v) { return std::isfinite(v) && (!chart.LogX || v > 0); };
  for (const TChartSeries& s : chart.Series) {
    if (s.Mark == TChartMark::Steps && s.Y.empty()) {
      for (const double v : s.X)
        if (usableX(v)) x.Add(v);
      y.Add(0);
      y.Add(1);
      continue;
    }
    const bool band = s.Mark == TChartMark::Band;
    std::size_t n = std::min(s.X.size(), s.Y.size());
    if (band) n = std::min(n, s.Y2.size());
    for (std::size_t i = 0; i < n; ++i) {
      if (!usableX(s.X[i]) || !std::isfinite(s.Y[i]) || (band && !std::isfinite(s.Y2[i])))
        continue;
      x.Add(s.X[i]);
      y.Add(s.Y[i]);
      if (band) y.Add(s.Y2[i]);
    }
  }
}

// The ends of an axis: the fixed ones where given, the others from the
// data widened by widen; a range that comes out empty or reversed is
// widened from its low end.
template <class TWiden>
std::pair<double, double> AxisEnds(TRange data, std::optional<double> low,
                                   std::optional<double> high, bool log, TWiden widen) {
  if (log) {
    if (low && !(*low > 0)) low.reset();
    if (high && !(*high > 0)) high.reset();
  }
  if (data.Empty()) {
    data.Low = low ? *low : high ? *high - 1 : (log ? 1 : 0);
    data.High = high ? *high : data.Low + (log ? 9 * data.Low : 1);
  }
  if (low && !high) data.High = std::max(data.High, *low);
  if (high && !low) data.Low = std::min(data.Low, *high);
  auto [l, h] = widen(data.Low, data.High);
  if (low) l = *low;
  if (high) h = *high;
  if (!(h > l)) h = log ? l * 10 : l + 1;
  return {l, h};
}

struct TXAxis {
  double Low, High;
  std::vector<TAxisTick> Ticks;
};

TXAxis XAxisFor(const TChart& chart, const TRange& data, int maxTicks) {
  if (chart.LogX) {
    const auto [l, h] = AxisEnds(data, chart.XMin, chart.XMax, true, LogRange);
    return {l, h, LogTicks(l, h, maxTicks)};
  }
  if (chart.XIsDays) {
    // Dates run edge to edge; a single day gets one on each side.
    const auto [l, h] = AxisEnds(data, chart.XMin, chart.XMax, false, [](double a, double b) {
      return b > a ? std::pair{a, b} : std::pair{a - 1, b + 1};
    });
    return {l, h, DateTicks(l, h, maxTicks)};
  }
  const auto [l, h] = AxisEnds(data, chart.XMin, chart.XMax, false, [maxTicks](double a, double b) {
    return NiceRange(a, b, maxTicks);
  });
  return {l, h, NiceTicks(l, h, maxTicks)};
}

TGraphFont FontOf(int points, double factor) {
  TGraphFont font;
  font.Size = std::max(1, static_cast<int>(std::lround(points * factor)));
  return font;
}

// The left edges of the X tick labels, centred under their ticks but kept
// on the chart; empty when two would come closer than gap.
std::vector<int> XLabelLefts(const std::vector<TAxisTick>& ticks, const TChartScale& s,
                             int chartWidth, int gap, const TGraphFont& font,
                             TGraphCanvas& canvas) {
  std::vector<int> lefts;
  int previousRight = std::numeric_limits<int>::min() / 2;
  for (const TAxisTick& tick : ticks) {
    const int width = canvas.MeasureText(tick.Label, font).Width;
    const int centre = static_cast<int>(std::lround(s.Column(tick.Value)));
    const int left = std::clamp(centre - width / 2, 0, std::max(0, chartWidth - width));
    if (left < previousRight + gap) return {};
    lefts.push_back(left);
    previousRight = left + width;
  }
  return lefts;
}

struct TLegendEntry {
  std::size_t Series;
  int X, Row;
};

// The legend's entries left to right, in rows no wider than width, each
// row centred on it.
std::vector<TLegendEntry> LegendLayout(const TChart& chart, int width, int swatch, int space,
                                       const TGraphFont& font, TGraphCanvas& canvas, int& rows) {
  std::vector<TLegendEntry> entries;
  std::vector<int> rowWidths;
  int x = 0;
  for (std::size_t i = 0; i < chart.Series.size(); ++i) {
    if (chart.Series[i].Name.empty()) continue;
    const int w = swatch + space / 3 + canvas.MeasureText(chart.Series[i].Name, font).Width;
    if (rowWidths.empty() || (x > 0 && x + space + w > width)) {
      rowWidths.push_back(0);
      x = 0;
    } else if (x > 0) {
      x += space;
    }
    entries.push_back({i, x, static_cast<int>(rowWidths.size()) - 1});
    x += w;
    rowWidths.back() = x;
  }
  for (TLegendEntry& e : entries)
    e.X += std::max(0, (width - rowWidths[static_cast<std::size_t>(e.Row)]) / 2);
  rows = static_cast<int>(rowWidths.size());
  return entries;
}

}  // namespace

void DrawChart(const TChart& chart, TGraphCanvas& canvas) {
  const int width = chart.Width, height = chart.Height;
  // Everything grows with the chart beyond 900 x 560, so that a large
  // picture reads as the small one.
  const double factor = std::clamp(std::min(width / 900.0, height / 560.0), 1.0, 10.0);
  auto px = [factor](double v) { return static_cast<int>(std::lround(v * factor)); };
  const TGraphFont titleFont = FontOf(12, factor), axisFont = FontOf(10, factor);
  const TGraphFont tickFont = FontOf(9, factor), legendFont = FontOf(9, factor);
  const int margin = px(12), tickLength = px(5), gap = px(4);
  const int tickHeight = canvas.MeasureText("0", tickFont).Height;

  canvas.FillRect(0, 0, width, height, White);

  // From the top: the title, the Y axis' title, the plot.
  int top = margin;
  if (!chart.Title.empty()) {
    const TTextSize size = canvas.MeasureText(chart.Title, titleFont);
    canvas.Text(std::max(0, (width - size.Width) / 2), top, chart.Title, titleFont, White);
    top += size.Height + px(6);
  }
  const int yTitleTop = top;
  if (!chart.YTitle.empty()) top += canvas.MeasureText(chart.YTitle, axisFont).Height + gap;
  top += tickHeight / 2;

  // From the bottom: the legend, the X axis' title, the tick labels.
  const int swatch = px(24), space = px(20);
  int legendRows = 0;
  const std::vector<TLegendEntry> legend =
      LegendLayout(chart, width - 2 * margin, swatch, space, legendFont, canvas, legendRows);
  const int legendRowHeight = canvas.MeasureText("0", legendFont).Height + px(4);
  int bottom = height - margin;
  const int legendTop = bottom - legendRows * legendRowHeight;
  if (legendRows > 0) bottom = legendTop - px(8);
  const TTextSize xTitleSize = canvas.MeasureText(chart.XTitle, axisFont);
  const int xTitleTop = bottom - xTitleSize.Height;
  if (!chart.XTitle.empty()) bottom = xTitleTop - gap;
  const int xLabelsTop = bottom - tickHeight;
  bottom = std::max(top + 10, xLabelsTop - gap / 2 - tickLength);

  TRange xData, yData;
  DataRanges(chart, xData, yData);
  TChartScale scale;
  scale.Top = top;
  scale.Bottom = bottom;
  scale.LogX = chart.LogX;
  const int yMaxTicks = std::max(2, (bottom - top) / (tickHeight * 2));
  std::tie(scale.YLow, scale.YHigh) =
      AxisEnds(yData, chart.YMin, chart.YMax, false,
               [yMaxTicks](double a, double b) { return NiceRange(a, b, yMaxTicks); });
  const std::vector<TAxisTick> yTicks = NiceTicks(scale.YLow, scale.YHigh, yMaxTicks);
  int yLabelWidth = 0;
  for (const TAxisTick& t : yTicks)
    yLabelWidth = std::max(yLabelWidth, canvas.MeasureText(t.Label, tickFont).Width);
  scale.Left = margin + yLabelWidth + gap + tickLength;
  scale.Right = std::max(scale.Left + 10, width - px(24));

  // As many X ticks as their labels leave room for.
  TXAxis xAxis{};
  std::vector<int> xLefts;
  for (int maxTicks = std::max(2, (scale.Right - scale.Left) / px(40)); maxTicks >= 1; --maxTicks) {
    xAxis = XAxisFor(chart, xData, maxTicks);
    scale.XLow = xAxis.Low;
    scale.XHigh = xAxis.High;
    xLefts = XLabelLefts(xAxis.Ticks, scale, width, px(12), tickFont, canvas);
    if (!xLefts.empty() || xAxis.Ticks.empty()) break;
  }
  if (xLefts.size() != xAxis.Ticks.size()) xAxis.Ticks.clear();

  for (const TAxisTick& t : yTicks) {
    const int row = static_cast<int>(std::lround(scale.Row(t.Value)));
    canvas.Line(scale.Left, row, scale.Right, row, GridColour, 1);
  }
  for (const TAxisTick& t : xAxis.Ticks) {
    const int column = static_cast<int>(std::lround(scale.Column(t.Value)));
    canvas.Line(column, scale.Top, column, scale.Bottom, GridColour, 1);
  }

  for (const TChartSeries& series : chart.Series) DrawSeries(series, scale, factor, canvas);

  // The frame over the marks that reach it.
  canvas.Line(scale.Left, scale.Top, scale.Right, scale.Top, FrameColour, 1);
  canvas.Line(scale.Right, scale.Top, scale.Right, scale.Bottom, FrameColour, 1);
  canvas.Line(scale.Right, scale.Bottom, scale.Left, scale.Bottom, FrameColour, 1);
  canvas.Line(scale.Left, scale.Bottom, scale.Left, scale.Top, FrameColour, 1);

  for (const TAxisTick& t : yTicks) {
    const int row = static_cast<int>(std::lround(scale.Row(t.Value)));
    canvas.Line(scale.Left - tickLength, row, scale.Left, row, FrameColour, 1);
    const int w = canvas.MeasureText(t.Label, tickFont).Width;
    canvas.Text(scale.Left - tickLength - gap - w, row - tickHeight / 2, t.Label, tickFont, White);
  }
  for (std::size_t i = 0; i < xAxis.Ticks.size(); ++i) {
    const int column = static_cast<int>(std::lround(scale.Column(xAxis.Ticks[i].Value)));
    canvas.Line(column, scale.Bottom + 1, column, scale.Bottom + 1 + tickLength, FrameColour, 1);
    canvas.Text(xLefts[i], xLabelsTop, xAxis.Ticks[i].Label, tickFont, White);
  }
  if (!chart.YTitle.empty()) canvas.Text(margin, yTitleTop, chart.YTitle, axisFont, White);
  if (!chart.XTitle.empty()) {
    const int centre = (scale.Left + scale.Right) / 2;
    const int left = std::clamp(centre - xTitleSize.Width / 2, 0, std::max(0, width - xTitleSize.Width));
    canvas.Text(left, xTitleTop, chart.XTitle, axisFont, White);
  }

  for (const TLegendEntry& e : legend) {
    const TChartSeries& series = chart.Series[e.Series];
    const int rowTop = legendTop + e.Row * legendRowHeight;
    const int x = margin + e.X;
    DrawSwatch(series, x, rowTop, swatch, legendRowHeight - px(4), factor, canvas);
    canvas.Text(x + swatch + space / 3, rowTop, series.Name, legendFont, White);
  }
}
