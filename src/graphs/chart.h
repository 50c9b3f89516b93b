// Report charts: a few series over two numeric axes (or dates), drawn on any
// graph canvas at any size, and their JSON form for the drawing program.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "graphs/graphcanvas.h"

// Line: a polyline, broken where a value is not finite. Dots: a small disc
// at every point. Band: the area between Y (lower) and Y2 (upper). Steps:
// a staircase rising at every X; with Y empty it is the empirical
// cumulative distribution of X (Y from 0 to 1).
enum class TChartMark { Line, Dots, Band, Steps };

struct TChartSeries {
  std::string Name;  // legend text; empty: not in the legend
  TChartMark Mark = TChartMark::Line;
  TRgb Colour;
  std::vector<double> X, Y;  // Band: Y the lower edge, Y2 the upper
  std::vector<double> Y2;
  int LineWidth = 1;  // of Line and Steps, at 900 x 560
};

struct TChart {
  std::string Title, XTitle, YTitle;
  bool XIsDays = false;  // X are days since 1970-01-01: axis labelled with dates
  bool LogX = false;     // X on a log axis; values not above 0 are left out
  std::optional<double> YMin, YMax;  // fixed range, else from the data
  std::optional<double> XMin, XMax;
  std::vector<TChartSeries> Series;  // drawn in order: a band first lies behind the lines
  int Width = 900, Height = 560;     // pixels (PNG) / view box (SVG)
};

// The plot's frame and ticks.
inline constexpr TRgb ChartFrameColour{64, 64, 64};

// Sizes a chart may have, in pixels each way.
inline constexpr int MinChartSize = 200;
inline constexpr int MaxChartSize = 10000;

void DrawChart(const TChart& chart, TGraphCanvas& canvas);

// The chart as JSON and back (non-finite values as null), to hand it to the
// drawing program.
std::string FormatChart(const TChart& chart);
std::optional<TChart> ReadChart(const std::string& text, std::string& error);

// Charts with the files they go to, as the drawing program reads them: a
// JSON array of {"chart": ..., "path": ...}.
using TChartFiles = std::vector<std::pair<TChart, std::string>>;
std::string FormatChartFiles(const TChartFiles& charts);
std::optional<TChartFiles> ReadChartFiles(const std::string& text, std::string& error);
