// The graph canvas drawn with Qt into a 623 x 465 image, and the bitmap file.
#pragma once

#include <QImage>
#include <string>

#include "graphs/graphcanvas.h"

class TQtCanvas : public TGraphCanvas {
public:
  TQtCanvas();
  void FillRect(int left, int top, int right, int bottom, TRgb colour) override;
  void Line(int x1, int y1, int x2, int y2, TRgb colour, int width) override;
  void Text(int x, int y, const std::string& text, const TGraphFont& font,
            TRgb background) override;
  TTextSize MeasureText(const std::string& text, const TGraphFont& font) override;

  const QImage& Image() const { return Picture; }

private:
  // A square of width pixels from (x, y), clipped to the image.
  void PaintSquare(long long x, long long y, int width, QRgb rgb);

  QImage Picture;
};

// Texts of the program's files are 8-bit: UTF-8 where they are, Latin-1 else.
QString FromFileText(const std::string& text);

// The image as a 24-bit Windows bitmap, written so that an existing file is
// replaced whole or not at all. False with error filled on failure.
bool SaveBitmap(const QImage& image, const std::string& path, std::string* error);
