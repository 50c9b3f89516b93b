// The Qt canvas: pixel probes on a real graph and its bitmap file.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include <cstdio>
#include <filesystem>

#include "graphs/graphdraw.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"
#include "render/fonts.h"
#include "render/qtcanvas.h"
#include "support/test_support.h"

namespace {

QGuiApplication* App() {
  static int argc = 1;
  static char name[] = "tolvane_render_tests";
  static char* argv[] = {name, nullptr};
  static QGuiApplication* app = new QGuiApplication(argc, argv);
  return app;
}

TRgb At(const QImage& image, int x, int y) {
  const QColor c = image.pixelColor(x, y);
  return {static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
          static_cast<std::uint8_t>(c.blue())};
}

class Render : public ::testing::Test {
protected:
  void SetUp() override {
    App();
    dm.SetDialogs(&dialogs);
  }
  // A reconstruction of 40 days through the writer, read back for kind.
  void Draw(TGraphKind kind) {
    auto& ws = dm.Analysis();
    ws.AnaNrOfData = 40;
    for (int i = 1; i <= 40; ++i) {
      const bool wet = i % 9 == 0;
      SetReconstructionPoint(dm.Analysis(), i, {i, static_cast<double>(i), wet ? 25.0 : 0.0, wet ? 10.0 : 0.0,
                                 2 + (i % 9) * 0.3, 2.1 + (i % 9) * 0.28});
    }
    dm.Title1 = "Probe area";
    dm.Title2 = "mm per day";
    dm.FileName = dir.File("probe.inp");
    dm.WriteReconstructionResults();
    dm.ResultsFileName = dir.File("probe.out");
    ASSERT_TRUE(dm.ReadResultsForGraph(kind));
    ASSERT_TRUE(ShowGraphics(g, dm, kind, canvas));
  }
  TScratchDir dir;
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  TGraphState g;
  TQtCanvas canvas;
};

TEST_F(Render, ArialIsLiberationSans) {
  App();
  EXPECT_TRUE(FontFamily("Arial").contains("Liberation Sans"))
      << FontFamily("Arial").toStdString();
}

TEST_F(Render, ARectangleFillsItsOwnPixelsOnly) {
  const TRgb red{255, 0, 0}, white{255, 255, 255};
  // Reversed or empty rectangles paint nothing (bars of a falling time
  // series in a hand-edited file are such).
  canvas.FillRect(10, 0, 4, 5, red);
  canvas.FillRect(0, 10, 5, 4, red);
  canvas.FillRect(3, 3, 3, 9, red);
  const QImage& image = canvas.Image();
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) EXPECT_EQ(At(image, x, y), white) << x << "," << y;
  // A rectangle covers left..right-1 and top..bottom-1, clipped to the picture.
  canvas.FillRect(-5, 2, 3, 4, red);
  EXPECT_EQ(At(image, 0, 2), red);
  EXPECT_EQ(At(image, 2, 3), red);
  EXPECT_EQ(At(image, 3, 3), white);
  EXPECT_EQ(At(image, 0, 4), white);
}

TEST_F(Render, PanelAxesAndTicks) {
  Draw(TGraphKind::RunoffDetermination);
  const QImage& image = canvas.Image();
  ASSERT_EQ(image.width(), 623);
  ASSERT_EQ(image.height(), 465);
  EXPECT_EQ(At(image, 3, 3), GraphColours::Silver);
  EXPECT_EQ(At(image, 610, 300), GraphColours::Silver);
  EXPECT_EQ(At(image, 25, 430), GraphColours::DarkBlue);
  EXPECT_EQ(At(image, 604, 444), GraphColours::DarkBlue);
  EXPECT_EQ(At(image, 605, 445), GraphColours::Silver);
  // The two axes.
  EXPECT_EQ(At(image, 70, 250), GraphColours::White);
  EXPECT_EQ(At(image, 300, 390), GraphColours::White);
  EXPECT_EQ(At(image, 69, 250), GraphColours::DarkBlue);
  // Horizontal ticks hang below the axis at the computed columns.
  for (int i = 0; i <= g.XSteps; ++i) {
    const int x = RoundToInt(static_cast<double>(i) / g.XSteps * g.PlotWidth + 70);
    EXPECT_EQ(At(image, x, 393), GraphColours::White) << "tick " << i;
    EXPECT_EQ(At(image, x + 2, 393), GraphColours::DarkBlue) << "tick " << i;
  }
  for (int i = 0; i <= g.YSteps; ++i) {
    const int y = RoundToInt(static_cast<double>(i) / g.YSteps * g.PlotHeight + 70);
    EXPECT_EQ(At(image, 67, y), GraphColours::White) << "tick " << i;
    EXPECT_EQ(At(image, 66, y), GraphColours::DarkBlue) << "tick " << i;  // its end point
  }
  // A line covers its start point and not its end point, in either direction.
  EXPECT_EQ(At(image, 70, 70), GraphColours::White);  // start of the top tick, leftwards
  EXPECT_EQ(At(image, 70, 69), GraphColours::DarkBlue);
  EXPECT_EQ(At(image, 570, 394), GraphColours::White);  // last tick, downwards
  EXPECT_EQ(At(image, 570, 395), GraphColours::DarkBlue);
  EXPECT_EQ(At(image, 571, 390), GraphColours::DarkBlue);  // beyond the horizontal axis
  // A marker of the measured runoff is aqua somewhere near its point.
  bool aqua = false;
  for (int dx = 0; dx < 10 && !aqua; ++dx)
    for (int dy = 0; dy < 16 && !aqua; ++dy)
      aqua = At(image, g.PixX[5] + dx, g.PixRunMeas[5] - 10 + dy) == GraphColours::Aqua;
  EXPECT_TRUE(aqua);
}

TEST_F(Render, RechargeBarsAreSkyBlue) {
  Draw(TGraphKind::RechargeDetermination);
  const int i = 8;  // day 9 carries recharge
  EXPECT_EQ(At(canvas.Image(), (g.PixX[i] + g.PixX[i + 1]) / 2 + 1, 387), GraphColours::SkyBlue);
}

TEST_F(Render, BitmapFileIsTwentyFourBitsAndReplacedWhole) {
  Draw(TGraphKind::ObservedCalculated);
  const auto path = dir.File("graph.bmp");
  std::string error;
  ASSERT_TRUE(SaveBitmap(canvas.Image(), path, &error)) << error;
  const std::string bytes = ReadFileBytes(path);
  ASSERT_GT(bytes.size(), 54u);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(static_cast<unsigned char>(bytes[28]), 24u);
  QImage back(QString::fromStdString(path));
  ASSERT_EQ(back.width(), 623);
  ASSERT_EQ(back.height(), 465);
  EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), canvas.Image());
  // A folder in the way: refused, and nothing beside it.
  std::filesystem::create_directory(dir.File("taken.bmp"));
  EXPECT_FALSE(SaveBitmap(canvas.Image(), dir.File("taken.bmp"), &error));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.bmp")));
}

}  // namespace
