// tolvane-batch import: a table of a spreadsheet turned into an input file,
// through the checks of the input sheet's fields.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "batch/batchargs.h"
#include "batch/commands.h"
#include "batch/consoledialogs.h"
#include "batch/csvimport.h"
#include "graphs/quorellutils.h"
#include "model/dmquorell.h"
#include "sheet/fieldchecks.h"
#include "sheet/sheetseries.h"

int ImportCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv,
                          {"-o", "--option", "--time-column", "--rain-column", "--runoff-column",
                           "--first-row", "--rows", "--max-storage", "--initial-storage",
                           "--max-escape", "--reservoirs", "--alpha", "--initial-runoff",
                           "--title1", "--title2"},
                          {"--force"}, error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1) return UsageError("import takes one table DATA.csv");
  if (!args.Options.count("-o")) return UsageError("import needs -o FILE.inp");
  const std::string option = args.Options.count("--option") ? args.Options.at("--option") : "";
  if (option != "determine" && option != "predict")
    return UsageError("--option must be determine or predict");
  const bool analysis = option == "determine";

  TCsvImportSpec spec;
  int reservoirs = 0;
  std::optional<double> maxSto, iniSto, maxEsc, alpha, runIni;
  if (!GetInt(args, "--time-column", spec.TimeColumn, error) ||
      !GetInt(args, "--rain-column", spec.RainColumn, error) ||
      !GetInt(args, "--runoff-column", spec.RunoffColumn, error) ||
      !GetInt(args, "--first-row", spec.FirstRow, error) ||
      !GetInt(args, "--rows", spec.Rows, error) ||
      !GetInt(args, "--reservoirs", reservoirs, error) ||
      !GetReal(args, "--max-storage", maxSto, error) ||
      !GetReal(args, "--initial-storage", iniSto, error) ||
      !GetReal(args, "--max-escape", maxEsc, error) || !GetReal(args, "--alpha", alpha, error) ||
      !GetReal(args, "--initial-runoff", runIni, error))
    return UsageError(error);
  if (spec.RainColumn < 1) return UsageError("--rain-column N is needed (columns count from 1)");
  if (args.Options.count("--time-column") && spec.TimeColumn < 1)
    return UsageError("--time-column counts from 1");
  if (analysis && spec.RunoffColumn < 1)
    return UsageError("--runoff-column N is needed to determine the model");
  if (!analysis) spec.RunoffColumn = 0;
  if (spec.FirstRow < 1) return UsageError("--first-row counts from 1");
  if (args.Options.count("--rows") && spec.Rows < 1) return UsageError("--rows must be 1 or more");
  if (!maxSto || !iniSto || !maxEsc)
    return UsageError("--max-storage, --initial-storage and --max-escape are needed");
  if (!analysis) {
    if (!alpha || !runIni || !args.Options.count("--reservoirs"))
      return UsageError("a prediction needs --reservoirs, --alpha and --initial-runoff");
    if (reservoirs < 1 || reservoirs > MaxReservoirs)
      return UsageError("--reservoirs must be 1 to 5");
  }
  // The checks of the input sheet's fields: what the sheet would answer
  // with a message is refused. (The sheet also holds the escape rate to a
  // tenth of the maximum storage without a word; the values given here are
  // taken as they are.)
  const std::string& maxStoText = args.Options.at("--max-storage");
  std::vector<std::pair<TSheetField, const char*>> fields = {
      {TSheetField::MaxStorage, "--max-storage"},
      {TSheetField::InitialStorage, "--initial-storage"},
      {TSheetField::EscapeRate, "--max-escape"}};
  if (!analysis) fields.push_back({TSheetField::InitialRunoff, "--initial-runoff"});
  for (const auto& [field, name] : fields) {
    const TFieldCheck check = CheckField(field, args.Options.at(name), maxStoText, '.');
    if (!check.Messages.empty()) return UsageError(check.Messages.front());
  }

  const std::string csvPath = args.Positional[0];
  const std::string outPath = AbsolutePath(args.Options.at("-o"));
  std::error_code ec;
  if (std::filesystem::exists(outPath, ec) && !args.Has("--force")) {
    std::cerr << outPath << ": exists already; give --force to replace it\n";
    return ExitFailed;
  }
  std::vector<TCsvRow> rows;
  if (!ReadCsvRows(csvPath, spec, rows, error)) {
    std::cerr << error << "\n";
    return ExitFailed;
  }
  const int limit = analysis ? 1500 : PredCapacity;
  if (static_cast<int>(rows.size()) > limit) {
    std::cerr << csvPath << ": " << rows.size() << " rows selected; "
              << (analysis ? "the model determination" : "the prediction") << " takes at most "
              << limit << " (choose them with --first-row and --rows)\n";
    return ExitFailed;
  }

  TConsoleDialogs dialogs;
  TDMQuorell dm(TDMQuorell::TModuleWorkspaces{});
  dm.SetDialogs(&dialogs);
  dm.IsAnalysis = analysis;
  dm.RunTag = RunTagFor(analysis);
  dm.Title1 = args.Options.count("--title1") ? args.Options.at("--title1") : "";
  dm.Title2 = args.Options.count("--title2") ? args.Options.at("--title2") : "";
  dm.MaxSto = *maxSto;
  dm.IniSto = *iniSto;
  dm.MaxEsc = *maxEsc;
  if (!analysis) {
    dm.RunIni = *runIni;
    dm.Acoeff = *alpha;
    dm.Analysis().Alpha = *alpha;
    dm.Analysis().NrOfRes = reservoirs;
  }
  // The write layout of Save/Run: row k of the table in element k.
  const int n = static_cast<int>(rows.size());
  PrepareWriteLayout(dm, n);
  int kept = 0;
  for (int k = 1; k <= n; ++k) {
    const auto& row = rows[k - 1];
    StoreWriteRow(dm, k, row.Time, row.Rain, row.Runoff, row.Complete);
    kept += row.Complete ? 1 : 0;
  }
  if (!CheckSeries(dm, n)) {
    std::cerr << "The input data were not saved due to input errors like negative values or a "
                 "non-sequential time series\n";
    return ExitFailed;
  }
  dm.FileName = outPath;
  dm.NrOfData = n;
  if (!dm.WriteInputFile()) return ExitFailed;
  std::cout << outPath << ": " << kept << " points";
  if (kept < n) std::cout << " (" << (n - kept) << " rows with an empty cell left out)";
  std::cout << "\n";
  return ExitOk;
}

