#include "render/qtcanvas.h"

#include <QBuffer>
#include <QFont>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>
#include <QStringDecoder>

#include "files/filepaths.h"
#include "graphs/graphdraw.h"

namespace {

constexpr char LiberationSans[] = "/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf";

QColor ToQColor(TRgb c) { return QColor(c.R, c.G, c.B); }

// Titles come from files of 8-bit text: UTF-8 when they are, else Latin-1.
QString ToQString(const std::string& text) {
  auto decode = QStringDecoder(QStringDecoder::Utf8);
  QString s = decode(QByteArray::fromStdString(text));
  if (decode.hasError()) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return s;
}

QFont ToQFont(const TGraphFont& font) {
  QFont f(GraphFontFamily(font.Name));
  // Sizes are points at 96 pixels per inch, as on the screens the graphs
  // were made for.
  f.setPixelSize(qRound(font.Size * 96.0 / 72.0));
  f.setStyleStrategy(QFont::PreferMatch);
  return f;
}

}  // namespace

QString GraphFontFamily(const std::string& name) {
  static const QString liberation = [] {
    const int id = QFontDatabase::addApplicationFont(LiberationSans);
    const auto families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString("Liberation Sans") : families.first();
  }();
  if (name == "Arial") return liberation;
  return QString::fromStdString(name);
}

TQtCanvas::TQtCanvas() : Picture(GraphWidth, GraphHeight, QImage::Format_RGB32) {
  Picture.fill(Qt::white);
}

void TQtCanvas::FillRect(int left, int top, int right, int bottom, TRgb colour) {
  if (right <= left || bottom <= top) return;
  QPainter p(&Picture);
  p.fillRect(QRect(left, top, right - left, bottom - top), ToQColor(colour));
}

void TQtCanvas::Line(int x1, int y1, int x2, int y2, TRgb colour, int width) {
  QPainter p(&Picture);
  QPen pen(ToQColor(colour));
  pen.setWidth(width);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  // The end point is not covered: stop one pixel short along the line.
  const int dx = x2 - x1, dy = y2 - y1;
  if (dx == 0 && dy == 0) return;
  const int steps = std::max(std::abs(dx), std::abs(dy));
  const double ex = x2 - static_cast<double>(dx) / steps;
  const double ey = y2 - static_cast<double>(dy) / steps;
  if (width <= 1) {
    p.drawLine(QPoint(x1, y1), QPoint(qRound(ex), qRound(ey)));
  } else {
    p.drawLine(QPointF(x1, y1), QPointF(ex, ey));
  }
}

void TQtCanvas::Text(int x, int y, const std::string& text, const TGraphFont& font,
                     TRgb background) {
  const QString s = ToQString(text);
  const QFont f = ToQFont(font);
  const QFontMetrics metrics(f);
  QPainter p(&Picture);
  p.fillRect(QRect(x, y, metrics.horizontalAdvance(s), metrics.height()), ToQColor(background));
  p.setFont(f);
  p.setPen(ToQColor(font.Colour));
  p.drawText(QPoint(x, y + metrics.ascent()), s);
}

TTextSize TQtCanvas::MeasureText(const std::string& text, const TGraphFont& font) {
  const QFontMetrics metrics(ToQFont(font));
  return {metrics.horizontalAdvance(ToQString(text)), metrics.height()};
}

bool SaveBitmap(const QImage& image, const std::string& path, std::string* error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "BMP");
  if (!writer.write(image.convertToFormat(QImage::Format_RGB888))) {
    if (error) *error = writer.errorString().toStdString();
    return false;
  }
  return WriteFileAtomically(path, bytes.toStdString(), error);
}
