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

// Positions scaled up stay within what Qt's own int coordinates can carry;
// a graph never comes near (its pixels are held within a million).
int ToQtCoordinate(long long value) {
  constexpr long long limit = 1LL << 30;
  return static_cast<int>(std::clamp(value, -limit, limit));
}

}  // namespace

QFont GraphQFont(const TGraphFont& font, int scale) {
  // Sizes are points at 96 pixels per inch, as on the screens the graphs
  // were made for.
  return PixelFont(font.Name, scale * qRound(font.Size * 96.0 / 72.0));
}

TTextSize MeasureGraphText(const std::string& text, const TGraphFont& font) {
  const QFontMetrics metrics(GraphQFont(font));
  return {metrics.horizontalAdvance(FromFileText(text)), metrics.height()};
}

TQtCanvas::TQtCanvas(int scale)
    : Scale(std::max(scale, 1)),
      Picture(GraphWidth * Scale, GraphHeight * Scale, QImage::Format_RGB32) {
  Picture.fill(Qt::white);
}

TQtCanvas::TQtCanvas(int width, int height)
    : Scale(1), Picture(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32) {
  Picture.fill(Qt::white);
}

void TQtCanvas::FillRect(int left, int top, int right, int bottom, TRgb colour) {
  // A reversed rectangle is empty (QRect would turn it round).
  if (right <= left || bottom <= top) return;
  const long long s = Scale;
  const long long l = std::max(s * left, 0LL), t = std::max(s * top, 0LL);
  const long long r = std::min<long long>(s * right, Picture.width());
  const long long b = std::min<long long>(s * bottom, Picture.height());
  if (r <= l || b <= t) return;
  QPainter p(&Picture);
  p.fillRect(QRect(static_cast<int>(l), static_cast<int>(t), static_cast<int>(r - l),
                   static_cast<int>(b - t)),
             ToQColor(colour));
}

void TQtCanvas::Line(int x1, int y1, int x2, int y2, TRgb colour, int width) {
  // Drawn pixel by pixel: Qt's own lines leave out the last pixel of the
  // lower and right end whatever the direction, while a graph line covers
  // its start point and not its end point.
  const long long dx = static_cast<long long>(x2) - x1;
  const long long dy = static_cast<long long>(y2) - y1;
  const long long n = std::max(std::llabs(dx), std::llabs(dy));
  if (n == 0) return;
  const long long s = Scale;
  const long long w = s * std::max(width, 1);
  const long long offset = s * (std::max(width, 1) / 2);  // a wider pen is centred on the line
  // At a scale above 1 the line is walked one fine pixel at a time up to
  // the last pixel it covers at scale 1: a level or upright line covers the
  // scaled pixels exactly, a slanting one stays smooth.
  const long long lastStep = s * (n - 1);
  // Only the steps whose major coordinate lies on the image are walked, so
  // that a line reaching far off the bitmap costs no more than one on it.
  const bool alongX = std::llabs(dx) >= std::llabs(dy);
  const long long from = s * (alongX ? x1 : y1);
  const long long sign = (alongX ? dx : dy) > 0 ? 1 : -1;
  const long long size = alongX ? Picture.width() : Picture.height();
  const long long lowEdge = -w, highEdge = size + w;
  long long kFirst = 0, kLast = lastStep;
  if (sign > 0) {
    kFirst = std::max(kFirst, lowEdge - from);
    kLast = std::min(kLast, highEdge - from);
  } else {
    kFirst = std::max(kFirst, from - highEdge);
    kLast = std::min(kLast, from - lowEdge);
  }
  const QRgb rgb = qRgb(colour.R, colour.G, colour.B);
  // Nearest integer of k * d / n, halves away from zero, in whole numbers
  // (wide enough for the far ends of lines off the image).
  __extension__ using TWide = __int128;
  auto roundDiv = [n](long long k, long long d) {
    const TWide a = static_cast<TWide>(k) * d;
    const TWide q = a >= 0 ? (2 * a + n) / (2 * n) : -((-2 * a + n) / (2 * n));
    return static_cast<long long>(q);
  };
  for (long long k = kFirst; k <= kLast; ++k)
    PaintSquare(s * x1 + roundDiv(k, dx) - offset, s * y1 + roundDiv(k, dy) - offset, w, rgb);
}

void TQtCanvas::PaintSquare(long long x, long long y, long long width, QRgb rgb) {
  const long long left = std::max(x, 0LL), top = std::max(y, 0LL);
  const long long right = std::min<long long>(x + width, Picture.width());
  const long long bottom = std::min<long long>(y + width, Picture.height());
  for (long long py = top; py < bottom; ++py) {
    auto* row = reinterpret_cast<QRgb*>(Picture.scanLine(static_cast<int>(py)));
    std::fill(row + left, row + std::max(left, right), rgb);
  }
}

void TQtCanvas::Text(int x, int y, const std::string& text, const TGraphFont& font,
                     TRgb background) {
  const QString s = FromFileText(text);
  // The cell and the baseline as at scale 1, scaled; the glyphs of the
  // larger font.
  const QFontMetrics metrics(GraphQFont(font));
  const long long k = Scale;
  const int left = ToQtCoordinate(k * x), top = ToQtCoordinate(k * y);
  QPainter p(&Picture);
  p.fillRect(QRect(left, top, Scale * metrics.horizontalAdvance(s), Scale * metrics.height()),
             ToQColor(background));
  p.setFont(GraphQFont(font, Scale));
  p.setPen(ToQColor(font.Colour));
  p.drawText(QPoint(left, ToQtCoordinate(k * (static_cast<long long>(y) + metrics.ascent()))), s);
}

TTextSize TQtCanvas::MeasureText(const std::string& text, const TGraphFont& font) {
  return MeasureGraphText(text, font);
}

QString FromFileText(const std::string& text) {
  auto decode = QStringDecoder(QStringDecoder::Utf8);
  QString s = decode(QByteArray::fromStdString(text));
  if (decode.hasError()) return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
  return s;
}

namespace {

bool SaveImage(const QImage& image, const char* format, const std::string& path,
               std::string* error) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (!writer.write(image)) {
    if (error) *error = writer.errorString().toStdString();
    return false;
  }
  return WriteFileAtomically(path, bytes.toStdString(), error);
}

}  // namespace

bool SaveBitmap(const QImage& image, const std::string& path, std::string* error) {
  return SaveImage(image.convertToFormat(QImage::Format_RGB888), "BMP", path, error);
}

bool SavePng(const QImage& image, const std::string& path, int dotsPerInch, std::string* error) {
  QImage picture = image.convertToFormat(QImage::Format_RGB888);
  const int dotsPerMeter = qRound(dotsPerInch / 0.0254);
  picture.setDotsPerMeterX(dotsPerMeter);
  picture.setDotsPerMeterY(dotsPerMeter);
  return SaveImage(picture, "PNG", path, error);
}
