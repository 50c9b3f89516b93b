// The drawing surface of a graph: the few operations the graphs need, so
// that the drawing sequence lives in the core and any toolkit can carry it.
#pragma once

#include <cstdint>
#include <string>

struct TRgb {
  std::uint8_t R = 0, G = 0, B = 0;
  friend bool operator==(const TRgb&, const TRgb&) = default;
};

namespace GraphColours {
inline constexpr TRgb Silver{192, 192, 192};
inline constexpr TRgb DarkBlue{0, 0, 139};
inline constexpr TRgb White{255, 255, 255};
inline constexpr TRgb Black{0, 0, 0};
inline constexpr TRgb Aqua{0, 255, 255};
inline constexpr TRgb SkyBlue{166, 202, 240};
}  // namespace GraphColours

struct TGraphFont {
  std::string Name = "Arial";
  int Size = 10;  // points, at 96 pixels per inch
  TRgb Colour = GraphColours::Black;
  friend bool operator==(const TGraphFont&, const TGraphFont&) = default;
};

struct TTextSize {
  int Width = 0;
  int Height = 0;
};

// Pixel coordinates from the top-left corner, x to the right, y downwards.
// Texts are UTF-8.
class TGraphCanvas {
public:
  virtual ~TGraphCanvas() = default;
  // Covers the pixels left .. right - 1 and top .. bottom - 1.
  virtual void FillRect(int left, int top, int right, int bottom, TRgb colour) = 0;
  // Covers the start point but not the end point.
  virtual void Line(int x1, int y1, int x2, int y2, TRgb colour, int width) = 0;
  // Opaque text: the text cell, whose top-left corner is (x, y), is first
  // filled with the background colour.
  virtual void Text(int x, int y, const std::string& text, const TGraphFont& font,
                    TRgb background) = 0;
  // The size of the text cell.
  virtual TTextSize MeasureText(const std::string& text, const TGraphFont& font) = 0;
};
