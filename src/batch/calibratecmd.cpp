// tolvane-batch calibrate: the pre-reservoir parameters of best fit.
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "batch/batchargs.h"
#include "batch/commands.h"
#include "batch/consoledialogs.h"
#include "batch/tableargs.h"
#include "batch/validatecmd.h"
#include "base/numformat.h"
#include "base/numparse.h"
#include "files/filepaths.h"
#include "files/inputlayout.h"
#include "files/storelines.h"
#include "model/calibration.h"
#include "model/dmquorell.h"

namespace {

std::optional<TObjective> ParseObjective(const std::string& text) {
  const auto criterion = CriterionByKey(text);
  if (!criterion || !InfoOf(*criterion).Objective) return std::nullopt;
  return criterion;
}

// "a, b or c"
std::string ObjectiveChoices() {
  std::string keys = ObjectiveKeys(), text;
  std::size_t start = 0;
  for (auto bar = keys.find('|'); ; bar = keys.find('|', start)) {
    const std::string key = keys.substr(start, bar == std::string::npos ? bar : bar - start);
    if (!text.empty()) text += bar == std::string::npos ? " or " : ", ";
    text += key;
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  return text;
}

// "LO:HI", each a number.
std::optional<TCalibrationBounds> ParseRange(const std::string& text) {
  const auto colon = text.find(':');
  if (colon == std::string::npos) return std::nullopt;
  const auto low = ParseReal(std::string_view(text).substr(0, colon));
  const auto high = ParseReal(std::string_view(text).substr(colon + 1));
  if (!low || !high) return std::nullopt;
  return TCalibrationBounds{*low, *high};
}


std::string Describe(const TCalibrationPoint& p, TObjective objective, int warmUp) {
  std::string text = "maximum storage " + FormatParameter(p.Store.MaxSto, 0) +
                     ", initial storage " + FormatParameter(p.Store.IniSto, 0) + ", escape rate " +
                     FormatParameter(p.Store.MaxEsc, 0) + ": ";
  if (!p.Valid) return text + "no fit";
  return text + "reservoirs " + std::to_string(p.NrOfRes) + ", alpha " +
         FormatFixed(p.Alpha, 0, 3) + ", " + ObjectiveName(objective) + " " +
         FullPrecision(ObjectiveOf(objective, p.Fit)) +
         (warmUp > 0 ? " (from point " + std::to_string(warmUp + 1) + ")" : "");
}

// One line on a terminal, rewritten at most ten times a second.
class TProgressLine {
public:
  explicit TProgressLine(TObjective objective)
      : Objective(objective), Shown(isatty(STDERR_FILENO) == 1) {}
  ~TProgressLine() {
    if (Shown && Written) std::cerr << "\r\033[K" << std::flush;
  }
  void operator()(int evaluations, const TCalibrationPoint& best) {
    if (!Shown) return;
    const auto now = std::chrono::steady_clock::now();
    if (Written && now - Last < std::chrono::milliseconds(100)) return;
    Last = now;
    Written = true;
    std::cerr << "\r\033[Kcalibrating: " << evaluations << " candidates, best "
              << ObjectiveName(Objective) << " "
              << (best.Valid ? FormatFixed(ObjectiveOf(Objective, best.Fit), 0, 4)
                             : std::string("none yet"))
              << std::flush;
  }

private:
  TObjective Objective;
  bool Shown;
  bool Written = false;
  std::chrono::steady_clock::time_point Last;
};

}  // namespace

int CalibrateCommand(int argc, char** argv) {
  std::string error;
  std::vector<std::string> valued = {"-o", "--objective", "--max-storage", "--warm-up",
                                     "--validate"};
  valued.insert(valued.end(), TableOptionNames().begin(), TableOptionNames().end());
  auto parsed = ParseArgs(argc, argv, valued, {"--force"}, error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1) return UsageError("calibrate takes one input file FILE.inp");
  if (!args.Options.count("-o")) return UsageError("calibrate needs -o BEST.inp");
  TObjective objective = TObjective::RSquare;
  if (args.Options.count("--objective")) {
    const auto given = ParseObjective(args.Options.at("--objective"));
    if (!given) return UsageError("--objective must be " + ObjectiveChoices());
    objective = *given;
  }
  TCalibrationBounds bounds;
  if (args.Options.count("--max-storage")) {
    const auto given = ParseRange(args.Options.at("--max-storage"));
    if (!given) return UsageError("--max-storage takes a range LO:HI in mm, such as 1:500");
    bounds = *given;
  }
  if (const std::string why = CheckCalibrationBounds(bounds); !why.empty())
    return UsageError("--max-storage " + args.Options.at("--max-storage") + ": " + why);
  int warmUp = 0;
  if (!GetWarmUp(args, warmUp, error)) return UsageError(error);
  const bool validate = args.Options.count("--validate") > 0;
  if (HasTableOptions(args) && !validate)
    return UsageError("the table options go with --validate DATA");
  if (!CheckDataOptions(args, error)) return UsageError(error);

  TConsoleDialogs dialogs;
  TDMQuorell dm(TDMQuorell::TModuleWorkspaces{});
  dm.SetDialogs(&dialogs);
  dm.FileName = AbsolutePath(args.Positional[0]);
  const std::string inputPath = dm.FileName;
  const std::string bestPath = AbsolutePath(args.Options.at("-o"));
  const auto original = ReadWholeFile(inputPath);
  if (!original) {
    std::cerr << dm.OpenFailureText() << "\n";
    return ExitUsage;
  }
  if (!HoldsDetermination(*original)) {
    std::cerr << inputPath
              << ": is the input file of a prediction; calibrate takes the input file of a model "
                 "determination (measured runoff to fit)\n";
    return ExitFailed;
  }
  std::error_code ec;
  if (std::filesystem::exists(bestPath, ec) && !args.Has("--force")) {
    std::cerr << bestPath << ": exists already; give --force to replace it\n";
    return ExitFailed;
  }

  // The record and its own parameters, as a run of the file takes them.
  auto& ws = dm.Analysis();
  TStoreParameters own;
  try {
    dm.RunFailed = false;
    if (!dm.PrepareDetermination()) return ExitFailed;
    own = ws.Store();
    // Once with the messages shown: a wrong time sequence ends it here.
    if (!dm.FitCascade() && ws.AnaTimeError) return ExitFailed;
  } catch (const TInOutError& e) {
    std::cerr << e.what() << "\n";
    return ExitFailed;
  }
  if (const std::string why = CheckWarmUp(warmUp, ws.AnaNrOfData); !why.empty()) {
    std::cerr << inputPath << ": " << why << "\n";
    return ExitFailed;
  }
  // DATA before the search, so that a record that cannot be taken costs no
  // waiting.
  TValidationData data;
  if (validate) {
    const int status = ReadValidationData(args, args.Options.at("--validate"), data);
    if (status != ExitOk) return status;
    const TValidationRecord record{data.Times, data.Rains, data.Runoffs};
    if (const std::string why = CheckValidationRecord(record, warmUp); !why.empty()) {
      std::cerr << data.Path << ": " << why << "\n";
      return ExitFailed;
    }
  }

  TCalibration calibration(dm, objective, bounds, warmUp);
  const TCalibrationPoint before = calibration.Evaluate(own);
  const auto started = std::chrono::steady_clock::now();
  TCalibrationPoint best;
  {
    TProgressLine progress(objective);
    best = calibration.Search(own, std::ref(progress));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!best.Valid) {
    std::cerr << "No parameters within the bounds give a fit: every sum of squares overflows\n";
    return ExitFailed;
  }

  const auto text = ReplaceStoreLines(*original, bestPath, best.Store);
  if (!text) {
    std::cerr << inputPath << ": has fewer than the ten head lines of an input file\n";
    return ExitFailed;
  }
  if (!WriteFileAtomically(bestPath, *text, &error, true)) {
    std::cerr << "The file \"" << bestPath << "\" could not be written: " << error << "\n";
    return ExitFailed;
  }
  std::ostringstream searched;
  searched.precision(2);
  searched << std::fixed << seconds;
  std::cout << "before: " << Describe(before, objective, warmUp) << "\n"
            << "after:  " << Describe(best, objective, warmUp) << "\n"
            << "searched " << calibration.Evaluations() << " candidates in " << searched.str()
            << " s; " << bestPath << " written\n";

  // The new file's own run, in a data module of its own: its output file,
  // and the proof that it gives the figure reported.
  TDMQuorell run;
  run.SetDialogs(&dialogs);
  run.FileName = bestPath;
  try {
    if (!run.RunModel(true)) return ExitFailed;
  } catch (const TInOutError& e) {
    std::cerr << e.what() << "\n";
    return ExitFailed;
  }
  PrintRunSummary(run, true);
  const auto& runWs = run.Analysis();
  const TFitCriteria fit = FitCriteria(runWs.RunMeas + warmUp, runWs.RunCalc + warmUp,
                                       runWs.AnaNrOfData - warmUp);
  if (ObjectiveOf(objective, fit) != best.Objective || runWs.NrOfRes != best.NrOfRes ||
      runWs.Alpha != best.Alpha) {
    std::cerr << "A program error occurred. The run of " << bestPath
              << " does not give the fit the search found\n";
    return ExitFailed;
  }
  if (!validate) return ExitOk;
  return ReportValidation(FittedModelOf(runWs), "the determination of " + bestPath, data, warmUp,
                          "");
}
