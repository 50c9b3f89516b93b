#include "render/svgcanvas.h"

#include <QBuffer>
#include <QByteArray>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <QSvgGenerator>
#include <algorithm>
#include <map>
#include <vector>

#include "graphs/graphdraw.h"
#include "render/fonts.h"
#include "render/qtcanvas.h"

namespace {

QColor ToQColor(TRgb c) { return QColor(c.R, c.G, c.B); }

enum class TRunKind { Strokes, Fills, Markers };

struct TRun {
  TRunKind Kind;
  TRgb Colour;
  int Width = 0;    // of the pen, for strokes
  TGraphFont Font;  // of the markers
  QPainterPath Path;
  QPoint End;  // where the last stroke ended
};

bool SameRun(const TRun& run, TRunKind kind, TRgb colour, int width, const TGraphFont& font) {
  return run.Kind == kind && run.Colour == colour && run.Width == width &&
         (kind != TRunKind::Markers || run.Font == font);
}

// XML allows no control characters but tab and the line ends, not even as
// references; a title of a damaged file may hold one.
QString ForXml(QString text) {
  for (QChar& c : text) {
    const char16_t u = c.unicode();
    if ((u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u == 0xFFFE || u == 0xFFFF)
      c = QChar(0xFFFD);
  }
  return text;
}

}  // namespace

// Qt's own SVG reader cuts off a path of more than 32767 points: a longer
// run (thousands of dots of a chart) is written as several paths.
constexpr int MaxPathElements = 30000;

struct TSvgCanvas::TState {
  QByteArray Bytes;
  QBuffer Buffer{&Bytes};
  QSvgGenerator Generator;
  QPainter Painter;
  std::vector<TRun> Pending;
  // The families drawn with, and the font names of the graphs they stand in for.
  std::map<QString, std::string> Families;
  bool Finished = false;

  TRun& RunFor(TRunKind kind, TRgb colour, int width, const TGraphFont& font) {
    const auto it = std::find_if(Pending.begin(), Pending.end(),
                                 [kind](const TRun& run) { return run.Kind == kind; });
    if (it != Pending.end() && SameRun(*it, kind, colour, width, font) &&
        it->Path.elementCount() < MaxPathElements)
      return *it;
    // The same kind with another colour or pen: what came before is done.
    if (it != Pending.end()) Flush();
    Pending.push_back(TRun{kind, colour, width, font, {}, {}});
    return Pending.back();
  }

  void Flush() {
    for (TRun& run : Pending) {
      if (run.Kind == TRunKind::Strokes) {
        // Pixel (x, y) covers x .. x + 1: a pen of odd width is centred on
        // the middle of the pixel, one of even width on its corner, as the
        // bitmap centres it.
        const double centre = run.Width / 2.0 - run.Width / 2;
        QPen pen(ToQColor(run.Colour), run.Width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
        Painter.setPen(pen);
        Painter.setBrush(Qt::NoBrush);
        Painter.drawPath(run.Path.translated(centre, centre));
      } else {
        run.Path.setFillRule(Qt::WindingFill);
        Painter.fillPath(run.Path, ToQColor(run.Colour));
      }
    }
    Pending.clear();
  }
};

TSvgCanvas::TSvgCanvas() : TSvgCanvas(GraphWidth, GraphHeight, "Tolvane graph") {}

TSvgCanvas::TSvgCanvas(int width, int height, const std::string& title)
    : State(std::make_unique<TState>()) {
  auto& s = *State;
  s.Buffer.open(QIODevice::WriteOnly);
  s.Generator.setOutputDevice(&s.Buffer);
  s.Generator.setSize(QSize(width, height));
  s.Generator.setViewBox(QRect(0, 0, width, height));
  // The bitmap's pixels at 96 per inch: the drawing prints as large.
  s.Generator.setResolution(96);
  s.Generator.setTitle(ForXml(FromFileText(title)));
  s.Generator.setDescription(QString::fromStdString(FooterText()));
  s.Painter.begin(&s.Generator);
}

TSvgCanvas::~TSvgCanvas() {
  if (!State->Finished) Finish();
}

void TSvgCanvas::FillRect(int left, int top, int right, int bottom, TRgb colour) {
  if (right <= left || bottom <= top) return;
  State->RunFor(TRunKind::Fills, colour, 0, {})
      .Path.addRect(left, top, static_cast<double>(right) - left,
                    static_cast<double>(bottom) - top);
}

void TSvgCanvas::Line(int x1, int y1, int x2, int y2, TRgb colour, int width) {
  if (x1 == x2 && y1 == y2) return;
  TRun& run = State->RunFor(TRunKind::Strokes, colour, std::max(width, 1), {});
  const QPoint start(x1, y1), end(x2, y2);
  if (run.Path.isEmpty() || run.End != start) run.Path.moveTo(start);
  run.Path.lineTo(end);
  run.End = end;
}

void TSvgCanvas::Text(int x, int y, const std::string& text, const TGraphFont& font,
                      TRgb background) {
  auto& s = *State;
  const QFont qfont = GraphQFont(font);
  const QFontMetrics metrics(qfont);
  const QString q = ForXml(FromFileText(text));
  const QPointF baseline(x, static_cast<double>(y) + metrics.ascent());
  if (text == GraphMarker) {
    s.RunFor(TRunKind::Markers, font.Colour, 0, font).Path.addText(baseline, qfont, q);
    return;
  }
  s.Flush();
  s.Painter.fillRect(QRect(x, y, metrics.horizontalAdvance(q), metrics.height()),
                     ToQColor(background));
  s.Painter.setFont(qfont);
  s.Painter.setPen(ToQColor(font.Colour));
  s.Painter.drawText(baseline, q);
  s.Families[qfont.family()] = font.Name;
}

TTextSize TSvgCanvas::MeasureText(const std::string& text, const TGraphFont& font) {
  return MeasureGraphText(text, font);
}

std::string TSvgCanvas::Finish() {
  auto& s = *State;
  if (s.Finished) return {};
  s.Flush();
  s.Painter.end();
  s.Finished = true;
  std::string document = s.Bytes.toStdString();
  // Qt names the family it drew with, a stand-in here; a viewer should
  // first look for the font the graph was made with, as the bitmap's
  // stand-in has its metrics.
  for (const auto& [family, name] : s.Families) {
    const std::string from = "font-family=\"" + family.toStdString() + "\"";
    const std::string to =
        family.toStdString() == name
            ? from
            : "font-family=\"" + name + ", " + family.toStdString() + ", sans-serif\"";
    for (auto at = document.find(from); at != std::string::npos;
         at = document.find(from, at + to.size()))
      document.replace(at, from.size(), to);
  }
  return document;
}
