// tolvane-batch run: the option an input file was written for, run as
// Save/Run runs it, with the run's table for a spreadsheet if asked; and
// graph, which hands over to the graph program.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "batch/batchargs.h"
#include "batch/commands.h"
#include "batch/consoledialogs.h"
#include "batch/plots.h"
#include "files/csvtable.h"
#include "files/filepaths.h"
#include "files/inputlayout.h"
#include "model/dmquorell.h"

int RunCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("run"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1) return UsageError("run takes one input file FILE.inp");
  const bool table = args.Options.count("--table") > 0;
  if (args.Has(EuropeanFlag) && !table) return UsageError("--european goes with --table OUT.csv");
  TConsoleDialogs dialogs;
  TDMQuorell dm(TDMQuorell::TModuleWorkspaces{});
  dm.SetDialogs(&dialogs);
  dm.FileName = AbsolutePath(args.Positional[0]);
  const std::string tablePath = table ? args.Options.at("--table") : "";
  if (table && (SameFile(tablePath, dm.FileName) ||
                SameFile(tablePath, ChangeFileExt(dm.FileName, ".out"))))
    return UsageError("--table must name a file other than the input and output files");
  const auto content = ReadWholeFile(dm.FileName);
  if (!content) {
    std::cerr << dm.OpenFailureText() << "\n";
    return ExitUsage;
  }
  const bool analysis = HoldsDetermination(*content);
  dm.IsAnalysis = analysis;
  try {
    dm.RunModel(analysis);
  } catch (const TInOutError& e) {
    std::cerr << e.what() << "\n";
    return ExitFailed;
  }
  if (!dm.RunSucceeded(analysis)) return ExitFailed;
  PrintRunSummary(dm, analysis);
  if (!table) return ExitOk;
  const TCsvStyle style = args.Has(EuropeanFlag) ? CsvEuropeanStyle : CsvPointStyle;
  const std::string csv = analysis ? ReconstructionCsv(dm.ReconstructionResults(), style)
                                   : PredictionCsv(dm.PredictionResults(), style);
  const std::size_t points = static_cast<std::size_t>(
      analysis ? dm.Analysis().AnaNrOfData : dm.Prediction().PredNrOfData);
  return WriteTable(tablePath, csv, points) ? ExitOk : ExitFailed;
}

// Drawing needs Qt, whose libraries take longer to load than a whole run:
// the graphs are a program of their own beside this one.
int GraphCommand(int, char** argv) {
  const auto helper = GraphProgram(argv[0]);
  execv(helper.c_str(), argv);
  std::cerr << "tolvane-batch: cannot start " << helper.string() << ": " << std::strerror(errno) << "\n";
  return ExitFailed;
}

