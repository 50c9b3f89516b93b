// tolvane-batch validate: a fitted model judged on a record it was not
// fitted to, by the determination's reconstruction without its search.
#include "batch/validatecmd.h"

#include <charconv>
#include <filesystem>
#include <iostream>

#include "base/numformat.h"
#include "batch/commands.h"
#include "batch/plots.h"
#include "batch/tableargs.h"
#include "batch/validateplot.h"
#include "files/filepaths.h"
#include "files/tableimport.h"

namespace {

const char* const RunoffNeeded =
    "--runoff-column N is needed: validate compares the measured runoff of DATA with the "
    "calculated";

std::string Points(std::size_t n, const char* one = "point", const char* many = "points") {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

std::string ModelLine(const TFittedModel& model, const TValidation& v, const std::string& source) {
  std::string line = "model: reservoirs " + std::to_string(model.NrOfRes) + ", alpha " +
                     FormatFixed(model.Alpha, 0, 3) + ", maximum storage " +
                     FormatGeneral(v.Store.MaxSto, '.') + " mm, initial storage " +
                     FormatGeneral(v.Store.IniSto, '.') + " mm";
  if (model.Store.IniSto != v.Store.IniSto) line += " (0 in the file: a tenth of the maximum)";
  line += ", escape rate " + FormatGeneral(v.Store.MaxEsc, '.') + " mm per time unit";
  const TExtensions& e = model.Extensions;
  if (e.Evaporation)
    line += " at the mean potential evaporation " + FormatGeneral(e.PetMean, '.') +
            " mm per time unit";
  if (e.SlowPath)
    line += ", slow path: share " + FormatGeneral(e.BaseShare, '.') + ", alpha " +
            FormatGeneral(e.BaseAlpha, '.');
  return line + ", from " + source;
}

// "1986-01-01 to 1987-12-31", or "times 1 to 730", of points first..last (0-based).
std::string Span(const TValidationData& data, std::size_t first, std::size_t last) {
  if (data.Dates)
    return data.Dates->DateOf(data.Times[first]) + " to " + data.Dates->DateOf(data.Times[last]);
  return "times " + FormatGeneral(data.Times[first], '.') + " to " +
         FormatGeneral(data.Times[last], '.');
}

std::string DataLine(const TValidationData& data, int warmUp) {
  const std::size_t n = data.Times.size();
  std::string line = "data: " + Points(n) + " of " + data.Path;
  if (data.LeftOut > 0)
    line += " (" + Points(static_cast<std::size_t>(data.LeftOut), "row", "rows") +
            " with a missing value left out)";
  line += ", " + Span(data, 0, n - 1) + "; ";
  if (warmUp == 0) return line + "no warm-up, criteria over all " + Points(n);
  const auto first = static_cast<std::size_t>(warmUp);
  return line + "warm-up " + Points(first) + ", criteria over points " +
         std::to_string(first + 1) + " to " + std::to_string(n) + " (" + Span(data, first, n - 1) +
         ")";
}

}  // namespace

std::string ValidationTable(const TValidationData& data, const TValidation& v) {
  std::string out;
  const bool slow = !v.Slow.empty();
  AppendLine(out, std::string(data.Dates ? "date," : "") +
                      "time,rain,recharge,measured,calculated" + (slow ? ",quick,slow" : ""));
  // Straight into one text: 100 000 rows are half a million numbers.
  out.reserve(out.size() + data.Times.size() * 96);
  char number[32];
  for (std::size_t i = 0; i < data.Times.size(); ++i) {
    if (data.Dates) out += data.Dates->DateOf(data.Times[i]) + ",";
    for (double value : {data.Times[i], data.Rains[i], v.Recharge[i], v.Measured[i],
                         v.Calculated[i]}) {
      const auto end = std::to_chars(number, number + sizeof number, value).ptr;
      out.append(number, end);
      out += ',';
    }
    if (slow)
      for (double value : {v.Quick[i], v.Slow[i]}) {
        const auto end = std::to_chars(number, number + sizeof number, value).ptr;
        out.append(number, end);
        out += ',';
      }
    out.back() = '\r';
    out += '\n';
  }
  return out;
}

bool CheckDataOptions(const TArgs& args, std::string& error) {
  if (!HasTableOptions(args)) return true;
  TTableImportOptions options;
  return GetTableOptions(args, true, RunoffNeeded, options, error);
}

bool GetWarmUp(const TArgs& args, int& warmUp, std::string& error) {
  warmUp = 0;
  if (!GetInt(args, "--warm-up", warmUp, error)) return false;
  if (warmUp >= 0) return true;
  error = "--warm-up must be 0 or more";
  return false;
}

std::string TValidationData::First() const {
  if (Times.empty()) return "";
  return Dates ? Dates->DateOf(Times.front()) : FormatGeneral(Times.front(), '.');
}

std::string TValidationData::Last() const {
  if (Times.empty()) return "";
  return Dates ? Dates->DateOf(Times.back()) : FormatGeneral(Times.back(), '.');
}

std::string TValidationData::TimeUnit() const {
  if (!Dates) return "";
  return Dates->UnitSeconds == SecondsPerHour ? "hour" : "day";
}

int ReadValidationData(const TArgs& args, const std::string& path, TValidationData& data,
                       const TPeriod& period, const char* command,
                       const std::string& petColumn, std::ostream& err) {
  data.Path = AbsolutePath(path);
  auto bytes = ReadWholeFile(data.Path);
  if (!bytes) {
    err << data.Path << ": cannot be opened\n";
    return ExitUsage;
  }
  if (IsInputFile(*bytes) || !HasTableOptions(args)) {
    TRecordFile file = ReadRecordFile(data.Path);
    if (!file.Error.empty()) {
      err << file.Error << "\n";
      return file.CannotOpen ? ExitUsage : ExitFailed;
    }
    data.InputFile = true;
    data.Bytes = std::move(*bytes);
    data.Title1 = file.Title1;
    data.Title2 = file.Title2;
    data.Times = std::move(file.Times);
    data.Rains = std::move(file.Rains);
    data.Runoffs = std::move(file.Runoffs);
    data.Dates = RecordDatesOf(file.Title2);
    return ExitOk;
  }
  TTableImportOptions options;
  std::string error;
  if (!GetTableOptions(args, true, RunoffNeeded, options, error)) return UsageError(error);
  if (!options.PetColumn.Chosen() && !petColumn.empty())
    options.PetColumn = TableColumnOf(petColumn);
  if (!period.From.empty()) options.From = period.From;
  if (!period.To.empty()) options.To = period.To;
  options.FileName = path;
  TTableImport read = ImportTable(*bytes, options);
  for (const auto& note : read.Notes) err << note << "\n";
  if (!read.Ok()) {
    err << read.Error << "\n";
    return ExitFailed;
  }
  if (read.Selected > ValidationCapacity) {
    err << path << ": " << read.Selected << " rows selected";
    if (read.Dated) err << " (" << read.FirstDate << " to " << read.LastDate << ")";
    err << "; " << command << " takes at most " << ValidationCapacity
        << " (choose them with --first-row and --rows, or --from and --to)\n";
    return ExitFailed;
  }
  if (const std::string fault = FirstSeriesFault(read, path); !fault.empty()) {
    err << fault << "\n";
    return ExitFailed;
  }
  for (const auto& value : read.Interpolated)
    err << path << ":" << value.Line << ": " << value.When
        << ": runoff interpolated: " << FormatGeneral(value.Runoff, '.') << "\n";
  for (const auto& value : read.PetInterpolated)
    err << path << ":" << value.Line << ": " << value.When
        << ": potential evaporation interpolated: " << FormatGeneral(value.Runoff, '.') << "\n";
  data.Pets = std::move(read.Pets);
  if (options.PetColumn.Chosen())
    data.PetColumn = OptionOr(args, "--pet-column", petColumn);
  data.Times = std::move(read.Times);
  data.Rains = std::move(read.Rains);
  data.Runoffs = std::move(read.Runoffs);
  data.Title1 = std::filesystem::path(path).filename().string();
  data.Title2 = read.Title2;
  if (read.Dated) data.Dates = RecordDatesOf(read.Title2);
  data.LeftOut = read.LeftOut;
  return ExitOk;
}

std::string ValidateOn(const TFittedModel& model, const TValidationData& data, int warmUp,
                       TValidation& v) {
  if (model.Extensions.Evaporation && data.Pets.empty())
    return data.Path + ": the model's escape follows the potential evaporation: give DATA as a "
                       "table with --pet-column N|NAME";
  v = Validate(model, {data.Times, data.Rains, data.Runoffs, data.Pets}, warmUp);
  return v.Ok() ? "" : v.Error;
}

int ReportValidation(const TFittedModel& model, const std::string& source,
                     const TValidationData& data, int warmUp, const std::string& tablePath,
                     const std::string& plotPath) {
  TValidation v;
  if (const std::string why = ValidateOn(model, data, warmUp, v); !why.empty()) {
    std::cerr << why << "\n";
    return ExitFailed;
  }
  for (const auto& warning : v.Warnings) std::cerr << warning << "\n";
  std::cout << ModelLine(model, v, source) << "\n"
            << DataLine(data, warmUp) << "\n"
            << RoundedCriteriaLine(v.Fit) << "\n"
            << CriteriaLine(v.Fit) << "\n";
  std::string error;
  if (!tablePath.empty()) {
    if (!WriteFileAtomically(tablePath, ValidationTable(data, v), &error)) {
      std::cerr << "The file \"" << tablePath << "\" could not be written: " << error << "\n";
      return ExitFailed;
    }
    std::cout << "table: " << tablePath << ", " << Points(data.Times.size(), "row", "rows") << "\n";
  }
  if (!plotPath.empty()) {
    if (!SaveCharts({{ValidationChart(data, v), plotPath}}, error)) {
      std::cerr << error << "\n";
      return ExitFailed;
    }
    std::cout << "picture: " << plotPath << "\n";
  }
  return ExitOk;
}

int ValidateCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("validate"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 2)
    return UsageError("validate takes a fitted model FITTED (a determination's .inp or .out) and "
                      "the record DATA to judge it on");
  int warmUp = 0;
  if (!GetWarmUp(args, warmUp, error) || !CheckDataOptions(args, error)) return UsageError(error);
  if (args.Options.count("--plot") && !IsChartPath(args.Options.at("--plot")))
    return UsageError("the picture \"" + args.Options.at("--plot") + "\" must end in .png or .svg");

  const std::string fittedPath = AbsolutePath(args.Positional[0]);
  const TFittedFile fitted = ReadFittedModel(fittedPath);
  if (!fitted.Error.empty()) {
    std::cerr << fitted.Error << "\n";
    return fitted.CannotOpen ? ExitUsage : ExitFailed;
  }
  for (const auto& note : fitted.Notes) std::cerr << note << "\n";
  if (args.Options.count("--pet-column") && !fitted.Model.Extensions.Evaporation)
    std::cerr << fittedPath
              << ": the model's escape does not follow the evaporation; --pet-column is not "
                 "used\n";
  TValidationData data;
  if (const int status = ReadValidationData(args, args.Positional[1], data, {}, "validate",
                                            fitted.PetColumn);
      status != ExitOk)
    return status;
  const std::string source =
      (fitted.OutputFile ? "the head of " : "the determination of ") + fittedPath;
  const std::string table = args.Options.count("--table") ? AbsolutePath(args.Options.at("--table"))
                                                          : "";
  const std::string plot = args.Options.count("--plot") ? AbsolutePath(args.Options.at("--plot")) : "";
  return ReportValidation(fitted.Model, source, data, warmUp, table, plot);
}
