// tolvane-batch run: the option an input file was written for, run as
// Save/Run runs it; and graph, which hands over to the graph program.
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>

#include "batch/batchargs.h"
#include "batch/commands.h"
#include "batch/consoledialogs.h"
#include "files/filepaths.h"
#include "files/inputlayout.h"
#include "model/dmquorell.h"

int RunCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, {}, error);
  if (!parsed) return UsageError(error);
  if (parsed->Positional.size() != 1 || parsed->Force)
    return UsageError("run takes one input file FILE.inp");
  TConsoleDialogs dialogs;
  TDMQuorell dm(TDMQuorell::TModuleWorkspaces{});
  dm.SetDialogs(&dialogs);
  dm.FileName = AbsolutePath(parsed->Positional[0]);
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
  return ExitOk;
}

// Drawing needs Qt, whose libraries take longer to load than a whole run:
// the graphs are a program of their own beside this one.
int GraphCommand(int, char** argv) {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const auto helper = (ec ? std::filesystem::path(argv[0]) : self).parent_path() / "tolvane-batch-graph";
  execv(helper.c_str(), argv);
  std::cerr << "tolvane-batch: cannot start " << helper.string() << ": " << std::strerror(errno) << "\n";
  return ExitFailed;
}

