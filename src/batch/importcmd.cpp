// tolvane-batch import: a table of a spreadsheet turned into an input file,
// through the checks of the input sheet's fields. The table itself is read
// by the files layer's reader, which the window's import shares.
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "base/numformat.h"
#include "batch/batchargs.h"
#include "batch/commands.h"
#include "batch/consoledialogs.h"
#include "batch/tableargs.h"
#include "files/filepaths.h"
#include "files/tableimport.h"
#include "graphs/quorellutils.h"
#include "model/dmquorell.h"
#include "sheet/fieldchecks.h"
#include "sheet/sheetseries.h"

int ImportCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("import"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1) return UsageError("import takes one table DATA.csv");
  if (!args.Options.count("-o")) return UsageError("import needs -o FILE.inp");
  const std::string option = OptionOr(args, "--option", "");
  if (option != "determine" && option != "predict")
    return UsageError("--option must be determine or predict");
  const bool analysis = option == "determine";

  TTableImportOptions table;
  int reservoirs = 0;
  std::optional<double> maxSto, iniSto, maxEsc, alpha, runIni;
  if (!GetTableOptions(args, analysis,
                       analysis ? "--runoff-column N is needed to determine the model" : "", table,
                       error) ||
      !GetInt(args, "--reservoirs", reservoirs, error) ||
      !GetReal(args, "--max-storage", maxSto, error) ||
      !GetReal(args, "--initial-storage", iniSto, error) ||
      !GetReal(args, "--max-escape", maxEsc, error) || !GetReal(args, "--alpha", alpha, error) ||
      !GetReal(args, "--initial-runoff", runIni, error))
    return UsageError(error);
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
  const auto bytes = ReadWholeFile(csvPath);
  if (!bytes) {
    std::cerr << csvPath << ": cannot be opened\n";
    return ExitFailed;
  }
  table.FileName = csvPath;
  const TTableImport read = ImportTable(*bytes, table);
  for (const auto& note : read.Notes) std::cerr << note << "\n";
  if (read.Ok() && read.PetColumn != 0)
    std::cerr << csvPath
              << ": an input file holds no potential evaporation; the PET column is checked, "
                 "not written (calibrate and validate read it from the table)\n";
  if (!read.Ok()) {
    std::cerr << read.Error << "\n";
    return ExitFailed;
  }
  const int limit = SheetCapacity(analysis);
  if (read.Selected > limit) {
    std::cerr << csvPath << ": " << read.Selected << " rows selected";
    if (read.Dated) std::cerr << " (" << read.FirstDate << " to " << read.LastDate << ")";
    std::cerr << "; " << (analysis ? "the model determination" : "the prediction")
              << " takes at most " << limit
              << " (choose them with --first-row and --rows, or --from and --to)\n";
    return ExitFailed;
  }
  TConsoleDialogs dialogs;
  TDMQuorell dm(TDMQuorell::TModuleWorkspaces{});
  dm.SetDialogs(&dialogs);
  dm.IsAnalysis = analysis;
  dm.RunTag = RunTagFor(analysis);
  dm.Title1 = OptionOr(args, "--title1", "");
  dm.Title2 = OptionOr(args, "--title2", read.Title2);
  dm.MaxSto = *maxSto;
  dm.IniSto = *iniSto;
  dm.MaxEsc = *maxEsc;
  if (!analysis) {
    dm.RunIni = *runIni;
    dm.Acoeff = *alpha;
    dm.Analysis().Alpha = *alpha;
    dm.Analysis().NrOfRes = reservoirs;
  }
  // The write layout of Save/Run: point k in element k.
  const int n = static_cast<int>(read.Times.size());
  PrepareWriteLayout(dm, n);
  for (int k = 1; k <= n; ++k) {
    const auto i = static_cast<std::size_t>(k - 1);
    StoreWriteRow(dm, k, read.Times[i], read.Rains[i], read.Runoffs[i], true);
  }
  if (!CheckSeries(dm, n)) {
    const std::string fault = FirstSeriesFault(read, csvPath);
    if (!fault.empty()) std::cerr << fault << "\n";
    std::cerr << "The input data were not saved due to input errors like negative values or a "
                 "non-sequential time series\n";
    return ExitFailed;
  }
  for (const auto& value : read.Interpolated)
    std::cerr << csvPath << ":" << value.Line << ": " << value.When
              << ": runoff interpolated: " << FormatGeneral(value.Runoff, '.') << "\n";
  dm.FileName = outPath;
  dm.NrOfData = n;
  if (!dm.WriteInputFile()) return ExitFailed;
  std::cout << read.Summary << "\n" << outPath << ": " << n << " points";
  if (read.LeftOut > 0)
    std::cout << " (" << read.LeftOut << (read.LeftOut == 1 ? " row" : " rows")
              << " with a missing value left out)";
  if (!read.Interpolated.empty())
    std::cout << " (" << read.Interpolated.size() << " runoff "
              << (read.Interpolated.size() == 1 ? "value" : "values") << " interpolated)";
  std::cout << "\n";
  return ExitOk;
}
