#include "render/qtcanvas.h"

#include <algorithm>
#include <cstdlib>

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QImageWriter>
#include <QPainter>
#include <QStringDecoder>

#include "files/filepaths.h"
#include "graphs/graphdraw.h"
#include "render/fonts.h"

namespace {

QColor ToQColor(TRgb c) { return QColor(c.R, c.G, c.B); }

QFont ToQFont(const TGraphFont& font) {
  // Sizes are points at 96 pixels per inch, as on the screens the graphs
  // were made for.
  return PixelFont(font.Name, qRound(font.Size * 96.0 / 72.0));
}

}  // namespace

TQtCanvas::TQtCanvas() : Picture(GraphWidth, GraphHeight, QImage::Format_RGB32) {
  Picture.fill(Qt::white);
}

void TQtCanvas::FillRect(int left, int top, int right, int bottom, TRgb colour) {
  // A reversed rectangle is empty (QRect would turn it round).
  if (right <= left || bottom <= top) return;
  const QRect area = QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)).intersected(Picture.rect());
  if (area.isEmpty()) return;
  QPainter p(&Picture);
  p.fillRect(area, ToQColor(colour));
}

void TQtCanvas::Line(int x1, int y1, int x2, int y2, TRgb colour, int width) {
  // Drawn pixel by pixel: Qt's own lines leave out the last pixel of the
  // lower and right end whatever the direction, while a graph line covers
  // its start point and not its end point.
  const long long dx = static_cast<long long>(x2) - x1;
  const long long dy = static_cast<long long>(y2) - y1;
  const long long n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0) return;
  const int w = std::max(width, 1);
  const int offset = w / 2;  // a wider pen is centred on the line
  // Only the steps whose major coordinate lies on the image are walked, so
  // that a line reaching far off the bitmap costs no more than one on it.
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const long long from = alongX ? x1 : y1;
  const long long sign = (alongX ? dx : dy) > 0 ? 1 : -1;
  const long long size = alongX ? Picture.width() : Picture.height();
  const long long lowEdge = -w, highEdge = size + w;
  long long kFirst = 0, kLast = n - 1;
  if (sign > 0) {
    kFirst = std::max(kFirst, lowEdge - from);
    kLast = std::min(kLast, highEdge - from);
  } else {
    kFirst = std::max(kFirst, from - highEdge);
    kLast = std::min(kLast, from - lowEdge);
  }
  const QRgb rgb = qRgb(colour.R, colour.G, colour.B);
  // Nearest integer of a / n, halves away from zero, in whole numbers.
  auto roundDiv = [n](long long a) { return a >= 0 ? (2 * a + n) / (2 * n) : -((-2 * a + n) / (2 * n)); };
  for (long long k = kFirst; k <= kLast; ++k)
    PaintSquare(x1 + roundDiv(k * dx) - offset, y1 + roundDiv(k * dy) - offset, w, rgb);
}

void TQtCanvas::PaintSquare(long long x, long long y, int width, QRgb rgb) {
  // Every step lies between the two ends of a line, so it fits an int.
  const QRect square = QRect(static_cast<int>(x), static_cast<int>(y), width, width)
                           .intersected(Picture.rect());
  for (int py = square.top(); py <= square.bottom(); ++py) {
    auto* row = reinterpret_cast<QRgb*>(Picture.scanLine(py));
    std::fill(row + square.left(), row + square.right() + 1, rgb);
  }
}

void TQtCanvas::Text(int x, int y, const std::string& text, const TGraphFont& font,
                     TRgb background) {
  const QString s = FromFileText(text);
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
  return {metrics.horizontalAdvance(FromFileText(text)), metrics.height()};
}

QString FromFileText(const std::string& text) {
  auto decode = QStringDecoder(QStringDecoder::Utf8);
  QString s = decode(QByteArray::fromStdString(text));
  if (decode.hasError()) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return s;
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
