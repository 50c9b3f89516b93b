#include "batch/batchargs.h"

#include <charconv>
#include <filesystem>
#include <iostream>

#include "files/filepaths.h"
#include "files/numformat.h"
#include "files/textreader.h"
#include "model/criteria.h"
#include "model/dmquorell.h"
#include "model/runwarnings.h"

namespace {

const char* const Usage =
    "usage:\n"
    "  tolvane-batch import DATA.csv -o FILE.inp --option determine|predict\n"
    "      [--time-column N] --rain-column N [--runoff-column N] [--first-row N] [--rows N]\n"
    "      --max-storage X --initial-storage X --max-escape X\n"
    "      [--reservoirs N --alpha X --initial-runoff X] [--title1 TEXT] [--title2 TEXT] [--force]\n"
    "  tolvane-batch run FILE.inp\n"
    "  tolvane-batch calibrate FILE.inp -o BEST.inp [--objective rsquare|nse|kge]\n"
    "      [--max-storage LO:HI] [--force]\n"
    "  tolvane-batch graph FILE.out --kind 1|2|3|4|7 -o GRAPH.bmp\n";

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

const char* UsageText() { return Usage; }

int UsageError(const std::string& text) {
  std::cerr << "tolvane-batch: " << text << "\n" << Usage;
  return ExitUsage;
}

std::optional<TArgs> ParseArgs(int argc, char** argv, const std::vector<std::string>& valued,
                               std::string& error) {
  TArgs args;
  for (int i = 2; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--force") {
      args.Force = true;
    } else if (a.size() > 1 && a[0] == '-') {
      bool known = false;
      for (const auto& v : valued) known = known || v == a;
      if (!known) {
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

std::string FullPrecision(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void PrintRunSummary(const TDMQuorell& dm, bool analysis) {
  const auto& ws = AnalysisWorkspace;
  const auto& pred = PredictionWorkspace;
  const std::string escape =
      analysis ? EscapeWarning(ws.AnaMaxSto, ws.AnaMaxEsc, ws.Time, ws.AnaNrOfData)
               : EscapeWarning(pred.PredMaxSto, pred.PredMaxEsc, pred.PredTime, pred.PredNrOfData);
  if (!escape.empty()) std::cerr << escape << "\n";
  std::cout << "reservoirs " << ws.NrOfRes << ", alpha " << FormatFixed(ws.Alpha, 0, 3);
  if (analysis) std::cout << ", R square " << FormatFixed(ws.RSquare, 0, 2);
  std::cout << ", output " << ChangeFileExt(dm.FileName, ".out") << "\n";
  if (!analysis) return;
  const TFitCriteria fit = FitCriteria(ws.RunMeas, ws.RunCalc, ws.AnaNrOfData);
  std::cout << "R square " << FullPrecision(fit.RSquare) << ", NSE " << FullPrecision(fit.Nse)
            << ", KGE " << FullPrecision(fit.Kge) << "\n";
  const std::string edge = AlphaEdgeWarning(ws.Alpha);
  if (!edge.empty()) std::cerr << edge << "\n";
}
