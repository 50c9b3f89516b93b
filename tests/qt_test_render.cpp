// The Qt canvas: pixel probes on a real graph and its bitmap file; the
// graph files in their three formats.
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QXmlStreamReader>

#include <cstdio>
#include <filesystem>
#include <map>

#include "graphs/graphdraw.h"
#include "graphs/graphrecording.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"
#include "graphs/chart.h"
#include "render/chartfile.h"
#include "render/fonts.h"
#include "render/graphfile.h"
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

namespace {

const TGraphKind AllKinds[] = {TGraphKind::RunoffDetermination, TGraphKind::RunoffPrediction,
                               TGraphKind::RechargeDetermination, TGraphKind::RechargePrediction,
                               TGraphKind::ObservedCalculated};

// Graphs of 40 days, drawn once into a recording from an output file of
// the variant the kind is drawn from.
class GraphFiles : public ::testing::Test {
protected:
  static constexpr int Points = 40;
  void SetUp() override {
    App();
    dm.SetDialogs(&dialogs);
  }
  TGraphRecording Record(TGraphKind kind, const std::string& title1 = "Probe area") {
    dm.Title1 = title1;
    dm.Title2 = "mm per day";
    dm.FileName = dir.File("probe.inp");
    auto& ws = dm.Analysis();
    auto& pred = dm.Prediction();
    for (int i = 1; i <= Points; ++i) {
      const bool wet = i % 9 == 0;
      SetReconstructionPoint(ws, i,
                             {i, static_cast<double>(i), wet ? 25.0 : 0.0, wet ? 10.0 : 0.0,
                              2 + (i % 9) * 0.3, 2.1 + (i % 9) * 0.28});
      pred.PredSerial[i] = i;
      pred.PredTime[i] = i;
      pred.PredRain[i] = ws.Rain[i];
      pred.PredRech[i] = ws.Rech[i];
    }
    ws.AnaNrOfData = Points;
    pred.PredNrOfData = Points;
    if (IsReconstructionKind(kind))
      dm.WriteReconstructionResults();
    else
      dm.WritePredictionResults();
    dm.ResultsFileName = dir.File("probe.out");
    TGraphRecording graph = NewGraphRecording();
    EXPECT_TRUE(dm.ReadResultsForGraph(kind));
    EXPECT_TRUE(ShowGraphics(g, dm, kind, graph));
    return graph;
  }
  QImage Saved(const TGraphRecording& graph, const std::string& name, int scale = 1) {
    std::string error;
    const auto path = dir.File(name);
    EXPECT_TRUE(SaveGraph(graph, path, *GraphFileFormatOf(path), scale, &error)) << error;
    return QImage(QString::fromStdString(path)).convertToFormat(QImage::Format_RGB32);
  }
  TScratchDir dir;
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  TGraphState g;
};

TEST(GraphFileFormat, ByTheExtensionInAnyCase) {
  const std::pair<const char*, std::optional<TGraphFileFormat>> cases[] = {
      {"g.bmp", TGraphFileFormat::Bmp},
      {"G.BMP", TGraphFileFormat::Bmp},
      {"/a.b/g.png", TGraphFileFormat::Png},
      {"g.Png", TGraphFileFormat::Png},
      {"g.svg", TGraphFileFormat::Svg},
      {"g.SVG", TGraphFileFormat::Svg},
      {"g.jpg", std::nullopt},
      {"g.png.txt", std::nullopt},
      {"png", std::nullopt},
      {"g.svgz", std::nullopt},
      {"a.png/g", std::nullopt},
      {"", std::nullopt}};
  for (const auto& [path, format] : cases) EXPECT_EQ(GraphFileFormatOf(path), format) << path;
  for (int scale = 0; scale <= MaxGraphScale + 1; ++scale) {
    EXPECT_EQ(ScaleFitsFormat(TGraphFileFormat::Png, scale), scale >= 1 && scale <= MaxGraphScale);
    EXPECT_EQ(ScaleFitsFormat(TGraphFileFormat::Bmp, scale), scale == 1);
    EXPECT_EQ(ScaleFitsFormat(TGraphFileFormat::Svg, scale), scale == 1);
  }
}

TEST_F(GraphFiles, PngHoldsTheBitmapsPixelsForEachKind) {
  for (TGraphKind kind : AllKinds) {
    const TGraphRecording graph = Record(kind);
    // The recording draws what drawing straight onto the canvas draws.
    TQtCanvas direct;
    ASSERT_TRUE(dm.ReadResultsForGraph(kind));
    ASSERT_TRUE(ShowGraphics(g, dm, kind, direct));
    const QImage bmp = Saved(graph, "g.bmp"), png = Saved(graph, "g.png");
    ASSERT_EQ(png.size(), QSize(GraphWidth, GraphHeight));
    EXPECT_EQ(png, bmp) << "kind " << GraphKindCode(kind);
    EXPECT_EQ(bmp, direct.Image()) << "kind " << GraphKindCode(kind);
    EXPECT_EQ(ReadFileBytes(dir.File("g.png")).substr(0, 8), "\x89PNG\r\n\x1a\n");
  }
}

// The pixels of the scale 1 picture in or near a text cell.
std::vector<bool> NearTexts(const TGraphRecording& graph) {
  std::vector<bool> near(static_cast<std::size_t>(GraphWidth) * GraphHeight);
  for (const TGraphStep& step : graph.Steps()) {
    const auto* text = std::get_if<TTextStep>(&step);
    if (!text) continue;
    const TTextSize size = MeasureGraphText(text->Text, text->Font);
    for (int y = std::max(text->Y - 2, 0); y < std::min(text->Y + size.Height + 2, GraphHeight);
         ++y)
      for (int x = std::max(text->X - 2, 0); x < std::min(text->X + size.Width + 2, GraphWidth);
           ++x)
        near[static_cast<std::size_t>(y) * GraphWidth + static_cast<std::size_t>(x)] = true;
  }
  return near;
}

// The columns from the first to the last that are not the colour in a band of rows.
int InkWidth(const QImage& image, int top, int bottom, QRgb background) {
  int first = image.width(), last = -1;
  for (int y = top; y < bottom; ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != background) {
        first = std::min(first, x);
        last = std::max(last, x);
      }
  return last - first + 1;
}

TEST_F(GraphFiles, ScaleDrawsTheSameGraphLargerWithTextAndLinesScaled) {
  // The bars and steps of rain are level and upright lines and fills: away
  // from the texts every pixel of the bitmap is a block of scale x scale.
  for (TGraphKind kind : {TGraphKind::RechargeDetermination, TGraphKind::RechargePrediction}) {
    const TGraphRecording graph = Record(kind);
    const QImage one = Saved(graph, "one.png");
    const std::vector<bool> nearText = NearTexts(graph);
    for (int scale : {2, 3}) {
      const QImage big = Saved(graph, "big.png", scale);
      ASSERT_EQ(big.size(), QSize(scale * GraphWidth, scale * GraphHeight));
      int differing = 0;
      for (int y = 0; y < GraphHeight; ++y)
        for (int x = 0; x < GraphWidth; ++x) {
          if (nearText[static_cast<std::size_t>(y) * GraphWidth + static_cast<std::size_t>(x)])
            continue;
          for (int dy = 0; dy < scale; ++dy)
            for (int dx = 0; dx < scale; ++dx)
              differing += big.pixel(scale * x + dx, scale * y + dy) != one.pixel(x, y);
        }
      EXPECT_EQ(differing, 0) << "kind " << GraphKindCode(kind) << " scale " << scale;
      // The title is drawn with a font scale times as large.
      const QRgb silver = qRgb(192, 192, 192);
      const int width = InkWidth(one, 5, 19, silver);
      const int scaledWidth = InkWidth(big, 5 * scale, 19 * scale, silver);
      EXPECT_GT(width, 50);
      EXPECT_NEAR(scaledWidth, scale * width, 0.05 * scale * width) << "scale " << scale;
      // It prints as large as the bitmap.
      const QImage file(QString::fromStdString(dir.File("big.png")));
      EXPECT_NEAR(file.dotsPerMeterX() * 0.0254, 96.0 * scale, 0.5);
    }
  }
  // A slanting line at scale 2 is walked in fine steps: no gaps, and its
  // edge climbs one pixel at a time, not in steps of two.
  TQtCanvas canvas(2);
  canvas.FillRect(0, 0, GraphWidth, GraphHeight, GraphColours::DarkBlue);
  canvas.Line(100, 100, 200, 150, GraphColours::White, 1);
  const QImage& image = canvas.Image();
  const QRgb white = qRgb(255, 255, 255);
  int lastTop = -1;
  for (int x = 200; x < 400; ++x) {
    int top = -1, count = 0;
    for (int y = 190; y < 310; ++y)
      if (image.pixel(x, y) == white) {
        if (top < 0) top = y;
        ++count;
      }
    EXPECT_TRUE(count == 2 || count == 3) << "column " << x << ": " << count;
    if (lastTop >= 0) {
      EXPECT_LE(top - lastTop, 1) << "column " << x;
    }
    lastTop = top;
  }
  // The last pixel at scale 1 is (199, 149): at scale 2 the block from (398, 298).
  EXPECT_EQ(image.pixel(399, 299), white);
  EXPECT_NE(image.pixel(400, 300), white);
  EXPECT_EQ(image.pixel(200, 200), white);  // the start point
}

// An element of the SVG document with the attributes it inherits.
struct TSvgElement {
  QString Name;
  std::map<QString, QString> Attributes;
  QString Text;
  QString Get(const char* name) const {
    auto it = Attributes.find(name);
    return it == Attributes.end() ? QString() : it->second;
  }
};

// Every element of a document that must be well-formed XML.
std::vector<TSvgElement> ParseSvg(const std::string& document) {
  QXmlStreamReader reader(QByteArray::fromStdString(document));
  std::vector<TSvgElement> elements;
  std::vector<std::map<QString, QString>> inherited(1);
  std::vector<std::size_t> open;
  while (!reader.atEnd()) {
    reader.readNext();
    if (reader.isStartElement()) {
      auto attributes = inherited.back();
      for (const auto& a : reader.attributes())
        attributes[a.qualifiedName().toString()] = a.value().toString();
      inherited.push_back(attributes);
      elements.push_back({reader.name().toString(), attributes, {}});
      open.push_back(elements.size() - 1);
    } else if (reader.isCharacters() && !open.empty()) {
      elements[open.back()].Text += reader.text().toString();
    } else if (reader.isEndElement()) {
      inherited.pop_back();
      open.pop_back();
    }
  }
  EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString() << " at line "
                                  << reader.lineNumber();
  return elements;
}

int Count(const QString& text, QChar c) { return static_cast<int>(text.count(c)); }

TEST_F(GraphFiles, SvgHoldsTheTextsWhereTheBitmapHasThemAndOnePathPerSeries) {
  for (TGraphKind kind : AllKinds) {
    SCOPED_TRACE("kind " + std::to_string(GraphKindCode(kind)));
    const TGraphRecording graph = Record(kind);
    ASSERT_TRUE(SaveGraph(graph, dir.File("g.svg"), TGraphFileFormat::Svg, 1, nullptr));
    const auto elements = ParseSvg(ReadFileBytes(dir.File("g.svg")));
    ASSERT_FALSE(elements.empty());
    EXPECT_EQ(elements[0].Name, "svg");
    EXPECT_EQ(elements[0].Get("viewBox"), "0 0 623 465");

    // The texts in their order, at their cells' corners and baselines.
    std::vector<const TSvgElement*> texts;
    for (const auto& e : elements)
      if (e.Name == "text") texts.push_back(&e);
    std::size_t next = 0;
    for (const TGraphStep& step : graph.Steps()) {
      const auto* text = std::get_if<TTextStep>(&step);
      if (!text || text->Text == GraphMarker) continue;
      ASSERT_LT(next, texts.size()) << text->Text;
      const TSvgElement& e = *texts[next++];
      EXPECT_EQ(e.Text, FromFileText(text->Text));
      EXPECT_EQ(e.Get("x").toDouble(), text->X) << text->Text;
      EXPECT_EQ(e.Get("y").toDouble(), text->Y + QFontMetrics(GraphQFont(text->Font)).ascent())
          << text->Text;
      EXPECT_TRUE(e.Get("font-family").startsWith("Arial, Liberation Sans")) << text->Text;
    }
    EXPECT_EQ(next, texts.size());
    std::vector<QString> shown;
    for (const auto* e : texts) shown.push_back(e->Text);
    for (const std::string& expected : {dm.Title1, dm.Title2, g.XTitle, FooterText()})
      EXPECT_NE(std::find(shown.begin(), shown.end(), QString::fromStdString(expected)),
                shown.end())
          << expected;

    // The series: a line through all points, the markers, the recharge bars.
    int linesThroughAll = 0, markerPaths = 0, barPaths = 0;
    for (const auto& e : elements) {
      if (e.Name != "path") continue;
      const QString d = e.Get("d");
      if (e.Get("stroke") == "#ffffff" && Count(d, 'M') == 1 && Count(d, 'L') == Points - 1)
        ++linesThroughAll;
      if (e.Get("fill") == "#00ffff") {
        ++markerPaths;
        EXPECT_EQ(Count(d, 'M'), Points);
      }
      if (e.Get("fill") == "#a6caf0") {
        ++barPaths;
        EXPECT_EQ(Count(d, 'M'), Points / 9);  // a bar for each wet day
      }
    }
    const bool runoff =
        kind == TGraphKind::RunoffDetermination || kind == TGraphKind::RunoffPrediction;
    const bool markers =
        kind == TGraphKind::RunoffDetermination || kind == TGraphKind::ObservedCalculated;
    const bool bars =
        kind == TGraphKind::RechargeDetermination || kind == TGraphKind::RechargePrediction;
    EXPECT_EQ(linesThroughAll, runoff ? 1 : 0);
    EXPECT_EQ(markerPaths, markers ? 1 : 0);
    EXPECT_EQ(barPaths, bars ? 1 : 0);
    if (bars) {
      // The steps of rain over the bars: one path of the rain's pen.
      int steps = 0;
      for (const auto& e : elements)
        if (e.Name == "path" && e.Get("stroke") == "#ffffff" &&
            Count(e.Get("d"), 'L') == 3 * (Points / 9)) {
          ++steps;
          EXPECT_EQ(e.Get("stroke-width"), kind == TGraphKind::RechargeDetermination ? "2" : "1");
        }
      EXPECT_EQ(steps, 1);
    }
  }
}

TEST_F(GraphFiles, SvgIsValidXmlWhateverTheTitleHolds) {
  struct TCase {
    const char* Title;
    QString Shown;
  };
  const TCase cases[] = {
      {"Rain & runoff <daily> \"A\" 'B'", "Rain & runoff <daily> \"A\" 'B'"},
      {"Bell\x01 and unit\x1F end",
       QString("Bell") + QChar(0xFFFD) + " and unit" + QChar(0xFFFD) + " end"},
      {"Ume\xE5 \xE4lv", QString::fromUtf8("Ume\xC3\xA5 \xC3\xA4lv")},  // Latin-1 in the file
      {"Ume\xC3\xA5 \xC3\xA4lv", QString::fromUtf8("Ume\xC3\xA5 \xC3\xA4lv")},
  };
  for (const auto& c : cases) {
    const auto elements = ParseSvg(GraphSvg(Record(TGraphKind::RunoffDetermination, c.Title)));
    // Qt may write a text in pieces where it changes font or meets a tab.
    QString all;
    for (const auto& e : elements)
      if (e.Name == "text") all += e.Text;
    EXPECT_TRUE(all.startsWith(c.Shown)) << c.Title << ": " << all.toStdString();
  }
}

TEST(ChartFiles, ChartsAreDrawnAtTheirSizeAndLongRunsSplitIntoPaths) {
  App();
  TChart chart;
  chart.Width = 1000;
  chart.Height = 640;
  TChartSeries dots{"dots", TChartMark::Dots, {200, 0, 0}, {}, {}, {}, 1};
  for (int i = 0; i < 40000; ++i) {  // more distinct pixels than one path may hold
    dots.X.push_back(i % 400);
    dots.Y.push_back(i / 400);
  }
  chart.Series.push_back(dots);
  const QImage image = ChartImage(chart);
  EXPECT_EQ(image.width(), 1000);
  EXPECT_EQ(image.height(), 640);

  const auto elements = ParseSvg(ChartSvg(chart));
  ASSERT_FALSE(elements.empty());
  EXPECT_EQ(elements.front().Get("viewBox"), "0 0 1000 640");
  int red = 0, points = 0;
  for (const TSvgElement& e : elements) {
    if (e.Name != "path" || e.Get("fill") != "#c80000") continue;
    const QString d = e.Get("d");
    const int count = Count(d, 'M') + Count(d, 'L');
    EXPECT_LE(count, 32767);  // as much as Qt's SVG reader takes
    points += count;
    ++red;
  }
  EXPECT_GE(red, 2);
  // Every dot of the plot is there, cut or not: two rectangles of five points.
  int plotted = 0;
  TGraphRecording recording = NewGraphRecording();
  DrawChart(chart, recording);
  for (const TGraphStep& step : recording.Steps())
    if (const auto* f = std::get_if<TFillStep>(&step); f && f->Colour == dots.Colour) ++plotted;
  EXPECT_EQ(points, 5 * plotted);
}

TEST_F(GraphFiles, RefusedScaleOrTargetWritesNothing) {
  const TGraphRecording graph = Record(TGraphKind::ObservedCalculated);
  std::string error;
  EXPECT_FALSE(SaveGraph(graph, dir.File("g.bmp"), TGraphFileFormat::Bmp, 2, &error));
  EXPECT_FALSE(SaveGraph(graph, dir.File("g.svg"), TGraphFileFormat::Svg, 3, &error));
  EXPECT_FALSE(SaveGraph(graph, dir.File("g.png"), TGraphFileFormat::Png, 4, &error));
  for (const char* name : {"g.bmp", "g.svg", "g.png"})
    EXPECT_FALSE(std::filesystem::exists(dir.File(name))) << name;
  std::filesystem::create_directory(dir.File("taken.svg"));
  error.clear();
  EXPECT_FALSE(SaveGraph(graph, dir.File("taken.svg"), TGraphFileFormat::Svg, 1, &error));
  EXPECT_FALSE(error.empty());
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("taken.svg")));
}

}  // namespace
