// tolvane-batch graph: an output file drawn as a bitmap, as the Graphics
// tab draws it. A program of its own, so that the other commands start
// without loading Qt.
#include <QGuiApplication>

#include <cstdlib>
#include <optional>
#include <iostream>
#include <string>

#include "base/numparse.h"
#include "batch/consoledialogs.h"
#include "files/graphkind.h"
#include "files/outputlayout.h"
#include "graphs/graphdraw.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"
#include "render/qtcanvas.h"

namespace {

// Qt's notes about the session (no runtime folder and the like) are no
// concern of a user of the command line; its errors still show.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

int Usage(const std::string& text) {
  std::cerr << "tolvane-batch: " << text
            << "\nusage: tolvane-batch graph FILE.out --kind 1|2|3|4|7 -o GRAPH.bmp\n";
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  std::string file, out;
  std::optional<TGraphKind> kind;
  // argv[1] is the word "graph".
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if ((a == "--kind" || a == "-o") && i + 1 < argc) {
      const std::string v = argv[++i];
      if (a == "-o") {
        out = v;
      } else {
        const auto code = ParseInteger(v);
        kind = code ? GraphKindFromCode(*code) : std::nullopt;
        if (!kind) return Usage("--kind must be 1, 2, 3, 4 or 7");
      }
    } else if (!a.empty() && a[0] == '-') {
      return Usage("unknown option " + a);
    } else if (file.empty()) {
      file = a;
    } else {
      return Usage("graph takes one output file");
    }
  }
  if (file.empty() || out.empty() || !kind) return Usage("graph needs FILE.out, --kind and -o");

  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietQtNotes);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);

  TConsoleDialogs dialogs;
  TDMQuorell dm(TDMQuorell::TModuleWorkspaces{});
  dm.SetDialogs(&dialogs);
  dm.ResultsFileName = file;
  try {
    if (!dm.ReadResultsHead()) return 1;
    const bool reconstruction =
        dm.ResultsTag == OutputLayout::SectionTag(OutputLayout::ReconstructionSection);
    if (reconstruction != IsReconstructionKind(*kind)) {
      std::cerr << file << ": is " << (reconstruction ? "a reconstruction" : "not a reconstruction")
                << " output file; graph kind " << GraphKindCode(*kind) << " is drawn from "
                << (IsReconstructionKind(*kind) ? "a reconstruction" : "a prediction")
                << " output file\n";
      return 1;
    }
    if (!dm.ReadResultsForGraph(*kind)) return 1;
  } catch (const TInOutError& e) {
    std::cerr << file << ": " << e.what() << "\n";
    return 1;
  }
  TQtCanvas canvas;
  if (!ShowGraphics(GraphState, dm, *kind, canvas)) return 1;
  std::string error;
  if (!SaveBitmap(canvas.Image(), out, &error)) {
    std::cerr << "The graph could not be saved in \"" << out << "\": " << error << "\n";
    return 1;
  }
  std::cout << out << ": graph " << GraphKindCode(*kind) << " of " << dm.NrOfData << " points\n";
  return 0;
}
