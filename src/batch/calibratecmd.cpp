// tolvane-batch calibrate: the pre-reservoir parameters of best fit.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <iostream>
#include <sstream>

#include "batch/batchargs.h"
#include "batch/calibraterun.h"
#include "batch/commands.h"
#include "batch/consoledialogs.h"
#include "batch/fitoptions.h"
#include "batch/tableargs.h"
#include "batch/validatecmd.h"
#include "base/numformat.h"
#include "base/numparse.h"
#include "files/filepaths.h"
#include "files/inputlayout.h"
#include "files/storelines.h"
#include "files/inputfile.h"
#include "files/modelfile.h"
#include "model/calibration.h"
#include "model/dmquorell.h"
#include "model/engine.h"
#include "model/routing.h"
#include "model/workpool.h"

namespace {

std::string Describe(const TCalibrationPoint& p, TObjective objective, int warmUp) {
  std::string text = "maximum storage " + FormatParameter(p.Store.MaxSto, 0) +
                     ", initial storage " + FormatParameter(p.Store.IniSto, 0) + ", escape rate " +
                     FormatParameter(p.Store.MaxEsc, 0) + ": ";
  if (!p.Valid) return text + "no fit";
  if (p.Extensions.SlowPath)
    text += "slow path share " + FormatFixed(p.Extensions.BaseShare, 0, 4) + ", alpha " +
            FormatGeneral(p.Extensions.BaseAlpha, '.') + ", ";
  return text + "reservoirs " + std::to_string(p.NrOfRes) + ", alpha " +
         FormatFixed(p.Alpha, 0, 3) + ", " + ObjectiveName(objective) + " " +
         FullPrecision(ObjectiveOf(objective, p.Fit)) +
         (warmUp > 0 ? " (from point " + std::to_string(warmUp + 1) + ")" : "");
}

// One line on a terminal, rewritten at most ten times a second: the
// candidates judged, the best so far and the time left; nothing when
// standard error is no terminal.
class TProgressLine {
public:
  explicit TProgressLine(TObjective objective)
      : Objective(objective), Shown(isatty(STDERR_FILENO) == 1),
        Started(std::chrono::steady_clock::now()) {}
  ~TProgressLine() {
    if (Shown && Written) std::cerr << "\r\033[K" << std::flush;
  }
  void operator()(const TCalibrationProgress& p) {
    if (!Shown) return;
    const auto now = std::chrono::steady_clock::now();
    if (Written && now - Last < std::chrono::milliseconds(100)) return;
    Last = now;
    Written = true;
    const double spent = std::chrono::duration<double>(now - Started).count();
    const double left = p.Evaluations > 0 ? spent * (p.Planned - p.Evaluations) / p.Evaluations : 0;
    std::cerr << "\r\033[Kcalibrating: " << p.Evaluations << " of about " << p.Planned
              << " candidates, best " << ObjectiveName(Objective) << " "
              << (p.Best.Valid ? FormatFixed(p.Best.Objective, 0, 4) : std::string("none yet"))
              << ", about " << FormatFixed(std::max(left, 0.0), 0, 1) << " s left" << std::flush;
  }

private:
  TObjective Objective;
  bool Shown;
  bool Written = false;
  std::chrono::steady_clock::time_point Started, Last;
};

bool EndsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() &&
         std::equal(end.rbegin(), end.rend(), text.rbegin(), [](char a, char b) {
           return std::tolower(static_cast<unsigned char>(a)) == b;
         });
}

// An input file of the record with the store found: the input file's own
// text with lines 7 to 10 replaced, or one made from a table.
std::optional<std::string> BestInputFile(const TValidationData& data, const std::string& path,
                                         const TStoreParameters& store) {
  if (!data.Bytes.empty()) return ReplaceStoreLines(data.Bytes, path, store);
  TInputFileWrite file;
  file.Title1 = data.Title1;
  file.Title2 = data.Title2;
  file.Path = path;
  file.Store = store;
  file.Times = data.Times;
  file.Rains = data.Rains;
  file.Runoffs = data.Runoffs;
  return FormatInputFile(file);
}

}  // namespace

int CalibrateCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("calibrate"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1)
    return UsageError("calibrate takes one record DATA: an input file or a table");
  if (!args.Options.count("-o")) return UsageError("calibrate needs -o BEST.inp or -o MODEL.json");
  const std::string bestPath = AbsolutePath(args.Options.at("-o"));
  const bool modelFile = EndsWith(bestPath, ".json");
  if (!modelFile && !EndsWith(bestPath, ".inp"))
    return UsageError("-o takes BEST.inp (an input file) or MODEL.json (a model file)");
  const bool slowPath = args.Has("--slow-path");
  const bool evaporation = args.Options.count("--pet-column") > 0;
  if ((slowPath || evaporation) && !modelFile)
    return UsageError("--slow-path and --pet-column go with -o MODEL.json: an input file holds "
                      "neither");
  TObjective objective = TObjective::RSquare;
  TCalibrationBounds bounds;
  if (!GetFitOptions(args, objective, bounds, error)) return UsageError(error);
  int warmUp = 0;
  if (!GetWarmUp(args, warmUp, error)) return UsageError(error);
  const bool validate = args.Options.count("--validate") > 0;
  if (!validate && (args.Options.count("--validate-from") || args.Options.count("--validate-to")))
    return UsageError("--validate-from and --validate-to go with --validate DATA2");
  // The record to fit.
  const std::string dataPath = AbsolutePath(args.Positional[0]);
  if (const auto bytes = ReadWholeFile(dataPath); !bytes) {
    std::cerr << "The file \"" << dataPath << "\"could not be opened. It may be damaged or in use "
              << "by another program.\n";
    return ExitUsage;
  } else if (IsInputFile(*bytes) && !HoldsDetermination(*bytes)) {
    std::cerr << dataPath
              << ": is the input file of a prediction; calibrate takes the input file of a model "
                 "determination (measured runoff to fit)\n";
    return ExitFailed;
  } else if (IsInputFile(*bytes) && HasTableOptions(args) && !validate) {
    return UsageError("the table options go with a table as DATA or with --validate DATA2");
  }
  if (!CheckDataOptions(args, error)) return UsageError(error);
  TValidationData data;
  if (const int status = ReadValidationData(args, dataPath, data, {}, "calibrate"); status != ExitOk)
    return status;
  if (const std::string why = evaporation ? EvaporationFault(data) : ""; !why.empty()) {
    std::cerr << why << "\n";
    return ExitFailed;
  }
  std::error_code ec;
  if (std::filesystem::exists(bestPath, ec) && !args.Has("--force")) {
    std::cerr << bestPath << ": exists already; give --force to replace it\n";
    return ExitFailed;
  }
  if (!modelFile && !data.InputFile && static_cast<int>(data.Times.size()) > AnaCapacity - 1) {
    std::cerr << dataPath << ": " << data.Times.size()
              << " points; an input file holds at most " << AnaCapacity - 1
              << ": write a model file (-o MODEL.json) or choose a shorter period\n";
    return ExitFailed;
  }

  // A table that becomes an input file is fitted as the file will hold it:
  // the input file's formats round its numbers, and its run must give the
  // figure reported.
  if (!modelFile && !data.InputFile) {
    data.Bytes = *BestInputFile(data, bestPath, {bounds.MaxStoHigh, bounds.MaxStoHigh, 0});
    const TRunInput stored = ReadDeterminationInput(data.Bytes, AnaCapacity);
    data.Times.clear(), data.Rains.clear(), data.Runoffs.clear();
    for (const TInputPoint& point : stored.Points) {
      data.Times.push_back(point.Time);
      data.Rains.push_back(point.Rain);
      data.Runoffs.push_back(point.Runoff);
    }
  }

  // The record's own parameters, as a run of its input file takes them;
  // a table has none, and is checked with the least store of the bounds.
  const TStoreParameters own =
      data.InputFile ? ReadDeterminationInput(data.Bytes, 0).Store
                     : TStoreParameters{bounds.MaxStoHigh, bounds.MaxStoHigh, 0};
  if (const std::string why = RecordFault(data, own, warmUp); !why.empty()) {
    std::cerr << why << "\n";
    return ExitFailed;
  }
  // DATA2 before the search, so that a record that cannot be taken costs
  // no waiting.
  TValidationData next;
  if (validate) {
    const TPeriod period{OptionOr(args, "--validate-from", ""), OptionOr(args, "--validate-to", "")};
    const int status = ReadValidationData(args, args.Options.at("--validate"), next, period);
    if (status != ExitOk) return status;
    if (const std::string why = CheckValidationRecord({next.Times, next.Rains, next.Runoffs}, warmUp); !why.empty()) {
      std::cerr << next.Path << ": " << why << "\n";
      return ExitFailed;
    }
  }

  TWorkPool pool;
  TCalibrationSettings settings;
  settings.Objective = objective;
  settings.Bounds = bounds;
  settings.WarmUp = warmUp;
  settings.SlowPath = slowPath;
  settings.Pet = data.Pets;
  TCalibration calibration(data.View(), settings, &pool);
  const TCalibrationPoint before =
      data.InputFile ? calibration.Evaluate(own, 0, BaseAlphaHigh) : TCalibrationPoint();
  const auto started = std::chrono::steady_clock::now();
  TCalibrationPoint best;
  {
    TProgressLine progress(objective);
    best = calibration.Search(std::ref(progress));
  }
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!best.Valid) {
    std::cerr << "No parameters within the bounds give a fit: every sum of squares overflows\n";
    return ExitFailed;
  }

  std::string text;
  if (modelFile) {
    text = FormatModelFile(ModelFileOf(best, objective, warmUp, data));
  } else {
    const auto file = BestInputFile(data, bestPath, best.Store);
    if (!file) {
      std::cerr << dataPath << ": has fewer than the ten head lines of an input file\n";
      return ExitFailed;
    }
    text = *file;
  }
  if (!WriteFileAtomically(bestPath, text, &error, true)) {
    std::cerr << "The file \"" << bestPath << "\" could not be written: " << error << "\n";
    return ExitFailed;
  }
  std::ostringstream searched;
  searched.precision(2);
  searched << std::fixed << seconds;
  if (data.InputFile) std::cout << "before: " << Describe(before, objective, warmUp) << "\n";
  std::cout << "after:  " << Describe(best, objective, warmUp) << "\n"
            << "searched " << calibration.Evaluations() << " candidates in " << searched.str()
            << " s; " << bestPath << " written\n";

  TFittedModel fitted{best.Store, best.NrOfRes, best.Alpha, best.Extensions};
  if (modelFile) {
    std::cout << "criteria" << (warmUp > 0 ? " from point " + std::to_string(warmUp + 1) : "")
              << ": " << CriteriaLine(best.Fit) << "\n";
  } else {
    // The new file's own run, in a data module of its own: its output
    // file, and the proof that it gives the figure reported.
    TConsoleDialogs dialogs;
    TDMQuorell run;
    run.SetDialogs(&dialogs);
    run.SetWorkPool(&pool);
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
    fitted = FittedModelOf(runWs);
  }
  if (!validate) return ExitOk;
  return ReportValidation(fitted, (modelFile ? "the model file " : "the determination of ") + bestPath,
                          next, warmUp, "");
}
