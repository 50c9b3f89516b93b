// The rendering sequence of a graph: frame, titles, axes with their ticks
// and labels, the data, and the legend, in the order the program always
// drew them (later texts paint their cells over what lies beneath).
#include "graphs/graphdraw.h"

#include <cmath>
#include <string>

#include "base/numformat.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"

namespace {

// What the canvas of the program keeps between calls: the fill colour for
// rectangles and text cells, the pen and the font.
class TPen {
public:
  TPen(TGraphCanvas& canvas, const TGraphState& g) : Canvas(canvas), G(g) {}
  void Fill(int left, int top, int right, int bottom) {
    Canvas.FillRect(left, top, right, bottom, FillColour);
  }
  void Line(int x1, int y1, int x2, int y2) { Canvas.Line(x1, y1, x2, y2, PenColour, PenWidth); }
  void Text(int x, int y, const std::string& text) { Canvas.Text(x, y, text, Font, FillColour); }
  TTextSize Measure(const std::string& text) { return Canvas.MeasureText(text, Font); }

  TGraphCanvas& Canvas;
  const TGraphState& G;  // what the graph is drawn from
  TRgb FillColour = GraphColours::White;
  TRgb PenColour = GraphColours::Black;
  int PenWidth = 1;
  TGraphFont Font;
};

void RSquareText(TPen& pen, double rSquare) {
  if (rSquare > 0.5) pen.Text(445, 60, "R square = " + FormatGeneral(rSquare, pen.G.DecimalSeparator));
}

void Captions(TPen& pen, TGraphKind kind, double rSquare) {
  const auto& g = pen.G;
  switch (kind) {
    case TGraphKind::RunoffDetermination:
      pen.Text(82, 60, g.YTitle);
      RSquareText(pen, rSquare);
      pen.Font.Colour = GraphColours::Aqua;
      pen.Text(95, 75, g.LegendLine1);
      pen.Font.Colour = GraphColours::White;
      pen.Text(95, 90, g.LegendLine2);
      break;
    case TGraphKind::RunoffPrediction:
      pen.Text(80, 50, "Discharge (predicted) in mm/t");
      break;
    case TGraphKind::RechargeDetermination:
    case TGraphKind::RechargePrediction:
      pen.Text(85, 60, " Rain/irrigation in mm/t");
      pen.Font.Colour = GraphColours::SkyBlue;
      pen.Text(86, 75, " Recharge in mm/t");
      pen.Font.Colour = GraphColours::White;
      break;
    case TGraphKind::ObservedCalculated:
      pen.Text(82, 60, g.YTitle);
      pen.Text(95, 75, g.LegendLine1);
      RSquareText(pen, rSquare);
      break;
  }
}

void Ticks(TPen& pen) {
  const auto& g = pen.G;
  for (int i = 0; i <= g.YSteps; ++i) {
    const double part = static_cast<double>(i) / g.YSteps;
    const int y = RoundToInt(part * g.PlotHeight + 70);
    pen.Line(70, y, 66, y);
    const std::string label =
        TickLabel(g.YTop - part * (static_cast<double>(g.YTop) - g.YBottom), g.YDecimals,
                  g.DecimalSeparator);
    const auto size = pen.Measure(label);
    // Right-aligned 6 pixels left of the axis, centred on the tick.
    pen.Text(64 - size.Width, y - RoundToInt(0.5 * size.Height), label);
  }
  for (int i = 0; i <= g.XSteps; ++i) {
    const double part = static_cast<double>(i) / g.XSteps;
    const int x = RoundToInt(part * g.PlotWidth + 70);
    pen.Line(x, 390, x, 395);
    const double value =
        g.XLeft + (static_cast<double>(g.XRight) - g.XLeft) * i / g.XSteps;
    pen.Text(RoundToInt(part * g.PlotWidth + 62), 400,
             TickLabel(value, g.XDecimals, g.DecimalSeparator));
  }
}

void Marker(TPen& pen, int x, int y) {
  pen.Font.Size = 10;
  pen.Font.Colour = GraphColours::Aqua;
  pen.Text(x, y, GraphMarker);
}

void Series(TPen& pen, TGraphKind kind, int n) {
  const auto& g = pen.G;
  const bool recharge =
      kind == TGraphKind::RechargeDetermination || kind == TGraphKind::RechargePrediction;
  if (recharge) {
    pen.FillColour = GraphColours::SkyBlue;
    // Bar i spans from point i to point i + 1 at the height of value i.
    for (int i = 0; i + 1 < n; ++i)
      if (g.PixRecharge[i] < 385) pen.Fill(g.PixX[i], g.PixRecharge[i], g.PixX[i + 1], 389);
  }
  pen.PenColour = GraphColours::White;
  for (int i = 0; i + 1 < n; ++i) {
    switch (kind) {
      case TGraphKind::RunoffDetermination:
        Marker(pen, g.PixX[i], g.PixRunMeas[i] - 10);
        pen.Line(g.PixX[i], g.PixRunCalc[i], g.PixX[i + 1], g.PixRunCalc[i + 1]);
        break;
      case TGraphKind::RunoffPrediction:
        pen.Line(g.PixX[i], g.PixRain[i], g.PixX[i + 1], g.PixRain[i + 1]);
        break;
      case TGraphKind::RechargeDetermination:
      case TGraphKind::RechargePrediction: {
        // The outline of a step of rain over the recharge bar.
        const bool determination = kind == TGraphKind::RechargeDetermination;
        const auto& rows = determination ? g.PixRain : g.PixRunCalc;
        const int base = determination ? 388 : 389;
        pen.PenWidth = determination ? 2 : 1;
        if (rows[i] < 385) {
          pen.Line(g.PixX[i], base, g.PixX[i], rows[i]);
          pen.Line(g.PixX[i], rows[i], g.PixX[i + 1], rows[i]);
          pen.Line(g.PixX[i + 1], rows[i], g.PixX[i + 1], base);
        }
        break;
      }
      case TGraphKind::ObservedCalculated:
        Marker(pen, g.PixX[i], g.PixRunCalc[i] - 5);
        break;
    }
  }
  if (n > 0 && kind == TGraphKind::RunoffDetermination)
    Marker(pen, g.PixX[n - 1], g.PixRunMeas[n - 1] - 10);
  if (n > 0 && kind == TGraphKind::ObservedCalculated)
    Marker(pen, g.PixX[n - 1], g.PixRunCalc[n - 1] - 5);
}

void LineOfEquality(TPen& pen) {
  const auto& g = pen.G;
  pen.PenColour = GraphColours::White;
  pen.PenWidth = 1;
  // XMax carries the margin 1.1 once and YMax twice: YMax / 1.1 is the
  // value XMax stands for, so the line ends where observed equals calculated
  // (dividing by 1.2 tilted it away from equality).
  pen.Line(PixelColumn(g, g.XMin), PixelRow(g, g.YMin), PixelColumn(g, g.XMax),
           PixelRow(g, g.YMax / 1.1));
}

}  // namespace

