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
#include "files/filepaths.h"
#include "files/tableimport.h"
#include "graphs/quorellutils.h"
#include "model/dmquorell.h"
#include "sheet/fieldchecks.h"
#include "sheet/sheetseries.h"

namespace {

std::string OptionOr(const TArgs& args, const std::string& name, const std::string& otherwise) {
  const auto it = args.Options.find(name);
  return it == args.Options.end() ? otherwise : it->second;
}

// One of the words of an option; false with error set for any other.
template <typename TValue>
bool GetChoice(const TArgs& args, const std::string& name,
               const std::vector<std::pair<const char*, TValue>>& words, TValue& value,
               std::string& error) {
  const auto it = args.Options.find(name);
  if (it == args.Options.end()) return true;
  std::string list;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (it->second == words[i].first) {
      value = words[i].second;
      return true;
    }
    list += i == 0 ? "" : i + 1 == words.size() ? " or " : ", ";
    list += words[i].first;
  }
  error = name + " must be " + list;
  return false;
}

std::vector<std::string> SplitList(const std::string& text) {
  std::vector<std::string> parts;
  std::size_t start = 0;
  for (;;) {
    const auto comma = text.find(',', start);
    parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
    if (comma == std::string::npos) return parts;
    start = comma + 1;
  }
}

// The table options of the command line; false with error set (a usage
// error).
bool GetTableOptions(const TArgs& args, bool analysis, TTableImportOptions& o, std::string& error) {
  o.Determination = analysis;
  if (!GetChoice<TTableDelimiter>(args, "--delimiter",
                                  {{"auto", TTableDelimiter::Auto},
                                   {"comma", TTableDelimiter::Comma},
                                   {"semicolon", TTableDelimiter::Semicolon},
                                   {"tab", TTableDelimiter::Tab}},
                                  o.Delimiter, error) ||
      !GetChoice<TTableDecimal>(args, "--decimal",
                                {{"auto", TTableDecimal::Auto},
                                 {"point", TTableDecimal::Point},
                                 {"comma", TTableDecimal::Comma}},
                                o.Decimal, error) ||
      !GetChoice<TTableHeader>(args, "--header",
                               {{"auto", TTableHeader::Auto},
                                {"yes", TTableHeader::Yes},
                                {"no", TTableHeader::No}},
                               o.Header, error) ||
      !GetChoice<TTableTimeUnit>(args, "--time-unit",
                                 {{"day", TTableTimeUnit::Day}, {"hour", TTableTimeUnit::Hour}},
                                 o.TimeUnit, error) ||
      !GetInt(args, "--first-row", o.FirstRow, error) || !GetInt(args, "--rows", o.Rows, error) ||
      !GetInt(args, "--max-gap", o.MaxGap, error))
    return false;

  o.TimeColumn = TableColumnOf(OptionOr(args, "--time-column", ""));
  o.DateColumn = TableColumnOf(OptionOr(args, "--date-column", ""));
  o.RainColumn = TableColumnOf(OptionOr(args, "--rain-column", ""));
  o.RunoffColumn = TableColumnOf(OptionOr(args, "--runoff-column", ""));
  if (args.Options.count("--date-columns")) {
    for (const auto& part : SplitList(args.Options.at("--date-columns")))
      o.DateColumns.push_back(TableColumnOf(part));
    bool good = o.DateColumns.size() == 3;
    for (const auto& c : o.DateColumns) good = good && c.Chosen() && c.Number >= 0;
    if (!good) {
      error = "--date-columns takes three columns Y,M,D (numbers from 1 or header names)";
      return false;
    }
  }
  if (o.RainColumn.Number < 0 || !o.RainColumn.Chosen()) {
    error = "--rain-column N is needed (columns count from 1)";
    return false;
  }
  if (o.TimeColumn.Number < 0 || (args.Options.count("--time-column") && !o.TimeColumn.Chosen())) {
    error = "--time-column counts from 1";
    return false;
  }
  if (o.DateColumn.Number < 0 || (args.Options.count("--date-column") && !o.DateColumn.Chosen())) {
    error = "--date-column counts from 1";
    return false;
  }
  if (analysis && (o.RunoffColumn.Number < 0 || !o.RunoffColumn.Chosen())) {
    error = "--runoff-column N is needed to determine the model";
    return false;
  }
  const int sources = (o.TimeColumn.Chosen() ? 1 : 0) + (o.DateColumn.Chosen() ? 1 : 0) +
                      (o.DateColumns.empty() ? 0 : 1);
  if (sources > 1) {
    error = "give one of --time-column, --date-column and --date-columns";
    return false;
  }
  const bool dated = o.DateColumn.Chosen() || !o.DateColumns.empty();
  if (args.Options.count("--time-unit") && !dated) {
    error = "--time-unit goes with --date-column or --date-columns";
    return false;
  }
  if (o.FirstRow < 1) {
    error = "--first-row counts from 1";
    return false;
  }
  if (args.Options.count("--rows") && o.Rows < 1) {
    error = "--rows must be 1 or more";
    return false;
  }
  if (o.MaxGap < 0) {
    error = "--max-gap must be 0 or more";
    return false;
  }
  if (args.Options.count("--max-gap") && o.TimeColumn.Chosen()) {
    error = "--max-gap does not go with --time-column (there a row with a missing value is left "
            "out)";
    return false;
  }
  o.From = OptionOr(args, "--from", "");
  o.To = OptionOr(args, "--to", "");
  for (const char* name : {"--from", "--to"}) {
    if (!args.Options.count(name)) continue;
    const std::string why = CheckPeriodBound(args.Options.at(name), dated);
    if (!why.empty()) {
      error = std::string(name) + ": " + why;
      return false;
    }
  }
  if (args.Options.count("--missing")) {
    o.Missing.clear();
    for (const auto& code : SplitList(args.Options.at("--missing")))
      if (!code.empty()) o.Missing.push_back(code);
  }
  return true;
}

}  // namespace

int ImportCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv,
                          {"-o", "--option", "--time-column", "--rain-column", "--runoff-column",
                           "--date-column", "--date-columns", "--time-unit", "--delimiter",
                           "--decimal", "--header", "--from", "--to", "--missing", "--max-gap",
                           "--first-row", "--rows", "--max-storage", "--initial-storage",
                           "--max-escape", "--reservoirs", "--alpha", "--initial-runoff",
                           "--title1", "--title2"},
                          {"--force"}, error);
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
  if (!GetTableOptions(args, analysis, table, error) ||
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
  if (!read.Ok()) {
    std::cerr << read.Error << "\n";
    return ExitFailed;
  }
  const int limit = analysis ? 1500 : PredCapacity;
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
