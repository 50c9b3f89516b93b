// Axis scaling, pixel conversion, titles and the drawing sequence, on a
// canvas that records what it is asked to draw.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>

#include "graphs/graphdraw.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"
#include "support/test_support.h"

namespace {

struct TOp {
  char What;  // 'R' rectangle, 'L' line, 'T' text
  int X1, Y1, X2, Y2;
  TRgb Colour;
  int Width;
  std::string Text;
  TGraphFont Font;
};

class TRecordingCanvas : public TGraphCanvas {
public:
  void FillRect(int l, int t, int r, int b, TRgb c) override { Ops.push_back({'R', l, t, r, b, c, 0, "", {}}); }
  void Line(int x1, int y1, int x2, int y2, TRgb c, int w) override {
    Ops.push_back({'L', x1, y1, x2, y2, c, w, "", {}});
  }
  void Text(int x, int y, const std::string& text, const TGraphFont& font, TRgb background) override {
    Ops.push_back({'T', x, y, 0, 0, background, 0, text, font});
  }
  // Seven pixels a character, twelve high.
  TTextSize MeasureText(const std::string& text, const TGraphFont&) override {
    return {7 * static_cast<int>(text.size()), 12};
  }
  const TOp* FindText(const std::string& text) const {
    for (const auto& op : Ops)
      if (op.What == 'T' && op.Text == text) return &op;
    return nullptr;
  }
  std::vector<TOp> Ops;
};

// Graph series of n points with the given values (the others 1).
void Series(TDMQuorell& dm, std::vector<double> time, std::vector<double> rain = {},
            std::vector<double> runCalc = {}, std::vector<double> runMeas = {},
            std::vector<double> recharge = {}) {
  const std::size_t n = time.size();
  auto fill = [n](std::vector<double> v) { return v.empty() ? std::vector<double>(n, 1) : v; };
  dm.NrOfData = static_cast<int>(n);
  dm.GraphTime = time;
  dm.GraphRain = fill(rain);
  dm.GraphRunCalc = fill(runCalc);
  dm.GraphRunMeas = fill(runMeas);
  dm.GraphRecharge = fill(recharge);
}

class Graphs : public ::testing::Test {
protected:
  TDMQuorell dm;
  TGraphState g;
};

TEST_F(Graphs, RoundingGoesToEven) {
  EXPECT_EQ(RoundHalfEven(2.5), 2);
  EXPECT_EQ(RoundHalfEven(3.5), 4);
  EXPECT_EQ(RoundHalfEven(-0.5), 0);
  EXPECT_EQ(RoundHalfEven(-1.5), -2);
  EXPECT_EQ(RoundHalfEven(10.3), 10);
  EXPECT_EQ(RoundToInt(1e300), INT_MAX);
}

TEST_F(Graphs, FactorsHaveExclusiveBounds) {
  EXPECT_EQ(AxisFactor(0.5, 0.005), 1000);
  EXPECT_EQ(AxisFactor(0.001, 0.01), 1);
  EXPECT_EQ(AxisFactor(0.001, 0.05), 100);
  EXPECT_EQ(AxisFactor(0.001, 0.1), 1);
  EXPECT_EQ(AxisFactor(0.001, 0.5), 10);
  EXPECT_EQ(AxisFactor(0.5, 1), 1);
  EXPECT_EQ(AxisFactor(0, 0.5), 1);
  EXPECT_EQ(AxisFactor(-1, 0.5), 1);
}

TEST_F(Graphs, LadderExamples) {
  struct TCase {
    double Min, Max;
    bool Vertical;
    int Low, High, Steps, Decimals;
  };
  const TCase cases[] = {
      {0, 46.2, true, 0, 50, 10, 1},  {0, 2000, true, 0, 2000, 8, 0},
      {1, 200, false, 0, 200, 8, 0},  {1, 30, false, 0, 30, 6, 0},
      {1, 30, true, 0, 30, 6, 1},     {1, 9, false, 0, 10, 10, 1},
      {1, 6.05, true, 0, 8, 8, 1},    {0.5, 8.8, true, 0, 10, 10, 1},
      {0, 0.5, true, 0, 1, 1, 2},     {10, 24, true, 8, 24, 4, 1},
      {0, 99999, true, 0, 100000, 10, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Max);
    const auto ends = LadderAxis(c.Min, c.Max, c.Vertical);
    ASSERT_TRUE(ends);
    EXPECT_EQ(ends->Low, c.Low);
    EXPECT_EQ(ends->High, c.High);
    EXPECT_EQ(ends->Steps, c.Steps);
    EXPECT_EQ(ends->Decimals, c.Decimals);
  }
  EXPECT_FALSE(LadderAxis(0, 100000, true));
}

TEST_F(Graphs, PredictedRunoffFromHalfToEight) {
  Series(dm, {1, 2, 3, 4, 5, 6, 7, 8, 9}, {0.5, 8, 3, 2, 1, 1, 1, 1, 1});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_DOUBLE_EQ(g.YMax, 8.8);
  EXPECT_EQ(g.YFactor, 1);
  EXPECT_EQ(g.YBottom, 0);
  EXPECT_EQ(g.YTop, 10);
  EXPECT_EQ(g.YSteps, 10);
  EXPECT_EQ(g.YDecimals, 1);
  // Times 1 to 9.
  EXPECT_EQ(g.XLeft, 0);
  EXPECT_EQ(g.XRight, 10);
  EXPECT_EQ(g.XSteps, 10);
  EXPECT_EQ(g.XDecimals, 1);
}

TEST_F(Graphs, SmallRunoffIsBlownUpAHundredTimes) {
  Series(dm, {1, 2, 3}, {}, {0.01, 0.03, 0.05}, {0.02, 0.05, 0.01});
  ScaleAxes(g, dm, TGraphKind::RunoffDetermination);
  EXPECT_EQ(g.YFactor, 100);
  EXPECT_NEAR(g.YMax, 6.05, 1e-12);
  EXPECT_EQ(g.YBottom, 0);
  EXPECT_EQ(g.YTop, 8);
  EXPECT_EQ(g.YSteps, 8);
  EXPECT_EQ(g.YDecimals, 1);
  SetGraphTexts(g, TGraphKind::RunoffDetermination);
  EXPECT_EQ(g.YTitle, "Discharge or runoff * 100");
  EXPECT_EQ(g.XTitle, "Time");
  EXPECT_EQ(g.LegendLine1, " o  observed");
  EXPECT_EQ(g.LegendLine2, "--- calculated");
  ToPixels(g, dm);
  EXPECT_DOUBLE_EQ(dm.GraphRunCalc[2], 5);  // drawn times 100
}

TEST_F(Graphs, AllZeroVerticalValues) {
  Series(dm, {1, 2, 3, 4, 5}, {0, 0, 0, 0, 0});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_DOUBLE_EQ(g.YMax, 1.1);
  EXPECT_EQ(g.YBottom, 0);
  EXPECT_EQ(g.YTop, 3);
  EXPECT_EQ(g.YSteps, 4);  // 3 intervals are too few
  EXPECT_EQ(g.YDecimals, 1);
}

TEST_F(Graphs, StartingValuesTakePartInTheSearch) {
  Series(dm, {1, 2, 3}, {-5, -3, -1});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(g.YMin, -5);
  EXPECT_EQ(g.YMax, 0);  // the maximum starts at 0
  Series(dm, {2e7, 3e7, 4e7}, {});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(g.XMin, 1e7);
}

TEST_F(Graphs, HugeAxisKeepsThePreviousGraphsValues) {
  Series(dm, {1, 2, 3}, {1, 2, 40});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  const int bottom = g.YBottom, top = g.YTop, steps = g.YSteps;
  Series(dm, {1, 2, 3}, {1, 2, 4e6});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(g.YBottom, bottom);
  EXPECT_EQ(g.YTop, top);
  EXPECT_EQ(g.YSteps, steps);
}

TEST_F(Graphs, ClampingOfTheSteps) {
  // Times -1000 to 990 by steps of 100: 20 intervals become 10, one more decimal.
  Series(dm, {-1000, 0, 990}, {1, 2, 3});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(g.XLeft, -1000);
  EXPECT_EQ(g.XRight, 1000);
  EXPECT_EQ(g.XSteps, 10);
  EXPECT_EQ(g.XDecimals, 1);
  // Times 0 to 2: 2 intervals become 4, one more decimal.
  Series(dm, {0, 1, 2}, {1, 2, 3});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(g.XRight, 2);
  EXPECT_EQ(g.XSteps, 4);
  EXPECT_EQ(g.XDecimals, 2);
  // Vertically 30 whole steps, halved to 15, become 10 with one more decimal.
  Series(dm, {1, 2, 3}, {-20, 5, 7.5});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(g.YBottom, -20);
  EXPECT_EQ(g.YTop, 10);
  EXPECT_EQ(g.YSteps, 10);
  EXPECT_EQ(g.YDecimals, 2);
}

TEST_F(Graphs, PixelsOfTheAxisEnds) {
  Series(dm, {0, 50, 100}, {0, 20, 35});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(PixelRow(g, g.YBottom), 385);
  EXPECT_EQ(PixelRow(g, g.YTop), 65);
  EXPECT_EQ(PixelColumn(g, g.XLeft), 70);
  EXPECT_EQ(PixelColumn(g, g.XRight), 570);
}

TEST_F(Graphs, ObservedAgainstCalculated) {
  Series(dm, {2, 3, 4}, {}, {2, 3, 4.5}, {2, 3, 4});
  ScaleAxes(g, dm, TGraphKind::ObservedCalculated);
  EXPECT_DOUBLE_EQ(g.XMax, 1.1 * 4.5);  // the margin once
  EXPECT_DOUBLE_EQ(g.YMax, 1.1 * 1.1 * 4.5);
  SetGraphTexts(g, TGraphKind::ObservedCalculated);
  EXPECT_EQ(g.XTitle, "Runoff observed");
  EXPECT_EQ(g.YTitle, "Runoff calculated (mm/t)");
  EXPECT_EQ(g.LegendLine1, " ---  Obs = Calc");
  Series(dm, {0.2, 0.3, 0.4}, {}, {0.2, 0.3, 0.4}, {0.2, 0.3, 0.4});
  ScaleAxes(g, dm, TGraphKind::ObservedCalculated);
  SetGraphTexts(g, TGraphKind::ObservedCalculated);
  EXPECT_EQ(g.XTitle, "Runoff observed * 10");
  EXPECT_EQ(g.YTitle, "Runoff calculated * 10");
}

TEST_F(Graphs, TitlesNameTheFactors) {
  struct TCase {
    TGraphKind Kind;
    int Factor;
    const char *XTitle, *YTitle;
  };
  const TCase cases[] = {
      {TGraphKind::RunoffDetermination, 1, "Time", "Discharge/runoff (mm/t)"},
      {TGraphKind::RunoffDetermination, 10, "Time * 10", "Discharge or runoff * 10"},
      {TGraphKind::RunoffDetermination, 1000, "Time * 1000", "Discharge or runoff * 1000"},
      {TGraphKind::ObservedCalculated, 1, "Runoff observed", "Runoff calculated (mm/t)"},
      {TGraphKind::ObservedCalculated, 100, "Runoff observed * 100", "Runoff calculated * 100"},
      {TGraphKind::ObservedCalculated, 1000, "Runoff observed * 1000", "Runoff calculated * 1000"},
      {TGraphKind::RechargePrediction, 100, "Time * 100", nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.XTitle);
    g = TGraphState{};
    g.XFactor = c.Factor;
    g.YFactor = c.Factor;
    SetGraphTexts(g, c.Kind);
    EXPECT_EQ(g.XTitle, c.XTitle);
    EXPECT_EQ(g.YTitle, c.YTitle ? c.YTitle : "");  // kinds 2 to 4 draw fixed captions
  }
}

TEST_F(Graphs, DrawingSequence) {
  dm.Title1 = "Area";
  dm.Title2 = "Units";
  dm.Analysis().RSquare = 0.83;
  Series(dm, {1, 2, 3, 4}, {0, 5, 0, 0}, {1, 2, 3, 2}, {1, 2.5, 3, 2});
  TRecordingCanvas canvas;
  ASSERT_TRUE(ShowGraphics(g, dm, TGraphKind::RunoffDetermination, canvas));
  const auto& ops = canvas.Ops;
  ASSERT_GT(ops.size(), 10u);
  EXPECT_EQ(ops[0].What, 'R');
  EXPECT_EQ(ops[0].Colour, GraphColours::Silver);
  EXPECT_EQ(ops[0].X2, 623);
  EXPECT_EQ(ops[0].Y2, 465);
  const auto* footer = canvas.FindText("Tolvane program at https://tolvane.example.org");
  ASSERT_TRUE(footer);
  EXPECT_EQ(footer->X1, 20);
  EXPECT_EQ(footer->Y1, 450);
  EXPECT_EQ(footer->Font.Size, 8);
  const auto* title2 = canvas.FindText("Units");
  ASSERT_TRUE(title2);
  EXPECT_EQ(title2->Colour, GraphColours::DarkBlue);  // the panel's colour behind it
  EXPECT_EQ(title2->Font.Colour, GraphColours::White);
  const auto* r2 = canvas.FindText("R square = 0.83");
  ASSERT_TRUE(r2);
  EXPECT_EQ(r2->X1, 445);
  // Vertical tick labels right-aligned at 64 and centred on the tick.
  const auto* top = canvas.FindText(TickLabel(g.YTop, g.YDecimals, '.'));
  ASSERT_TRUE(top);
  EXPECT_EQ(top->X1 + 7 * static_cast<int>(top->Text.size()), 64);
  EXPECT_EQ(top->Y1, 70 - 6);
  int markers = 0;
  for (const auto& op : ops)
    if (op.What == 'T' && op.Text == GraphMarker) {
      ++markers;
      EXPECT_EQ(op.Font.Colour, GraphColours::Aqua);
      EXPECT_EQ(op.Font.Size, 10);
    }
  EXPECT_EQ(markers, 4);
}

TEST_F(Graphs, RSquareOfAHalfIsNotShown) {
  dm.Analysis().RSquare = 0.5;
  Series(dm, {1, 2, 3, 4}, {}, {1, 2, 3, 2}, {1, 2.5, 3, 2});
  TRecordingCanvas canvas;
  ASSERT_TRUE(ShowGraphics(g, dm, TGraphKind::ObservedCalculated, canvas));
  for (const auto& op : canvas.Ops) EXPECT_EQ(op.Text.find("R square"), std::string::npos);
}

TEST_F(Graphs, RechargeBarsAndRainSteps) {
  Series(dm, {1, 2, 3, 4}, {10, 0, 20, 0}, {}, {}, {4, 0, 0, 0});
  TRecordingCanvas canvas;
  ASSERT_TRUE(ShowGraphics(g, dm, TGraphKind::RechargeDetermination, canvas));
  int bars = 0, wide = 0;
  for (const auto& op : canvas.Ops) {
    if (op.What == 'R' && op.Colour == GraphColours::SkyBlue) {
      ++bars;
      EXPECT_EQ(op.Y2, 389);
      EXPECT_EQ(op.X1, g.PixX[0]);
      EXPECT_EQ(op.X2, g.PixX[1]);
    }
    if (op.What == 'L' && op.Width == 2) ++wide;
  }
  EXPECT_EQ(bars, 1);
  EXPECT_EQ(wide, 6);  // two steps of rain, three lines each
}

TEST_F(Graphs, LineOfEqualityJoinsEqualValues) {
  struct TCase {
    std::vector<double> Calc, Meas;
    int XFactor, YFactor;
  };
  // The axes may blow the same runoff up by different factors.
  const TCase cases[] = {
      {{2, 3, 4.5}, {2, 3, 4}, 1, 1},
      {{0.05, 0.06, 0.085}, {0.05, 0.07, 0.08}, 100, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.XFactor);
    Series(dm, c.Meas, {}, c.Calc, c.Meas);
    TRecordingCanvas canvas;
    ASSERT_TRUE(ShowGraphics(g, dm, TGraphKind::ObservedCalculated, canvas));
    EXPECT_EQ(g.XFactor, c.XFactor);
    EXPECT_EQ(g.YFactor, c.YFactor);
    const auto& line = canvas.Ops.back();
    ASSERT_EQ(line.What, 'L');
    EXPECT_EQ(line.Colour, GraphColours::White);
    EXPECT_EQ(line.Width, 1);
    // From the smallest runoff to the largest with its margin, each drawn
    // at the same value on both axes.
    const double low = 0.05 * (c.XFactor == 1 ? 40 : 1);
    const double high = 1.1 * (c.XFactor == 1 ? 4.5 : 0.085);
    EXPECT_EQ(line.X1, PixelColumn(g, low * c.XFactor));
    EXPECT_EQ(line.Y1, PixelRow(g, low * c.YFactor));
    EXPECT_EQ(line.X2, PixelColumn(g, high * c.XFactor));
    EXPECT_EQ(line.Y2, PixelRow(g, high * c.YFactor));
  }
}

TEST_F(Graphs, GraphsWithoutAScaleAreRefused) {
  TRecordingDialogs dialogs;
  dm.SetDialogs(&dialogs);
  TRecordingCanvas canvas;
  // All measured runoff zero: the horizontal axis of kind 7 has no extent.
  Series(dm, {0, 0, 0}, {}, {0, 0, 0}, {0, 0, 0});
  EXPECT_FALSE(ShowGraphics(g, dm, TGraphKind::ObservedCalculated, canvas));
  EXPECT_TRUE(canvas.Ops.empty());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_NE(dialogs.Messages[0].find("horizontal axis"), std::string::npos);
  Series(dm, {}, {});
  EXPECT_FALSE(ShowGraphics(g, dm, TGraphKind::RunoffDetermination, canvas));
  EXPECT_EQ(dialogs.Messages.size(), 2u);
}

}  // namespace

namespace {

TEST(GraphTicks, ARoundingErrorBelowZeroIsTheZeroTick) {
  EXPECT_EQ(TickLabel(-1e-17, 1, '.'), TickLabel(0, 1, '.'));
  EXPECT_EQ(TickLabel(-0.04, 1, '.'), TickLabel(0, 1, '.'));
  EXPECT_EQ(TickLabel(-2, 0, '.'), "-2");
  EXPECT_EQ(TickLabel(-0.25, 1, '.').front(), '-');
}

TEST(GraphPixels, FarOffValuesStayWithinReach) {
  TGraphState g;
  TDMQuorell dm;
  Series(dm, {1, 2, 3}, {1, 2, 3});
  ScaleAxes(g, dm, TGraphKind::RunoffPrediction);
  EXPECT_EQ(PixelRow(g, 1e300), -1000000);
  EXPECT_EQ(PixelRow(g, -1e300), 1000000);
  EXPECT_EQ(PixelColumn(g, 1e300), 1000000);
  EXPECT_EQ(PixelColumn(g, std::nan("")), 0);
}

}  // namespace
