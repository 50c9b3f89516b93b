// The graph state of the graphs unit and the three computing routines that
// turn the graph series into axes, pixels and titles.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/graphkind.h"

class TDMQuorell;

// The state of the graphs: it keeps its values from one graph to the next
// (where ScaleAxes sets nothing, the previous graph's stay). The program
// has one, GraphState; every routine takes the one it works on.
struct TGraphState {
  double XMin = 0, XMax = 0;
  double YMin = 0, YMax = 0;
  double MinRecharge = 0, MaxRecharge = 0;
  double MinRunCalc = 0, MaxRunCalc = 0;
  double MinRunMeas = 0, MaxRunMeas = 0;
  int XLeft = 0, XRight = 0;
  int YBottom = 0, YTop = 0;
  int XFactor = 0, YFactor = 0;
  int XSteps = 0, YSteps = 0;
  int XDecimals = 0, YDecimals = 0;
  // Lengths of the axes in pixels; fixed from start-up on.
  int PlotWidth = 500;
  int PlotHeight = 320;
  std::vector<int> PixX;
  std::vector<int> PixRain, PixRecharge, PixRunCalc, PixRunMeas;
  std::string XTitle, YTitle;
  std::string LegendLine1, LegendLine2;
  // Decimal separator of the tick labels and the R square: the windows set
  // the user's, the batch tool keeps the point.
  char DecimalSeparator = '.';
};

// The program's graph state, alive for the whole run.
extern TGraphState GraphState;

// Nearest integer, an exact half to the even neighbour (2.5 -> 2, 3.5 -> 4).
double RoundHalfEven(double value);
// RoundHalfEven, held within the range of a 32-bit integer (NaN gives 0), so
// that absurd values give absurd axes but never undefined behaviour.
int RoundToInt(double value);

// The factor 1, 10, 100 or 1000 that blows up a small positive range.
int AxisFactor(double min, double max);

// Axis ends, number of intervals and decimals by the step ladder; empty for
// a maximum of 100 000 or more, where the previous values stay.
struct TAxisEnds {
  int Low = 0;
  int High = 0;
  int Steps = 0;
  int Decimals = 0;
};
std::optional<TAxisEnds> LadderAxis(double min, double max, bool vertical);

// Points the graph can use: NrOfData, but never more than the series hold.
int GraphPointCount(const TDMQuorell& dm);

void ScaleAxes(TGraphState& g, const TDMQuorell& dm, TGraphKind kind);
// Scales the series in place by the factors and fills the pixel arrays.
void ToPixels(TGraphState& g, TDMQuorell& dm);
void SetGraphTexts(TGraphState& g, TGraphKind kind);

// Pixel column and row of a scaled value on the current axes.
int PixelColumn(const TGraphState& g, double value);
int PixelRow(const TGraphState& g, double value);
