// tolvane-batch graph: an output file drawn as the Graphics tab draws it,
// saved as a bitmap, a PNG at a scale for reports, or an SVG drawing; and
// the charts other commands hand over. A program of its own, so that the
// other commands start without loading Qt.
#include <QGuiApplication>

#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>

#include "base/numparse.h"
#include "batch/batchargs.h"
#include "batch/commands.h"
#include "batch/consoledialogs.h"
#include "files/filepaths.h"
#include "files/graphkind.h"
#include "files/outputlayout.h"
#include "graphs/chart.h"
#include "graphs/graphdraw.h"
#include "graphs/graphscale.h"
#include "model/dmquorell.h"
#include "render/chartfile.h"
#include "render/graphfile.h"

namespace {

// Qt's notes about the session (no runtime folder and the like) are no
// concern of a user of the command line; its errors still show.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

int Usage(const std::string& text) {
  std::cerr << "tolvane-batch: " << text << "\nusage:\n";
  std::cerr << CommandUsage(CommandNamed("graph"));
  return ExitUsage;
}

// Drawing texts needs a GUI application, never a display.
void PrepareQt() {
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietQtNotes);
}

// tolvane-batch-graph charts SPEC.json: the charts of a batch command, each
// to its file; what could not be written is named on standard error.
int SaveChartFiles(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: tolvane-batch-graph charts SPEC.json\n";
    return ExitUsage;
  }
  const auto text = ReadWholeFile(argv[2]);
  if (!text) {
    std::cerr << argv[2] << ": cannot be read\n";
    return ExitFailed;
  }
  std::string error;
  const auto charts = ReadChartFiles(*text, error);
  if (!charts) {
    std::cerr << argv[2] << ": " << error << "\n";
    return ExitFailed;
  }
  PrepareQt();
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  int status = ExitOk;
  for (const auto& [chart, path] : *charts)
    if (!SaveChart(chart, path, &error)) {
      std::cerr << path << ": " << error << "\n";
      status = ExitFailed;
    }
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "charts") return SaveChartFiles(argc, argv);
  // argv[1] is the word "graph".
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("graph"), error);
  if (!parsed) return Usage(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() > 1) return Usage("graph takes one output file");
  if (args.Positional.empty() || !args.Options.count("-o") || !args.Options.count("--kind"))
    return Usage("graph needs FILE.out, --kind and -o");
  const std::string& file = args.Positional[0];
  const std::string& out = args.Options.at("-o");
  const auto code = ParseInteger(args.Options.at("--kind"));
  const auto kind = code ? GraphKindFromCode(*code) : std::nullopt;
  if (!kind) return Usage("--kind must be 1, 2, 3, 4 or 7");
  const auto format = GraphFileFormatOf(out);
  if (!format) return Usage("the graph file \"" + out + "\" must end in " + GraphFileExtensions);
  int scale = 1;
  if (!GetInt(args, "--scale", scale, error)) return Usage(error);
  if (scale < 1 || scale > MaxGraphScale) return Usage("--scale must be 1, 2 or 3");
  if (!ScaleFitsFormat(*format, scale))
    return Usage(
        "--scale is for PNG graphs: a BMP graph is 623 x 465 pixels as designed, an SVG "
        "graph is drawn to any size");

  PrepareQt();
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);

  TConsoleDialogs dialogs;
  TDMQuorell dm(TDMQuorell::TModuleWorkspaces{});
  dm.SetDialogs(&dialogs);
  dm.ResultsFileName = file;
  try {
    if (!dm.ReadResultsHead()) return ExitFailed;
    const bool reconstruction =
        dm.ResultsTag == OutputLayout::SectionTag(OutputLayout::ReconstructionSection);
    if (reconstruction != IsReconstructionKind(*kind)) {
      std::cerr << file << ": is " << (reconstruction ? "a reconstruction" : "not a reconstruction")
                << " output file; graph kind " << GraphKindCode(*kind) << " is drawn from "
                << (IsReconstructionKind(*kind) ? "a reconstruction" : "a prediction")
                << " output file\n";
      return ExitFailed;
    }
    if (!dm.ReadResultsForGraph(*kind)) return ExitFailed;
  } catch (const TInOutError& e) {
    std::cerr << file << ": " << e.what() << "\n";
    return ExitFailed;
  }
  TGraphRecording graph = NewGraphRecording();
  if (!ShowGraphics(GraphState, dm, *kind, graph)) return ExitFailed;
  if (!SaveGraph(graph, out, *format, scale, &error)) {
    std::cerr << "The graph could not be saved in \"" << out << "\": " << error << "\n";
    return ExitFailed;
  }
  std::cout << out << ": graph " << GraphKindCode(*kind) << " of " << dm.NrOfData << " points\n";
  return ExitOk;
}