std::string FooterText() { return std::string("Tolvane program at ") + ProgramWebAddress; }

std::string TickLabel(double value, int decimals, char separator) {
  // Ticks are whole steps apart: one that rounds to zero is the zero tick,
  // even when the arithmetic left it a hair below, and gets no minus sign.
  if (std::fabs(value) < 0.5 * std::pow(10.0, -decimals)) value = 0;
  return FormatFixed(value, decimals + 2, decimals, separator);
}

bool ShowGraphics(TGraphState& g, TDMQuorell& dm, TGraphKind kind, TGraphCanvas& canvas) {
  const int n = GraphPointCount(dm);
  if (n == 0) {
    dm.ShowMessage("The graph cannot be drawn: the output file holds no data points.");
    return false;
  }
  ScaleAxes(g, dm, kind);
  // Every value rounds to the same axis end: there is no scale to draw on.
  if (g.XRight == g.XLeft) {
    dm.ShowMessage(
        "The graph cannot be drawn: the values along the horizontal axis do not differ enough "
        "to give it a scale.");
    return false;
  }
  if (g.YTop == g.YBottom) {
    dm.ShowMessage(
        "The graph cannot be drawn: the values along the vertical axis do not differ enough "
        "to give it a scale.");
    return false;
  }
  ToPixels(g, dm);
  SetGraphTexts(g, kind);

  TPen pen(canvas, g);
  pen.Font = TGraphFont{"Arial", 10, GraphColours::Black};
  pen.FillColour = GraphColours::Silver;
  pen.Fill(0, 0, GraphWidth, GraphHeight);
  pen.Text(105, 5, dm.Title1);
  pen.Font.Size = 8;
  pen.Text(20, 450, FooterText());

  // The plot panel; the fill colour stays, so later text cells are dark blue.
  pen.FillColour = GraphColours::DarkBlue;
  pen.Fill(20, 19, 605, 445);
  pen.PenColour = GraphColours::White;
  pen.PenWidth = 1;
  pen.Font.Colour = GraphColours::White;
  pen.Text(105, 20, dm.Title2);
  pen.Line(70, 390, 70, 70);
  pen.Line(70, 390, 570, 390);
  const bool observed = kind == TGraphKind::ObservedCalculated;
  pen.Text(observed ? 470 : 510, 415, g.XTitle);

  Captions(pen, kind, dm.Analysis().RSquare);
  Ticks(pen);
  Series(pen, kind, n);
  if (observed) LineOfEquality(pen);
  return true;
}
