// The marks of a chart's series within its plot area: lines and staircases
// cut at the frame, dots, bands; and the little sample of each in the
// legend.
#pragma once

#include "graphs/chart.h"

// The plot area in pixels, its frame on the columns Left and Right and the
// rows Top and Bottom, and the values at its edges.
struct TChartScale {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  double XLow = 0, XHigh = 1, YLow = 0, YHigh = 1;
  bool LogX = false;
  // Pixel column and row of a value (not rounded); NaN where the value
  // cannot be drawn (not finite, or not above 0 on a log axis).
  double Column(double x) const;
  double Row(double y) const;
};

// Sizes of pens and dots grow by factor with the chart.
void DrawSeries(const TChartSeries& series, const TChartScale& scale, double factor,
                TGraphCanvas& canvas);
// The legend's sample of the series in the box left, top, width, height.
void DrawSwatch(const TChartSeries& series, int left, int top, int width, int height,
                double factor, TGraphCanvas& canvas);

// The points of a Steps series: its staircase, in order.
std::vector<std::pair<double, double>> StaircaseOf(const TChartSeries& series);
