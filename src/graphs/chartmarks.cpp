#include "graphs/chartmarks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_set>

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();

using TPoint = std::pair<double, double>;

int Pen(int width, double factor) {
  return std::max(1, static_cast<int>(std::lround(std::max(width, 1) * factor)));
}

int ToPixel(double v) { return static_cast<int>(std::lround(v)); }

// The segment a .. b cut to the plot area (Liang-Barsky); false when none
// of it lies within.
bool Clip(const TChartScale& s, TPoint& a, TPoint& b) {
  double t0 = 0, t1 = 1;
  const double dx = b.first - a.first, dy = b.second - a.second;
  const double p[4] = {-dx, dx, -dy, dy};
  const double q[4] = {a.first - s.Left, s.Right - a.first, a.second - s.Top, s.Bottom - a.second};
  for (int i = 0; i < 4; ++i) {
    if (p[i] == 0) {
      if (q[i] < 0) return false;
      continue;
    }
    const double t = q[i] / p[i];
    if (p[i] < 0) t0 = std::max(t0, t);
    else t1 = std::min(t1, t);
    if (t0 > t1) return false;
  }
  const TPoint from = a;
  a = {from.first + t0 * dx, from.second + t0 * dy};
  b = {from.first + t1 * dx, from.second + t1 * dy};
  return true;
}

// Many points to one pixel column draw no more than the first, the
// lowest, the highest and the last of them: a record of years keeps a line
// of a few thousand segments.
// Points off the plot to one side count as one column: of the lines
// between them nothing shows.
std::vector<TPoint> ThinByColumn(const std::vector<TPoint>& run, const TChartScale& s) {
  auto columnOf = [&s](double x) {
    return std::lround(std::clamp(x, s.Left - 1.0, s.Right + 1.0));
  };
  std::vector<TPoint> kept;
  std::size_t i = 0;
  while (i < run.size()) {
    std::size_t j = i;
    const long column = columnOf(run[i].first);
    std::size_t low = i, high = i;
    while (j < run.size() && columnOf(run[j].first) == column) {
      if (run[j].second > run[low].second) low = j;
      if (run[j].second < run[high].second) high = j;
      ++j;
    }
    std::size_t last = j;  // no index of this column
    for (const std::size_t k : {i, std::min(low, high), std::max(low, high), j - 1})
      if (k != last) kept.push_back(run[last = k]);
    i = j;
  }
  return kept;
}

void DrawPolyline(const std::vector<TPoint>& points, const TChartScale& s, TRgb colour, int pen,
                  TGraphCanvas& canvas) {
  // Runs of drawable points; a point that is not breaks the line.
  std::vector<TPoint> run;
  auto flush = [&] {
    const std::vector<TPoint> kept = ThinByColumn(run, s);
    for (std::size_t i = 1; i < kept.size(); ++i) {
      TPoint a = kept[i - 1], b = kept[i];
      if (!Clip(s, a, b)) continue;
      canvas.Line(ToPixel(a.first), ToPixel(a.second), ToPixel(b.first), ToPixel(b.second), colour,
                  pen);
    }
    run.clear();
  };
  for (const auto& [x, y] : points) {
    const TPoint p{s.Column(x), s.Row(y)};
    if (!std::isfinite(p.first) || !std::isfinite(p.second)) flush();
    else run.push_back(p);
  }
  flush();
}

// A disc of about size pixels: a square without its corners.
void Dot(int x, int y, int size, const TChartScale& s, TRgb colour, TGraphCanvas& canvas) {
  const int left = x - size / 2, top = y - size / 2;
  auto fill = [&](int l, int t, int r, int b) {
    l = std::max(l, s.Left);
    t = std::max(t, s.Top);
    r = std::min(r, s.Right + 1);
    b = std::min(b, s.Bottom + 1);
    if (l < r && t < b) canvas.FillRect(l, t, r, b, colour);
  };
  if (size < 4) {
    fill(left, top, left + size, top + size);
    return;
  }
  // Two crossed rectangles: thousands of dots stay a small drawing.
  fill(left, top + 1, left + size, top + size - 1);
  fill(left + 1, top, left + size - 1, top + size);
}

int DotSize(double factor) { return std::max(3, static_cast<int>(std::lround(4 * factor))); }

void DrawDots(const TChartSeries& series, const TChartScale& s, double factor,
              TGraphCanvas& canvas) {
  const std::size_t n = std::min(series.X.size(), series.Y.size());
  const int size = DotSize(factor);
  // A dot on a pixel already dotted in this colour adds nothing.
  std::unordered_set<long long> done;
  for (std::size_t i = 0; i < n; ++i) {
    const double c = s.Column(series.X[i]), r = s.Row(series.Y[i]);
    if (!(c >= s.Left - 0.5 && c < s.Right + 0.5 && r >= s.Top - 0.5 && r < s.Bottom + 0.5))
      continue;
    const int x = ToPixel(c), y = ToPixel(r);
    if (!done.insert(static_cast<long long>(x) * 1000003LL + y).second) continue;
    Dot(x, y, size, s, series.Colour, canvas);
  }
}

