// Report charts: their JSON form, the ticks of their axes, where the marks
// land on a canvas that records them, and the pictures written through the
// graph program.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>

#include "batch/plots.h"
#include "graphs/chart.h"
#include "graphs/chartmarks.h"
#include "graphs/chartticks.h"
#include "graphs/graphrecording.h"
#include "support/test_support.h"

namespace {

constexpr double NaN = std::numeric_limits<double>::quiet_NaN();
constexpr TRgb Red{200, 0, 0}, Blue{0, 0, 200}, Pale{200, 220, 255};

// Seven pixels a character, twelve high.
TGraphRecording Recording() {
  return TGraphRecording([](const std::string& text, const TGraphFont&) {
    return TTextSize{7 * static_cast<int>(text.size()), 12};
  });
}

std::vector<double> Labels(const std::vector<TAxisTick>& ticks, std::vector<std::string>* labels) {
  std::vector<double> values;
  for (const TAxisTick& t : ticks) {
    values.push_back(t.Value);
    labels->push_back(t.Label);
  }
  return values;
}

bool SameValues(const std::vector<double>& a, const std::vector<double>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (!(a[i] == b[i] || (std::isnan(a[i]) && std::isnan(b[i])))) return false;
  return true;
}

TChart FullChart() {
  TChart chart;
  chart.Title = "Dotty plot \xC3\xA9";
  chart.XTitle = "x";
  chart.YTitle = "NSE";
  chart.XIsDays = true;
  chart.LogX = true;
  chart.YMin = -1;
  chart.XMax = 1e-300;
  chart.Width = 1200;
  chart.Height = 700;
  chart.Series.push_back({"band", TChartMark::Band, Pale, {1, 2, 3}, {0.1, NaN, -0.3}, {0.5, 0.6, 0.7}, 1});
  chart.Series.push_back({"", TChartMark::Dots, Red, {0.1 + 0.2, 1e300}, {-1.0 / 3, INFINITY}, {}, 1});
  chart.Series.push_back({"cdf", TChartMark::Steps, Blue, {3, 1, 2}, {}, {}, 3});
  return chart;
}

TEST(ChartJson, RoundTripKeepsEveryField) {
  const TChart chart = FullChart();
  std::string error;
  const auto back = ReadChart(FormatChart(chart), error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->Title, chart.Title);
  EXPECT_EQ(back->XTitle, chart.XTitle);
  EXPECT_EQ(back->YTitle, chart.YTitle);
  EXPECT_EQ(back->XIsDays, chart.XIsDays);
  EXPECT_EQ(back->LogX, chart.LogX);
  EXPECT_EQ(back->YMin, chart.YMin);
  EXPECT_EQ(back->YMax, chart.YMax);
  EXPECT_EQ(back->XMin, chart.XMin);
  EXPECT_EQ(back->XMax, chart.XMax);
  EXPECT_EQ(back->Width, chart.Width);
  EXPECT_EQ(back->Height, chart.Height);
  ASSERT_EQ(back->Series.size(), chart.Series.size());
  for (std::size_t i = 0; i < chart.Series.size(); ++i) {
    const TChartSeries &a = chart.Series[i], &b = back->Series[i];
    EXPECT_EQ(b.Name, a.Name);
    EXPECT_EQ(b.Mark, a.Mark);
    EXPECT_EQ(b.Colour, a.Colour);
    EXPECT_EQ(b.LineWidth, a.LineWidth);
    // Values exactly, the infinite ones as gaps.
    EXPECT_TRUE(SameValues(b.X, a.X)) << i;
    std::vector<double> y = a.Y;
    for (double& v : y)
      if (!std::isfinite(v)) v = NaN;
    EXPECT_TRUE(SameValues(b.Y, y)) << i;
    EXPECT_TRUE(SameValues(b.Y2, a.Y2)) << i;
  }

  const auto files = ReadChartFiles(FormatChartFiles({{chart, "a/b.png"}, {TChart{}, "c \"d\".svg"}}), error);
  ASSERT_TRUE(files) << error;
  ASSERT_EQ(files->size(), 2u);
  EXPECT_EQ((*files)[0].second, "a/b.png");
  EXPECT_EQ((*files)[1].second, "c \"d\".svg");
  EXPECT_EQ((*files)[0].first.Series.size(), 3u);
}

TEST(ChartJson, TextThatIsNotUtf8IsMendedNotRefused) {
  TChart chart;
  chart.Title = "Caf\xE9";  // Latin-1
  std::string error;
  const auto back = ReadChart(FormatChart(chart), error);
  ASSERT_TRUE(back) << error;
  EXPECT_EQ(back->Title.substr(0, 3), "Caf");
}

struct TDamagedChart {
  const char* Name;
  const char* Text;
  const char* Says;
};

class ChartJsonRefuses : public ::testing::TestWithParam<TDamagedChart> {};

TEST_P(ChartJsonRefuses, DamagedChart) {
  std::string error;
  EXPECT_FALSE(ReadChart(GetParam().Text, error));
  EXPECT_NE(error.find(GetParam().Says), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ChartJsonRefuses,
    ::testing::Values(
        TDamagedChart{"Cut", R"({"title":"a","series":[{"x":[1,2)", "parse"},
        TDamagedChart{"NotObject", R"([1,2])", "not an object"},
        TDamagedChart{"NoSeries", R"({"title":"a"})", "no list of series"},
        TDamagedChart{"TitleNumber", R"({"title":3,"series":[]})", "title is not a text"},
        TDamagedChart{"Mark", R"({"series":[{"mark":"pie","x":[],"y":[]}]})", "mark \"pie\""},
        TDamagedChart{"Colour", R"({"series":[{"colour":"red","x":[],"y":[]}]})", "#rrggbb"},
        TDamagedChart{"ColourShort", R"({"series":[{"colour":"#12345","x":[],"y":[]}]})", "#rrggbb"},
        TDamagedChart{"YCount", R"({"series":[{"x":[1,2],"y":[1]}]})", "as many y as x"},
        TDamagedChart{"Y2OnLine", R"({"series":[{"x":[1],"y":[1],"y2":[2]}]})", "y2 goes with a band"},
        TDamagedChart{"BandNoY2", R"({"series":[{"mark":"band","x":[1],"y":[1]}]})", "y2 goes with a band"},
        TDamagedChart{"TextValue", R"({"series":[{"x":["1"],"y":[1]}]})", "other than a number"},
        TDamagedChart{"Small", R"({"width":50,"series":[]})", "width and height"},
        TDamagedChart{"Huge", R"({"height":18446744073709551615,"series":[]})", "whole number"},
        TDamagedChart{"Pen", R"({"series":[{"x":[],"y":[],"line_width":0}]})", "line_width"},
        TDamagedChart{"Bound", R"({"y_min":"low","series":[]})", "y_min is not a number"}),
    CaseName);

TEST(ChartJson, RefusesDamagedListOfFiles) {
  std::string error;
  EXPECT_FALSE(ReadChartFiles(R"({"chart":{"series":[]},"path":"a.png"})", error));
  EXPECT_FALSE(ReadChartFiles(R"([{"chart":{"series":[]}}])", error));
  EXPECT_NE(error.find("no path"), std::string::npos) << error;
  EXPECT_FALSE(ReadChartFiles(R"([{"chart":{"series":[]},"path":""}])", error));
  EXPECT_FALSE(ReadChartFiles(R"([{"chart":{"width":1,"series":[]},"path":"a.png"}])", error));
}

struct TTickCase {
  const char* Name;
  double Low, High;
  int MaxTicks;
  std::vector<double> Values;
  std::vector<std::string> Labels;
};

class NiceTicksOf : public ::testing::TestWithParam<TTickCase> {};

TEST_P(NiceTicksOf, Range) {
  const TTickCase& c = GetParam();
  std::vector<std::string> labels;
  const std::vector<double> values = Labels(NiceTicks(c.Low, c.High, c.MaxTicks), &labels);
  ASSERT_EQ(values.size(), c.Values.size());
  for (std::size_t i = 0; i < values.size(); ++i) EXPECT_NEAR(values[i], c.Values[i], 1e-12);
  EXPECT_EQ(labels, c.Labels);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NiceTicksOf,
    ::testing::Values(
        TTickCase{"Unit", 0, 1, 5, {0, 0.2, 0.4, 0.6, 0.8, 1}, {"0.0", "0.2", "0.4", "0.6", "0.8", "1.0"}},
        TTickCase{"AroundZero", -1, 1, 4, {-1, -0.5, 0, 0.5, 1}, {"-1.0", "-0.5", "0.0", "0.5", "1.0"}},
        TTickCase{"Storage", 0, 2000, 5, {0, 500, 1000, 1500, 2000}, {"0", "500", "1000", "1500", "2000"}},
        TTickCase{"Small", 0, 0.03, 3, {0, 0.01, 0.02, 0.03}, {"0.00", "0.01", "0.02", "0.03"}},
        TTickCase{"Inside", 3, 97, 10, {10, 20, 30, 40, 50, 60, 70, 80, 90},
                  {"10", "20", "30", "40", "50", "60", "70", "80", "90"}},
        TTickCase{"Negative", -730, -270, 5, {-700, -600, -500, -400, -300},
                  {"-700", "-600", "-500", "-400", "-300"}},
        TTickCase{"Reversed", 2, 1, 5, {}, {}}),
    CaseName);

TEST(ChartTicks, NiceRangesWidenToWholeSteps) {
  EXPECT_EQ(NiceRange(0.13, 0.87, 5), std::make_pair(0.0, 1.0));
  EXPECT_EQ(NiceRange(-0.93, 0.41, 6), std::make_pair(-1.0, 0.5));
  const auto [low, high] = NiceRange(5, 5, 5);  // one value: around it
  EXPECT_LT(low, 5);
  EXPECT_GT(high, 5);
  const auto [l0, h0] = NiceRange(0, 0, 5);
  EXPECT_LT(l0, 0);
  EXPECT_GT(h0, 0);
}

TEST(ChartTicks, DaysAndDates) {
  EXPECT_EQ(DayText(0), "1970-01-01");
  EXPECT_EQ(DayText(-1), "1969-12-31");
  EXPECT_EQ(DayText(DayOf(2000, 2, 29)), "2000-02-29");
  EXPECT_EQ(DayOf(2000, 3, 0), DayOf(2000, 2, 29));
  EXPECT_EQ(DayOf(1900, 3, 1) - DayOf(1900, 2, 28), 1);  // not a leap year
  EXPECT_EQ(DayOf(2001, 1, 1) - DayOf(2000, 1, 1), 366);
  for (long long d = -800000; d <= 800000; d += 997) {
    const std::string text = DayText(d);
    const long long year = std::stoll(text.substr(0, text.size() - 6));
    const int month = std::stoi(text.substr(text.size() - 5, 2));
    const int day = std::stoi(text.substr(text.size() - 2));
    ASSERT_EQ(DayOf(year, month, day), d) << text;
  }
}

struct TDateCase {
  const char* Name;
  long long First, Last;
  int MaxTicks;
  std::vector<std::string> Labels;
};

class DateTicksOf : public ::testing::TestWithParam<TDateCase> {};

TEST_P(DateTicksOf, Range) {
  const TDateCase& c = GetParam();
  std::vector<std::string> labels;
  const std::vector<double> values =
      Labels(DateTicks(static_cast<double>(c.First), static_cast<double>(c.Last), c.MaxTicks), &labels);
  EXPECT_EQ(labels, c.Labels);
  for (std::size_t i = 0; i < values.size(); ++i) {
    EXPECT_GE(values[i], static_cast<double>(c.First));
    EXPECT_LE(values[i], static_cast<double>(c.Last));
    EXPECT_EQ(values[i], std::floor(values[i]));  // midnights
    // The label names the tick's day (or its year, on the first of January).
    EXPECT_EQ(DayText(static_cast<long long>(values[i])).substr(0, labels[i].size()), labels[i]);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DateTicksOf,
    ::testing::Values(
        TDateCase{"TenYearsDaily", DayOf(2000, 1, 1), DayOf(2009, 12, 31), 12,
                  {"2000", "2001", "2002", "2003", "2004", "2005", "2006", "2007", "2008", "2009"}},
        TDateCase{"EveryOtherYear", DayOf(1999, 6, 1), DayOf(2010, 6, 1), 6,
                  {"2000", "2002", "2004", "2006", "2008", "2010"}},
        TDateCase{"Months", DayOf(2001, 1, 15), DayOf(2001, 4, 20), 5,
                  {"2001-02-01", "2001-03-01", "2001-04-01"}},
        TDateCase{"Quarters", DayOf(2001, 1, 15), DayOf(2002, 2, 1), 5,
                  {"2001-04-01", "2001-07-01", "2001-10-01", "2002-01-01"}},
        TDateCase{"Days", DayOf(2004, 2, 27), DayOf(2004, 3, 2), 10,
                  {"2004-02-27", "2004-02-28", "2004-02-29", "2004-03-01", "2004-03-02"}},
        TDateCase{"BeforeEpoch", DayOf(1951, 3, 1), DayOf(1955, 3, 1), 5,
                  {"1952", "1953", "1954", "1955"}}),
    CaseName);

TEST(ChartTicks, LogTicksAndRanges) {
  std::vector<std::string> labels;
  EXPECT_EQ(Labels(LogTicks(1, 1000, 10), &labels),
            (std::vector<double>{1, 2, 5, 10, 20, 50, 100, 200, 500, 1000}));
  labels.clear();
  Labels(LogTicks(0.1, 1e6, 6), &labels);
  EXPECT_EQ(labels, (std::vector<std::string>{"1", "100", "10000", "1000000"}));
  labels.clear();
  Labels(LogTicks(0.02, 0.09, 9), &labels);
  EXPECT_EQ(labels, (std::vector<std::string>{"0.02", "0.03", "0.04", "0.05", "0.06", "0.07", "0.08", "0.09"}));
  EXPECT_EQ(LogRange(0.7, 1800), std::make_pair(0.5, 2000.0));
  EXPECT_EQ(LogRange(10, 100), std::make_pair(10.0, 100.0));
  EXPECT_TRUE(LogTicks(-1, 10, 5).empty());
}

// The recorded steps of one colour.
template <class TStep>
std::vector<std::pair<std::size_t, TStep>> StepsIn(const TGraphRecording& r, TRgb colour) {
  std::vector<std::pair<std::size_t, TStep>> found;
  for (std::size_t i = 0; i < r.Steps().size(); ++i)
    if (const auto* s = std::get_if<TStep>(&r.Steps()[i]); s && s->Colour == colour)
      found.emplace_back(i, *s);
  return found;
}

// The plot frame: its top edge is the first frame-coloured line.
TChartScale FrameOf(const TGraphRecording& r) {
  for (const auto& [i, line] : StepsIn<TLineStep>(r, ChartFrameColour)) {
    const auto& right = std::get<TLineStep>(r.Steps()[i + 1]);
    return {line.X1, line.Y1, line.X2, right.Y2};
  }
  return {};
}

TChart UnitChart() {
  TChart chart;
  chart.Title = "A chart";
  chart.XTitle = "x";
  chart.YTitle = "y";
  chart.XMin = 0;
  chart.XMax = 10;
  chart.YMin = 0;
  chart.YMax = 1;
  return chart;
}

TEST(DrawChart, PointsAtTheAxisEndsLandOnTheFrame) {
  TChart chart = UnitChart();
  chart.Series.push_back({"line", TChartMark::Line, Red, {0, 10}, {0, 1}, {}, 1});
  chart.Series.push_back({"dots", TChartMark::Dots, Blue, {0, 10, 5}, {1, 0, 0.5}, {}, 1});
  TGraphRecording r = Recording();
  DrawChart(chart, r);
  const TChartScale f = FrameOf(r);
  ASSERT_GT(f.Right - f.Left, 500);
  ASSERT_GT(f.Bottom - f.Top, 300);
  const auto lines = StepsIn<TLineStep>(r, Red);
  ASSERT_GE(lines.size(), 1u);  // the last one is the legend's
  EXPECT_EQ(std::tie(lines[0].second.X1, lines[0].second.Y1, lines[0].second.X2, lines[0].second.Y2),
            std::tie(f.Left, f.Bottom, f.Right, f.Top));
  // Each dot's rectangles centre on its point, cut at the frame.
  const auto dots = StepsIn<TFillStep>(r, Blue);
  auto covers = [&](int x, int y) {
    for (const auto& [i, d] : dots)
      if (d.Left <= x && x < d.Right && d.Top <= y && y < d.Bottom) {
        EXPECT_GE(d.Left, f.Left);
        EXPECT_LE(d.Right, f.Right + 1);
        return true;
      }
    return false;
  };
  EXPECT_TRUE(covers(f.Left, f.Top));
  EXPECT_TRUE(covers(f.Right, f.Bottom));
  EXPECT_TRUE(covers((f.Left + f.Right) / 2, (f.Top + f.Bottom) / 2));
  // No text on the plot: titles, ticks and legend lie around it.
  for (const TGraphStep& step : r.Steps())
    if (const auto* t = std::get_if<TTextStep>(&step)) {
      const bool inside = t->X + 7 * static_cast<int>(t->Text.size()) > f.Left && t->X < f.Right &&
                          t->Y + 12 > f.Top && t->Y < f.Bottom;
      EXPECT_FALSE(inside) << t->Text << " at " << t->X << ", " << t->Y;
      EXPECT_GE(t->X, 0) << t->Text;
      EXPECT_LE(t->X + 7 * static_cast<int>(t->Text.size()), chart.Width) << t->Text;
    }
}

TEST(DrawChart, LinesBreakAtGapsAndStopAtTheFrame) {
  TChart chart = UnitChart();
  // The middle point is missing; the last runs far above the top.
  chart.Series.push_back({"", TChartMark::Line, Red, {0, 2, 4, 6, 8, 10}, {0.5, 0.5, NaN, 0.5, 0.5, 3}, {}, 1});
  TGraphRecording r = Recording();
  DrawChart(chart, r);
  const TChartScale f = FrameOf(r);
  const auto lines = StepsIn<TLineStep>(r, Red);
  ASSERT_EQ(lines.size(), 3u);  // 0-2, 6-8, 8-10 cut; nothing to and from 4
  // Nothing between the points beside the gap.
  const double column2 = f.Left + 0.2 * (f.Right - f.Left), column6 = f.Left + 0.6 * (f.Right - f.Left);
  for (const auto& [i, l] : lines) {
    EXPECT_FALSE(std::min(l.X1, l.X2) < column6 - 1 && std::max(l.X1, l.X2) > column2 + 1)
        << l.X1 << " " << l.X2;
    EXPECT_GE(std::min(l.Y1, l.Y2), f.Top);
  }
  EXPECT_EQ(lines.back().second.Y2, f.Top);
  EXPECT_LT(lines.back().second.X2, f.Right);
}

TEST(DrawChart, BandLiesBehindTheLineDrawnAfterIt) {
  TChart chart = UnitChart();
  std::vector<double> x, low, high, mid;
  for (int i = 0; i <= 11000; ++i) {
    x.push_back(i / 1100.0);
    mid.push_back(0.5 + 0.3 * std::sin(i / 300.0));
    low.push_back(mid.back() - 0.1);
    high.push_back(mid.back() + 0.1);
  }
  chart.Series.push_back({"band", TChartMark::Band, Pale, x, low, high, 1});
  chart.Series.push_back({"line", TChartMark::Line, Red, x, mid, {}, 1});
  TGraphRecording r = Recording();
  DrawChart(chart, r);
  const TChartScale f = FrameOf(r);
  const auto fills = StepsIn<TFillStep>(r, Pale);
  const auto lines = StepsIn<TLineStep>(r, Red);
  ASSERT_FALSE(fills.empty());
  ASSERT_FALSE(lines.empty());
  // The band's fills (but for the legend's) come before the line, one
  // rectangle a pixel column at most.
  EXPECT_LT(fills[fills.size() - 2].first, lines.front().first);
  EXPECT_LE(fills.size(), static_cast<std::size_t>(f.Right - f.Left + 2));
  // 11 000 points thinned to a few a column.
  EXPECT_LE(lines.size(), static_cast<std::size_t>(4 * (f.Right - f.Left + 1)));
  // Every column of the plot is filled, and the line runs within the fill.
  std::vector<std::pair<int, int>> rows(static_cast<std::size_t>(f.Right - f.Left + 1), {-1, -1});
  for (std::size_t k = 0; k + 1 < fills.size(); ++k) {
    const TFillStep& s = fills[k].second;
    for (int c = s.Left; c < s.Right; ++c) rows[static_cast<std::size_t>(c - f.Left)] = {s.Top, s.Bottom};
  }
  for (const auto& [top, bottom] : rows) ASSERT_GE(top, f.Top);
  for (std::size_t k = 0; k + 1 < lines.size(); ++k) {
    const TLineStep& l = lines[k].second;
    const auto [top, bottom] = rows[static_cast<std::size_t>(l.X1 - f.Left)];
    EXPECT_TRUE(l.Y1 >= top && l.Y1 < bottom) << l.X1 << ": " << l.Y1 << " not in " << top << ".." << bottom;
  }
}

TEST(DrawChart, BandIsCutAtTheFrame) {
  TChart chart = UnitChart();
  // Wider than the plot up to 5, wholly above it from 6 on.
  chart.Series.push_back({"", TChartMark::Band, Pale, {0, 5, 6, 10}, {-5, -5, 2, 2}, {5, 5, 3, 3}, 1});
  TGraphRecording r = Recording();
  DrawChart(chart, r);
  const TChartScale f = FrameOf(r);
  const auto fills = StepsIn<TFillStep>(r, Pale);
  ASSERT_FALSE(fills.empty());
  EXPECT_EQ(fills.front().second.Left, f.Left);
  const int column6 = f.Left + static_cast<int>(0.6 * (f.Right - f.Left));
  for (const auto& [i, fill] : fills) {
    EXPECT_EQ(fill.Top, f.Top);
    EXPECT_LE(fill.Bottom, f.Bottom + 1);
    EXPECT_LE(fill.Right, column6 + 1);
  }
  EXPECT_EQ(fills.front().second.Bottom, f.Bottom + 1);
}

TEST(DrawChart, DotsOnOnePixelAreDrawnOnce) {
  TChart chart = UnitChart();
  std::vector<double> x(10000, 5), y(10000, 0.5);
  x.push_back(NaN);
  y.push_back(0.5);
  x.push_back(11);  // beyond the fixed range
  y.push_back(0.5);
  chart.Series.push_back({"", TChartMark::Dots, Blue, x, y, {}, 1});
  TGraphRecording r = Recording();
  DrawChart(chart, r);
  EXPECT_EQ(StepsIn<TFillStep>(r, Blue).size(), 2u);  // one disc of two rectangles
}

TEST(DrawChart, LogAxisPutsDecadesEvenly) {
  TChart chart;
  chart.LogX = true;
  chart.Series.push_back({"", TChartMark::Line, Red, {1, 10, 100, 0, -5}, {0, 1, 2, 3, 4}, {}, 1});
  TGraphRecording r = Recording();
  DrawChart(chart, r);
  const auto lines = StepsIn<TLineStep>(r, Red);
  ASSERT_EQ(lines.size(), 2u);  // values not above 0 are left out
  EXPECT_NEAR(lines[1].second.X2 - lines[1].second.X1, lines[0].second.X2 - lines[0].second.X1, 1);
}

struct TStairCase {
  const char* Name;
  std::vector<double> X, Y;
  std::vector<std::pair<double, double>> Stairs;
};

class StaircaseOfSeries : public ::testing::TestWithParam<TStairCase> {};

TEST_P(StaircaseOfSeries, Points) {
  TChartSeries s;
  s.Mark = TChartMark::Steps;
  s.X = GetParam().X;
  s.Y = GetParam().Y;
  EXPECT_EQ(StaircaseOf(s), GetParam().Stairs);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StaircaseOfSeries,
    ::testing::Values(
        TStairCase{"Distribution", {3, 1, NaN, 2, 2}, {},
                   {{1, 0}, {1, 0.25}, {2, 0.25}, {2, 0.5}, {2, 0.5}, {2, 0.75}, {3, 0.75}, {3, 1}}},
        TStairCase{"Given", {1, 2, 4}, {0.1, 0.5, 0.9}, {{1, 0.1}, {2, 0.1}, {2, 0.5}, {4, 0.5}, {4, 0.9}}},
        TStairCase{"Empty", {}, {}, {}}),
    CaseName);

// The graph program beside the test's tolvane-batch.
const std::filesystem::path GraphProgramBuilt = TOLVANE_BATCH_GRAPH;

TChart SmallChart(int width, int height) {
  TChart chart = UnitChart();
  chart.Width = width;
  chart.Height = height;
  chart.Series.push_back({"a", TChartMark::Line, Red, {0, 5, 10}, {0, 1, 0.5}, {}, 2});
  return chart;
}

TEST(SaveCharts, WritesPngAndSvgOfTheirSize) {
  TScratchDir dir;
  const std::string png = dir.File("a.PNG"), svg = dir.File("b.svg");
  // The handed-over file goes to a temporary folder of the test's own.
  const auto temporary = dir.Path / "tmp";
  std::filesystem::create_directory(temporary);
  const char* oldTemporary = std::getenv("TMPDIR");
  const std::string kept = oldTemporary ? oldTemporary : "";
  setenv("TMPDIR", temporary.c_str(), 1);
  std::string error;
  const bool saved = SaveChartsWith(
      GraphProgramBuilt, {{SmallChart(900, 560), png}, {SmallChart(1234, 777), svg}},
                             error);
  if (oldTemporary) setenv("TMPDIR", kept.c_str(), 1);
  else unsetenv("TMPDIR");
  ASSERT_TRUE(saved) << error;
  // The handed-over file is gone (Qt leaves a runtime folder of its own).
  for (const auto& entry : std::filesystem::directory_iterator(temporary))
    EXPECT_EQ(entry.path().filename().string().rfind("tolvane-charts-", 0), std::string::npos)
        << entry.path();
  const std::string bytes = ReadFileBytes(png);
  ASSERT_GT(bytes.size(), 24u);
  EXPECT_EQ(bytes.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  auto be32 = [&](std::size_t at) {
    return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
           (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
  };
  EXPECT_EQ(bytes.substr(12, 4), "IHDR");
  EXPECT_EQ(be32(16), 900);
  EXPECT_EQ(be32(20), 560);
  const std::string text = ReadFileBytes(svg);
  EXPECT_NE(text.find("viewBox=\"0 0 1234 777\""), std::string::npos);
  EXPECT_NE(text.find("A chart"), std::string::npos);
}

TEST(SaveCharts, RefusesOtherFilesAndNamesWhatFailed) {
  TScratchDir dir;
  std::string error;
  for (const char* name : {"a.bmp", "a.txt", "a"}) {
    error.clear();
    EXPECT_FALSE(SaveChartsWith(GraphProgramBuilt, {{SmallChart(900, 560), dir.File("ok.png")},
                                                    {SmallChart(900, 560), dir.File(name)}},
                                error));
    EXPECT_NE(error.find(".png or .svg"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(dir.File("ok.png")));  // nothing is drawn
  }
  EXPECT_TRUE(IsChartPath("x/y.Svg"));
  EXPECT_FALSE(IsChartPath("png"));

  // A folder that is not there: the other chart is still written.
  const std::string lost = dir.File("none/c.svg");
  EXPECT_FALSE(SaveChartsWith(GraphProgramBuilt, {{SmallChart(900, 560), lost},
                                                  {SmallChart(900, 560), dir.File("d.svg")}},
                              error));
  EXPECT_NE(error.find(lost), std::string::npos) << error;
  EXPECT_TRUE(std::filesystem::exists(dir.File("d.svg")));

  EXPECT_FALSE(SaveChartsWith(dir.Path / "no-such-program", {{SmallChart(900, 560), dir.File("e.png")}}, error));
  EXPECT_NE(error.find("cannot start"), std::string::npos) << error;
  EXPECT_TRUE(SaveChartsWith(dir.Path / "no-such-program", {}, error));  // nothing to draw
}

}  // namespace
