// The graph canvas as a vector drawing: an SVG document in a 623 x 465 view
// box (or a chart's own size), written by Qt SVG, with the texts as texts.
#pragma once

#include <memory>
#include <string>

#include "graphs/graphcanvas.h"

// A run of operations that belong together (the steps of a series line,
// the bars of recharge, the markers of a series), with no other text
// between them, becomes one path per pen, fill or marker colour; the paths
// of a run are drawn in the order they began; a path holds no more than
// 30 000 points, a longer run is cut into several. A marker is drawn as the
// outline of its glyph, without its text cell.
class TSvgCanvas : public TGraphCanvas {
public:
  TSvgCanvas();
  // A drawing of width x height in its view box, for a chart, with its title.
  TSvgCanvas(int width, int height, const std::string& title);
  ~TSvgCanvas() override;
  TSvgCanvas(const TSvgCanvas&) = delete;
  TSvgCanvas& operator=(const TSvgCanvas&) = delete;

  void FillRect(int left, int top, int right, int bottom, TRgb colour) override;
  void Line(int x1, int y1, int x2, int y2, TRgb colour, int width) override;
  void Text(int x, int y, const std::string& text, const TGraphFont& font,
            TRgb background) override;
  TTextSize MeasureText(const std::string& text, const TGraphFont& font) override;

  // Ends the drawing and gives the document, UTF-8; nothing may be drawn
  // after it.
  std::string Finish();

private:
  struct TState;
  std::unique_ptr<TState> State;
};
