// A graph drawn once and kept, to be drawn again on any canvas: the screen,
// a bitmap at any scale, a vector drawing. Every canvas then gets the same
// operations with the same layout.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "graphs/graphcanvas.h"

struct TFillStep {
  int Left, Top, Right, Bottom;
  TRgb Colour;
};
struct TLineStep {
  int X1, Y1, X2, Y2;
  TRgb Colour;
  int Width;
};
struct TTextStep {
  int X, Y;
  std::string Text;
  TGraphFont Font;
  TRgb Background;
};
using TGraphStep = std::variant<TFillStep, TLineStep, TTextStep>;

using TTextMeasure = std::function<TTextSize(const std::string&, const TGraphFont&)>;

class TGraphRecording : public TGraphCanvas {
public:
  // Texts are measured by measure, as the canvases that draw them measure.
  explicit TGraphRecording(TTextMeasure measure) : Measure(std::move(measure)) {}

  void FillRect(int left, int top, int right, int bottom, TRgb colour) override {
    Kept.push_back(TFillStep{left, top, right, bottom, colour});
  }
  void Line(int x1, int y1, int x2, int y2, TRgb colour, int width) override {
    Kept.push_back(TLineStep{x1, y1, x2, y2, colour, width});
  }
  void Text(int x, int y, const std::string& text, const TGraphFont& font,
            TRgb background) override {
    Kept.push_back(TTextStep{x, y, text, font, background});
  }
  TTextSize MeasureText(const std::string& text, const TGraphFont& font) override {
    return Measure(text, font);
  }

  // Every operation kept, in its order, on canvas.
  void DrawOn(TGraphCanvas& canvas) const;
  const std::vector<TGraphStep>& Steps() const { return Kept; }

private:
  TTextMeasure Measure;
  std::vector<TGraphStep> Kept;
};
