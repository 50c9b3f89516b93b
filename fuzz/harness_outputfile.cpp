#include <cstdio>
#include <string>

#include "fuzz/harness.h"
#include "fuzz/harness_common.h"
#include "graphs/graphdraw.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"

namespace {

// Draws nothing: the sanitizers watch the arithmetic that leads here.
class TCountingCanvas : public TGraphCanvas {
public:
  void FillRect(int, int, int, int, TRgb) override { ++Calls; }
  void Line(int, int, int, int, TRgb, int) override { ++Calls; }
  void Text(int, int, const std::string& text, const TGraphFont&, TRgb) override {
    Calls += static_cast<long>(text.size());
  }
  TTextSize MeasureText(const std::string& text, const TGraphFont& font) override {
    return {static_cast<int>(text.size()) * font.Size, 2 * font.Size};
  }
  long Calls = 0;
};

}  // namespace

void FuzzOutputFile(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(data, size, ".out");
  if (path.empty()) return;

  TQuietDialogs quiet;
  TDMQuorell dm;
  dm.SetDialogs(&quiet);
  dm.LoadOutputLines(path);
  dm.ResultsFileName = path;
  dm.ReadResultsHead();
  TGraphState graph;
  for (const TGraphKindInfo& info : GraphKinds) {
    const TGraphKind kind = info.Kind;
    try {
      if (!dm.ReadResultsForGraph(kind)) continue;
    } catch (const TInOutError&) {
      // The lines read before the bad value are drawn all the same.
    }
    TCountingCanvas canvas;
    ShowGraphics(graph, dm, kind, canvas);
  }
}
