#include <unistd.h>

#include <cstdio>
#include <string>

#include "fuzz/harness.h"
#include "graphs/graphdraw.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"

namespace {

class TQuiet : public TUserDialogs {
public:
  void ShowMessage(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  void ShowProgramError(const std::string&) override {}
};

// Draws nothing; checks that every coordinate is one a bitmap can take.
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

const std::string& ScratchFile() {
  static const std::string path = [] {
    char name[] = "/tmp/tolvane-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name) + ".out";
  }();
  return path;
}

}  // namespace

void FuzzOutputFile(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchFile();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TQuiet quiet;
  TDMQuorell dm;
  dm.SetDialogs(&quiet);
  dm.LoadOutputLines(path);
  dm.ResultsFileName = path;
  dm.ReadResultsHead();
  for (int kind : {1, 2, 3, 4, 7}) {
    try {
      if (!dm.ReadResultsForGraph(kind)) continue;
    } catch (const TInOutError&) {
      // The lines read before the bad value are drawn all the same.
    }
    TCountingCanvas canvas;
    ShowGraphics(dm, kind, canvas);
  }
}