// Each pixel column of the plot covered from the highest upper edge to the
// lowest lower edge that falls on it, the edges joined straight between
// points; runs of columns alike become one rectangle.
void DrawBand(const TChartSeries& series, const TChartScale& s, TGraphCanvas& canvas) {
  const std::size_t n = std::min({series.X.size(), series.Y.size(), series.Y2.size()});
  const int columns = s.Right - s.Left + 1;
  if (columns <= 0) return;
  std::vector<double> upper(static_cast<std::size_t>(columns), NaN);
  std::vector<double> lower(static_cast<std::size_t>(columns), NaN);
  auto cover = [&](double column, double r1, double r2) {
    if (!(column >= s.Left - 0.5 && column < s.Right + 0.5)) return;
    const long c = std::lround(column);
    const auto k = static_cast<std::size_t>(c - s.Left);
    const double top = std::min(r1, r2), bottom = std::max(r1, r2);
    upper[k] = std::isnan(upper[k]) ? top : std::min(upper[k], top);
    lower[k] = std::isnan(lower[k]) ? bottom : std::max(lower[k], bottom);
  };
  struct TEdge {
    double C, R1, R2;
    bool Ok() const { return std::isfinite(C) && std::isfinite(R1) && std::isfinite(R2); }
  };
  auto edge = [&](std::size_t i) {
    return TEdge{s.Column(series.X[i]), s.Row(series.Y[i]), s.Row(series.Y2[i])};
  };
  for (std::size_t i = 0; i < n; ++i) {
    const TEdge a = edge(i);
    if (!a.Ok()) continue;
    cover(a.C, a.R1, a.R2);
    if (i + 1 == n) break;
    const TEdge b = edge(i + 1);
    if (!b.Ok() || a.C == b.C) continue;
    // Only the columns of the plot between the two points.
    const double from = std::max(std::min(a.C, b.C), static_cast<double>(s.Left));
    const double to = std::min(std::max(a.C, b.C), static_cast<double>(s.Right));
    for (double c = std::ceil(from); c <= to; ++c) {
      const double t = (c - a.C) / (b.C - a.C);
      cover(c, a.R1 + t * (b.R1 - a.R1), a.R2 + t * (b.R2 - a.R2));
    }
  }
  auto rowOf = [&](double r) {
    return ToPixel(std::clamp(r, static_cast<double>(s.Top), static_cast<double>(s.Bottom)));
  };
  // A column whose band lies wholly above or below the plot shows nothing.
  auto shows = [&](int column) {
    const auto k = static_cast<std::size_t>(column);
    return !std::isnan(upper[k]) && upper[k] <= s.Bottom + 0.5 && lower[k] >= s.Top - 0.5;
  };
  int c = 0;
  while (c < columns) {
    if (!shows(c)) {
      ++c;
      continue;
    }
    const auto k = static_cast<std::size_t>(c);
    const int top = rowOf(upper[k]), bottom = rowOf(lower[k]);
    int end = c + 1;
    while (end < columns && shows(end)) {
      const auto e = static_cast<std::size_t>(end);
      if (rowOf(upper[e]) != top || rowOf(lower[e]) != bottom) break;
      ++end;
    }
    canvas.FillRect(s.Left + c, top, s.Left + end, bottom + 1, series.Colour);
    c = end;
  }
}

std::vector<TPoint> PointsOf(const TChartSeries& series) {
  const std::size_t n = std::min(series.X.size(), series.Y.size());
  std::vector<TPoint> points;
  points.reserve(n);
  for (std::size_t i = 0; i < n; ++i) points.emplace_back(series.X[i], series.Y[i]);
  return points;
}

}  // namespace

double TChartScale::Column(double x) const {
  double f = NaN;
  if (LogX) {
    if (x > 0 && std::isfinite(x)) f = std::log(x / XLow) / std::log(XHigh / XLow);
  } else if (std::isfinite(x)) {
    f = (x - XLow) / (XHigh - XLow);
  }
  return Left + f * (Right - Left);
}

double TChartScale::Row(double y) const {
  if (!std::isfinite(y)) return NaN;
  return Bottom - (y - YLow) / (YHigh - YLow) * (Bottom - Top);
}

std::vector<TPoint> StaircaseOf(const TChartSeries& series) {
  std::vector<TPoint> stairs;
  if (series.Y.empty()) {
    std::vector<double> values;
    for (const double x : series.X)
      if (std::isfinite(x)) values.push_back(x);
    std::sort(values.begin(), values.end());
    const double n = static_cast<double>(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
      stairs.emplace_back(values[i], static_cast<double>(i) / n);
      stairs.emplace_back(values[i], static_cast<double>(i + 1) / n);
    }
    return stairs;
  }
  const std::vector<TPoint> points = PointsOf(series);
  for (std::size_t i = 0; i < points.size(); ++i) {
    if (i > 0) stairs.emplace_back(points[i].first, points[i - 1].second);
    stairs.push_back(points[i]);
  }
  return stairs;
}

void DrawSeries(const TChartSeries& series, const TChartScale& scale, double factor,
                TGraphCanvas& canvas) {
  switch (series.Mark) {
    case TChartMark::Line:
      DrawPolyline(PointsOf(series), scale, series.Colour, Pen(series.LineWidth, factor), canvas);
      return;
    case TChartMark::Steps:
      DrawPolyline(StaircaseOf(series), scale, series.Colour, Pen(series.LineWidth, factor), canvas);
      return;
    case TChartMark::Dots:
      DrawDots(series, scale, factor, canvas);
      return;
    case TChartMark::Band:
      DrawBand(series, scale, canvas);
      return;
  }
}

void DrawSwatch(const TChartSeries& series, int left, int top, int width, int height,
                double factor, TGraphCanvas& canvas) {
  const int middle = top + height / 2;
  switch (series.Mark) {
    case TChartMark::Line:
    case TChartMark::Steps:
      canvas.Line(left, middle, left + width, middle, series.Colour, Pen(series.LineWidth, factor));
      return;
    case TChartMark::Dots: {
      const TChartScale box{left, top, left + width, top + height - 1};
      const int size = DotSize(factor) + 2;
      Dot(left + width / 2, middle, size, box, series.Colour, canvas);
      return;
    }
    case TChartMark::Band:
      canvas.FillRect(left, top + height / 5, left + width, top + height - height / 5, series.Colour);
      return;
  }
}
