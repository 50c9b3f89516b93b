// The JSON form of a chart: keys in lower case, colours as "#rrggbb",
// values that are not finite as null (JSON has no NaN).
#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <limits>

#include "graphs/chart.h"

namespace {

using TJson = nlohmann::ordered_json;

constexpr std::array<std::pair<TChartMark, const char*>, 4> MarkNames = {{
    {TChartMark::Line, "line"},
    {TChartMark::Dots, "dots"},
    {TChartMark::Band, "band"},
    {TChartMark::Steps, "steps"},
}};

TJson Values(const std::vector<double>& values) {
  TJson array = TJson::array();
  for (const double v : values) {
    if (std::isfinite(v)) array.push_back(v);
    else array.push_back(nullptr);
  }
  return array;
}

std::string ColourText(TRgb c) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", c.R, c.G, c.B);
  return text;
}

TJson ChartJson(const TChart& chart) {
  TJson j;
  j["title"] = chart.Title;
  j["x_title"] = chart.XTitle;
  j["y_title"] = chart.YTitle;
  j["x_is_days"] = chart.XIsDays;
  j["log_x"] = chart.LogX;
  if (chart.XMin) j["x_min"] = *chart.XMin;
  if (chart.XMax) j["x_max"] = *chart.XMax;
  if (chart.YMin) j["y_min"] = *chart.YMin;
  if (chart.YMax) j["y_max"] = *chart.YMax;
  j["width"] = chart.Width;
  j["height"] = chart.Height;
  TJson series = TJson::array();
  for (const TChartSeries& s : chart.Series) {
    TJson one;
    one["name"] = s.Name;
    for (const auto& [mark, name] : MarkNames)
      if (mark == s.Mark) one["mark"] = name;
    one["colour"] = ColourText(s.Colour);
    one["line_width"] = s.LineWidth;
    one["x"] = Values(s.X);
    one["y"] = Values(s.Y);
    if (!s.Y2.empty()) one["y2"] = Values(s.Y2);
    series.push_back(std::move(one));
  }
  j["series"] = std::move(series);
  return j;
}

// A refusal of the chart, with what was wrong.
struct TBadChart {
  std::string What;
};

const TJson* Member(const TJson& object, const char* key) {
  const auto it = object.find(key);
  return it == object.end() ? nullptr : &*it;
}

template <class T>
void Take(const TJson& object, const char* key, T& into) {
  const TJson* v = Member(object, key);
  if (!v) return;
  if constexpr (std::is_same_v<T, std::string>) {
    if (!v->is_string()) throw TBadChart{std::string(key) + " is not a text"};
  } else if constexpr (std::is_same_v<T, bool>) {
    if (!v->is_boolean()) throw TBadChart{std::string(key) + " is not true or false"};
  } else if constexpr (std::is_same_v<T, int>) {
    if (!v->is_number_integer() || (v->is_number_unsigned() && v->get<std::uint64_t>() > 1000000) ||
        (!v->is_number_unsigned() && std::abs(v->get<std::int64_t>()) > 1000000))
      throw TBadChart{std::string(key) + " is not a whole number of sense"};
  }
  into = v->get<T>();
}

void TakeBound(const TJson& object, const char* key, std::optional<double>& into) {
  const TJson* v = Member(object, key);
  if (!v || v->is_null()) return;
  if (!v->is_number()) throw TBadChart{std::string(key) + " is not a number"};
  into = v->get<double>();
}

std::vector<double> TakeValues(const TJson& object, const char* key) {
  const TJson* v = Member(object, key);
  std::vector<double> values;
  if (!v) return values;
  if (!v->is_array()) throw TBadChart{std::string(key) + " is not a list of numbers"};
  values.reserve(v->size());
  for (const TJson& e : *v) {
    if (e.is_null()) values.push_back(std::numeric_limits<double>::quiet_NaN());
    else if (e.is_number()) values.push_back(e.get<double>());
    else throw TBadChart{std::string(key) + " holds something other than a number"};
  }
  return values;
}

TRgb TakeColour(const TJson& object) {
  std::string text = "#000000";
  Take(object, "colour", text);
  unsigned r = 0, g = 0, b = 0;
  char end = 0;
  if (text.size() != 7 || std::sscanf(text.c_str(), "#%2x%2x%2x%c", &r, &g, &b, &end) != 3)
    throw TBadChart{"colour \"" + text + "\" is not #rrggbb"};
  return {static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(g), static_cast<std::uint8_t>(b)};
}

