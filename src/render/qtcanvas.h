// The graph canvas drawn with Qt into a 623 x 465 image, or a multiple of
// it for reports, or an image of any size for a chart; and the bitmap files.
#pragma once

#include <QFont>
#include <QImage>
#include <string>

#include "graphs/graphcanvas.h"

class TQtCanvas : public TGraphCanvas {
public:
  // At scale s the image is s times as wide and high, and every position,
  // line width and font is s times as large; texts are still measured as at
  // scale 1, so that the layout stays that of the bitmap.
  explicit TQtCanvas(int scale = 1);
  // An image of width x height pixels at scale 1, for a chart of its own size.
  TQtCanvas(int width, int height);
  void FillRect(int left, int top, int right, int bottom, TRgb colour) override;
  void Line(int x1, int y1, int x2, int y2, TRgb colour, int width) override;
  void Text(int x, int y, const std::string& text, const TGraphFont& font,
            TRgb background) override;
  TTextSize MeasureText(const std::string& text, const TGraphFont& font) override;

  const QImage& Image() const { return Picture; }

private:
  // A square of width pixels from (x, y), clipped to the image.
  void PaintSquare(long long x, long long y, long long width, QRgb rgb);

  int Scale;
  QImage Picture;
};

// The Qt font of a graph font, its size multiplied by scale.
QFont GraphQFont(const TGraphFont& font, int scale = 1);
// The text cell of a graph text, as every canvas of the graphs measures it.
TTextSize MeasureGraphText(const std::string& text, const TGraphFont& font);

// Texts of the program's files are 8-bit: UTF-8 where they are, Latin-1 else.
QString FromFileText(const std::string& text);

// The image as a 24-bit Windows bitmap, written so that an existing file is
// replaced whole or not at all. False with error filled on failure.
bool SaveBitmap(const QImage& image, const std::string& path, std::string* error);

// The image as PNG, replaced whole or not at all, marked with the given
// resolution so that a picture of scale s prints as large as one of scale 1.
bool SavePng(const QImage& image, const std::string& path, int dotsPerInch, std::string* error);
