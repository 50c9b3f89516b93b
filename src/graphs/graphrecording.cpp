#include "graphs/graphrecording.h"

namespace {

struct TReplay {
  TGraphCanvas& Canvas;
  void operator()(const TFillStep& s) const {
    Canvas.FillRect(s.Left, s.Top, s.Right, s.Bottom, s.Colour);
  }
  void operator()(const TLineStep& s) const {
    Canvas.Line(s.X1, s.Y1, s.X2, s.Y2, s.Colour, s.Width);
  }
  void operator()(const TTextStep& s) const { Canvas.Text(s.X, s.Y, s.Text, s.Font, s.Background); }
};

}  // namespace

void TGraphRecording::DrawOn(TGraphCanvas& canvas) const {
  for (const TGraphStep& step : Kept) std::visit(TReplay{canvas}, step);
}
