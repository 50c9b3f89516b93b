#include "graphs/graphscale.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "model/dmquorell.h"

TGraphState GraphState{};

namespace {

// The starting minimum of every range; it takes part in the search.
constexpr double NoMinimum = 10000000;

// A value at or above this keeps the previous graph's axis.
constexpr double LadderEnd = 100000;

int SaturateToInt(double value) {
  if (std::isnan(value)) return 0;
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

struct TLadderRow {
  double Below;  // first scaled maximum that no longer fits
  int Step;
  int VerticalDecimals;
  int HorizontalDecimals;
};

constexpr TLadderRow StepRows[] = {
    {25, 4, 1, 1},          {50, 5, 1, 0},           {100, 10, 0, 0},
    {250, 25, 0, 0},        {500, 50, 0, 0},         {1000, 100, 0, 0},
    {2500, 250, 0, 0},      {5000, 500, 0, 0},       {10000, 1000, 0, 0},
    {25000, 2500, 0, 0},    {50000, 5000, 0, 0},     {LadderEnd, 10000, 0, 0},
};

TAxisEnds Ends(double low, double high, bool halveAboveTen, int decimals) {
  TAxisEnds ends;
  ends.Low = RoundToInt(low);
  ends.High = RoundToInt(high);
  long long steps = static_cast<long long>(ends.High) - ends.Low;
  if (halveAboveTen && steps > 10) steps /= 2;
  ends.Steps = SaturateToInt(static_cast<double>(steps));
  ends.Decimals = decimals;
  return ends;
}

void Widen(double value, double& min, double& max) {
  if (value > max) max = value;
  if (value < min) min = value;
}

std::string FactorText(int factor) {
  return factor == 1 ? std::string() : " * " + std::to_string(factor);
}

}  // namespace

double RoundHalfEven(double value) {
  const double r = std::round(value);  // halves away from zero
  if (std::fabs(value - std::trunc(value)) == 0.5) return 2 * std::round(value / 2);
  return r;
}

int RoundToInt(double value) { return SaturateToInt(RoundHalfEven(value)); }

int AxisFactor(double min, double max) {
  if (!(min > 0)) return 1;
  if (max < 0.01) return 1000;
  if (0.01 < max && max < 0.1) return 100;
  if (0.1 < max && max < 1) return 10;
  return 1;
}

std::optional<TAxisEnds> LadderAxis(double min, double max, bool vertical) {
  if (vertical && max < 1) return Ends(min - 0.05, max + 0.05, true, 2);
  if (vertical && max < 10) return Ends(min - 0.5, max + 1.5, true, 1);
  if (!vertical && max < 10) return Ends(min - 0.5, max + 0.5, false, 1);
  for (const auto& row : StepRows) {
    if (max >= row.Below) continue;
    const double s = row.Step;
    TAxisEnds ends;
    ends.Low = SaturateToInt(s * RoundHalfEven((min - s / 2) / s));
    ends.High = SaturateToInt(s * RoundHalfEven((max + s / 2) / s));
    ends.Steps = SaturateToInt(static_cast<double>(
        (static_cast<long long>(ends.High) - ends.Low) / row.Step));
    ends.Decimals = vertical ? row.VerticalDecimals : row.HorizontalDecimals;
    return ends;
  }
  return std::nullopt;
}

int GraphPointCount(const TDMQuorell& dm) {
  std::size_t n = dm.NrOfData > 0 ? static_cast<std::size_t>(dm.NrOfData) : 0;
  for (const auto* series : {&dm.GraphTime, &dm.GraphRain, &dm.GraphRecharge, &dm.GraphRunCalc,
                             &dm.GraphRunMeas})
    n = std::min(n, series->size());
  return static_cast<int>(n);
}

namespace {

// One axis: its factor blows up the range, then the ladder sets its ends,
// intervals and decimals (all kept from the graph before when the ladder
// has no row for it).
void ScaleAxis(double& min, double& max, bool vertical, int& factor, int& low, int& high,
               int& steps, int& decimals) {
  factor = AxisFactor(min, max);
  min *= factor;
  max *= factor;
  if (const auto ends = LadderAxis(min, max, vertical)) {
    low = ends->Low;
    high = ends->High;
    steps = ends->Steps;
    decimals = ends->Decimals;
  }
}

}  // namespace

void ScaleAxes(TGraphState& g, const TDMQuorell& dm, TGraphKind kind) {
  g.XMax = g.YMax = g.MaxRecharge = g.MaxRunCalc = g.MaxRunMeas = 0;
  g.XMin = g.YMin = g.MinRecharge = g.MinRunCalc = g.MinRunMeas = NoMinimum;
  const int n = GraphPointCount(dm);
  for (int i = 0; i < n; ++i) {
    Widen(dm.GraphTime[i], g.XMin, g.XMax);
    Widen(dm.GraphRain[i], g.YMin, g.YMax);
    Widen(dm.GraphRecharge[i], g.MinRecharge, g.MaxRecharge);
    Widen(dm.GraphRunCalc[i], g.MinRunCalc, g.MaxRunCalc);
    Widen(dm.GraphRunMeas[i], g.MinRunMeas, g.MaxRunMeas);
  }

  switch (kind) {
    case TGraphKind::RunoffDetermination:
      g.YMin = g.MinRunCalc;
      g.YMax = 1.1 * g.MaxRunCalc;
      if (g.MinRunMeas < g.YMin) g.YMin = g.MinRunMeas;
      if (g.MaxRunMeas > g.YMax) g.YMax = 1.1 * g.MaxRunMeas;
      break;
    case TGraphKind::RechargeDetermination:
      if (g.MinRecharge < g.YMin) g.YMin = g.MinRecharge;
      if (g.MaxRecharge > g.YMax) g.YMax = 1.1 * g.MaxRecharge;
      break;
    case TGraphKind::RechargePrediction:
      g.YMin = g.MinRunCalc;
      g.YMax = 1.1 * g.MaxRunCalc;
      break;
    case TGraphKind::ObservedCalculated:
      g.YMin = std::min(g.MinRunCalc, g.MinRunMeas);
      g.YMax = g.MaxRunCalc < g.MaxRunMeas ? 1.1 * g.MaxRunMeas : 1.1 * g.MaxRunCalc;
      // Both axes start from the same range, with the margin taken once.
      g.XMin = g.YMin;
      g.XMax = g.YMax;
      break;
    case TGraphKind::RunoffPrediction:  // the extremes of the predicted runoff
      break;
  }

  if (g.YMin == 0 && g.YMax == 0) {
    g.YMax = 1;
  } else if (g.YMin == g.YMax) {
    g.YMin = 0;
    g.YMax = g.YMax + 1;
  }

  g.YMax = 1.1 * g.YMax;
  ScaleAxis(g.YMin, g.YMax, true, g.YFactor, g.YBottom, g.YTop, g.YSteps, g.YDecimals);
  if (g.YTop == 0) g.YTop = 1;
  ScaleAxis(g.XMin, g.XMax, false, g.XFactor, g.XLeft, g.XRight, g.XSteps, g.XDecimals);

  // Between 4 and 10 intervals; forced intervals need more decimals.
  if (g.YSteps > 10) {
    g.YSteps = 10;
    g.YDecimals += 1;
  }
  if (g.XSteps > 10) {
    g.XSteps = 10;
    g.XDecimals += 1;
  }
  if (g.YSteps < 4) {
    g.YSteps = 4;
    if (g.YDecimals == 0) g.YDecimals = 1;
  }
  if (g.XSteps < 4) {
    g.XSteps = 4;
    g.XDecimals += 1;
  }
}

namespace {

// Pixels far off the bitmap are as good as any: kept within a million so
// that the drawing can still offset them without overflow.
constexpr double PixelLimit = 1000000;

int ClampPixel(double value) {
  if (std::isnan(value)) return 0;
  return static_cast<int>(std::clamp(value, -PixelLimit, PixelLimit));
}

}  // namespace

int PixelColumn(const TGraphState& g, double value) {
  const double span = static_cast<double>(g.XRight) - g.XLeft;
  return ClampPixel(70 + RoundHalfEven((value - g.XLeft) * g.PlotWidth / span));
}

int PixelRow(const TGraphState& g, double value) {
  const double span = static_cast<double>(g.YTop) - g.YBottom;
  // 385, not 390: the data sit 5 pixels above the bottom tick of the scale.
  return ClampPixel(385 - RoundHalfEven((value - g.YBottom) * g.PlotHeight / span));
}

void ToPixels(TGraphState& g, TDMQuorell& dm) {
  const int n = GraphPointCount(dm);
  g.PixX.assign(n, 0);
  g.PixRain.assign(n, 0);
  g.PixRecharge.assign(n, 0);
  g.PixRunCalc.assign(n, 0);
  g.PixRunMeas.assign(n, 0);
  for (int i = 0; i < n; ++i) {
    dm.GraphTime[i] *= g.XFactor;
    dm.GraphRain[i] *= g.YFactor;
    dm.GraphRecharge[i] *= g.YFactor;
    dm.GraphRunCalc[i] *= g.YFactor;
    dm.GraphRunMeas[i] *= g.YFactor;
    g.PixX[i] = PixelColumn(g, dm.GraphTime[i]);
    g.PixRain[i] = PixelRow(g, dm.GraphRain[i]);
    g.PixRecharge[i] = PixelRow(g, dm.GraphRecharge[i]);
    g.PixRunCalc[i] = PixelRow(g, dm.GraphRunCalc[i]);
    g.PixRunMeas[i] = PixelRow(g, dm.GraphRunMeas[i]);
  }
}

void SetGraphTexts(TGraphState& g, TGraphKind kind) {
  const bool observed = kind == TGraphKind::ObservedCalculated;
  g.XTitle = (observed ? "Runoff observed" : "Time") + FactorText(g.XFactor);
  if (kind == TGraphKind::RunoffDetermination) {
    g.YTitle = g.YFactor == 1 ? "Discharge/runoff (mm/t)"
                              : "Discharge or runoff" + FactorText(g.YFactor);
    g.LegendLine1 = " o  observed";
    g.LegendLine2 = "--- calculated";
  } else if (observed) {
    g.YTitle = g.YFactor == 1 ? "Runoff calculated (mm/t)"
                              : "Runoff calculated" + FactorText(g.YFactor);
    g.LegendLine1 = " ---  Obs = Calc";
  }
}
