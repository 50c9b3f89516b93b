#include "batch/batchargs.h"

#include <algorithm>
#include <filesystem>
#include <iostream>

#include "base/numformat.h"
#include "base/numparse.h"
#include "batch/commands.h"
#include "files/filepaths.h"
#include "model/criteria.h"
#include "model/dmquorell.h"
#include "model/runwarnings.h"

namespace {

template <typename TValue, typename TParse>
bool GetOption(const TArgs& args, const std::string& name, TValue& value, std::string& error,
               TParse parse, const char* what) {
  auto it = args.Options.find(name);
  if (it == args.Options.end()) return true;
  const auto parsed = parse(it->second);
  if (!parsed) {
    error = name + " takes " + what + ", not \"" + it->second + "\"";
    return false;
  }
  value = *parsed;
  return true;
}

}  // namespace

std::string UsageText() {
  std::string text = "usage:\n";
  for (const TCommand& command : Commands()) text += CommandUsage(command);
  return text;
}

std::string HelpText() {
  std::string text = "tolvane-batch: the work of the Tolvane window on its files, from the command "
                     "line.\n\n" +
                     UsageText() + "  tolvane-batch --help | --version\n";
  for (const TCommand& command : Commands()) text += "\n" + CommandHelp(command);
  text += "\nInput and output files are those of the window (.inp, .out). Rain and runoff are in\n"
          "mm per time unit, storages in mm, the escape rate in mm per time unit, alpha per time\n"
          "unit; numbers are written with a decimal point.\n"
          "\nexit status:\n"
          "  0  success (also of --help and --version)\n"
          "  1  the data, the run or a file written failed; the message says why\n"
          "  2  a usage error, or an input file (.inp) that cannot be opened\n";
  return text;
}

std::string VersionText() { return std::string("tolvane-batch ") + TOLVANE_VERSION + "\n"; }

int UsageError(const std::string& text) {
  std::cerr << "tolvane-batch: " << text << "\n" << UsageText();
  return ExitUsage;
}

std::optional<TArgs> ParseArgs(int argc, char** argv, const TCommand& command, std::string& error) {
  std::vector<std::string> valued, flags;
  for (const TOption& o : command.Options) (o.Value ? valued : flags).push_back(o.Name);
  auto listed = [](const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
  };
  TArgs args;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (listed(flags, a)) {
      args.Flags.insert(a);
    } else if (a.size() > 1 && a[0] == '-') {
      if (!listed(valued, a)) {
        error = "unknown option " + a;
        return std::nullopt;
      }
      if (i + 1 >= argc) {
        error = a + " needs a value";
        return std::nullopt;
      }
      args.Options[a] = argv[++i];
    } else {
      args.Positional.push_back(a);
    }
  }
  return args;
}

bool GetInt(const TArgs& args, const std::string& name, int& value, std::string& error) {
  return GetOption(args, name, value, error, ParseInteger, "a whole number");
}

bool GetReal(const TArgs& args, const std::string& name, std::optional<double>& value,
             std::string& error) {
  return GetOption(args, name, value, error, ParseReal, "a number");
}

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(path, ec);
  return ec ? path : abs.lexically_normal().string();
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec1, ec2;
  const auto pa = std::filesystem::weakly_canonical(a, ec1);
  const auto pb = std::filesystem::weakly_canonical(b, ec2);
  if (ec1 || ec2) return AbsolutePath(a) == AbsolutePath(b);
  return pa == pb;
}

bool WriteTable(const std::string& path, const std::string& csv, std::size_t points) {
  std::string error;
  if (!WriteFileAtomically(path, csv, &error)) {
    std::cerr << "The table could not be written in \"" << path << "\": " << error << "\n";
    return false;
  }
  std::cout << path << ": table of " << points << " points\n";
  return true;
}

void PrintRunSummary(const TDMQuorell& dm, bool analysis) {
  const auto& ws = dm.Analysis();
  const auto& pred = dm.Prediction();
  const std::string escape =
      analysis ? EscapeWarning(ws.AnaMaxSto, ws.AnaMaxEsc, ws.Time, ws.AnaNrOfData)
               : EscapeWarning(pred.PredMaxSto, pred.PredMaxEsc, pred.PredTime, pred.PredNrOfData);
  if (!escape.empty()) std::cerr << escape << "\n";
  std::cout << "reservoirs " << ws.NrOfRes << ", alpha " << FormatFixed(ws.Alpha, 0, 3);
  if (analysis) std::cout << ", R square " << FormatFixed(ws.RSquare, 0, 2);
  std::cout << ", output " << ChangeFileExt(dm.FileName, ".out") << "\n";
  if (!analysis) return;
  std::cout << CriteriaLine(FitCriteria(ws.RunMeas, ws.RunCalc, ws.AnaNrOfData)) << "\n";
  const std::string edge = AlphaEdgeWarning(ws.Alpha);
  if (!edge.empty()) std::cerr << edge << "\n";
}

std::vector<std::string> SplitAt(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) return parts;
    start = end + 1;
  }
}