TChartSeries SeriesOf(const TJson& j) {
  if (!j.is_object()) throw TBadChart{"a series is not an object"};
  TChartSeries s;
  Take(j, "name", s.Name);
  std::string mark = "line";
  Take(j, "mark", mark);
  const auto it = std::find_if(MarkNames.begin(), MarkNames.end(),
                               [&](const auto& m) { return mark == m.second; });
  if (it == MarkNames.end()) throw TBadChart{"mark \"" + mark + "\" is not line, dots, band or steps"};
  s.Mark = it->first;
  s.Colour = TakeColour(j);
  Take(j, "line_width", s.LineWidth);
  if (s.LineWidth < 1 || s.LineWidth > 20) throw TBadChart{"line_width is not 1 to 20"};
  s.X = TakeValues(j, "x");
  s.Y = TakeValues(j, "y");
  s.Y2 = TakeValues(j, "y2");
  const bool cdf = s.Mark == TChartMark::Steps && s.Y.empty();
  if (!cdf && s.Y.size() != s.X.size())
    throw TBadChart{"series \"" + s.Name + "\" has not as many y as x"};
  if (s.Mark == TChartMark::Band ? s.Y2.size() != s.X.size() : !s.Y2.empty())
    throw TBadChart{"series \"" + s.Name + "\": y2 goes with a band, as many as x"};
  return s;
}

TChart ChartOf(const TJson& j) {
  if (!j.is_object()) throw TBadChart{"the chart is not an object"};
  TChart chart;
  Take(j, "title", chart.Title);
  Take(j, "x_title", chart.XTitle);
  Take(j, "y_title", chart.YTitle);
  Take(j, "x_is_days", chart.XIsDays);
  Take(j, "log_x", chart.LogX);
  TakeBound(j, "x_min", chart.XMin);
  TakeBound(j, "x_max", chart.XMax);
  TakeBound(j, "y_min", chart.YMin);
  TakeBound(j, "y_max", chart.YMax);
  Take(j, "width", chart.Width);
  Take(j, "height", chart.Height);
  for (const int size : {chart.Width, chart.Height})
    if (size < MinChartSize || size > MaxChartSize)
      throw TBadChart{"width and height must be " + std::to_string(MinChartSize) + " to " +
                      std::to_string(MaxChartSize) + " pixels"};
  const TJson* series = Member(j, "series");
  if (!series || !series->is_array()) throw TBadChart{"the chart has no list of series"};
  for (const TJson& s : *series) chart.Series.push_back(SeriesOf(s));
  return chart;
}

template <class T, class TRead>
std::optional<T> Read(const std::string& text, std::string& error, TRead read) {
  try {
    return read(TJson::parse(text));
  } catch (const TJson::exception& e) {
    error = e.what();
  } catch (const TBadChart& e) {
    error = e.What;
  }
  return std::nullopt;
}

}  // namespace

namespace {

// Texts that are not UTF-8 (a title from an old file) are mended, not refused.
std::string Dump(const TJson& j) { return j.dump(-1, ' ', false, TJson::error_handler_t::replace); }

}  // namespace

std::string FormatChart(const TChart& chart) { return Dump(ChartJson(chart)); }

std::optional<TChart> ReadChart(const std::string& text, std::string& error) {
  return Read<TChart>(text, error, ChartOf);
}

std::string FormatChartFiles(const TChartFiles& charts) {
  TJson array = TJson::array();
  for (const auto& [chart, path] : charts) {
    TJson one;
    one["chart"] = ChartJson(chart);
    one["path"] = path;
    array.push_back(std::move(one));
  }
  return Dump(array);
}

std::optional<TChartFiles> ReadChartFiles(const std::string& text, std::string& error) {
  return Read<TChartFiles>(text, error, [](const TJson& j) {
    if (!j.is_array()) throw TBadChart{"not a list of charts"};
    TChartFiles charts;
    for (const TJson& one : j) {
      if (!one.is_object()) throw TBadChart{"an entry is not an object"};
      const TJson* chart = Member(one, "chart");
      const TJson* path = Member(one, "path");
      if (!chart || !path || !path->is_string() || path->get<std::string>().empty())
        throw TBadChart{"an entry has no chart or no path"};
      charts.emplace_back(ChartOf(*chart), path->get<std::string>());
    }
    return charts;
  });
}
