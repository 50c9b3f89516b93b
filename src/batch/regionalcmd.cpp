// tolvane-batch regional: calibrate and validate every catchment of a
// manifest, in parallel, each into a folder of its own, and a summary row
// for each. A catchment's summary-row.csv is written last: it is what says
// that its results are complete, so a run killed half-way and started
// again goes on where it stopped.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <mutex>
#include <sstream>
#include <thread>

#include "base/numformat.h"
#include "batch/calibraterun.h"
#include "batch/commands.h"
#include "batch/fitoptions.h"
#include "batch/regional.h"
#include "batch/plots.h"
#include "batch/regionalplots.h"
#include "batch/tableargs.h"
#include "files/filepaths.h"
#include "model/validation.h"
#include "model/workpool.h"

namespace fs = std::filesystem;

namespace {

const char* const RowFile = "summary-row.csv";
const char* const SettingsFile = "settings.txt";

using TClock = std::chrono::steady_clock;

// "1 catchment", "2 catchments"
std::string Count(std::size_t n, const std::string& word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

bool Write(const fs::path& path, const std::string& bytes, std::string& error) {
  std::string why;
  if (WriteFileAtomically(path.string(), bytes, &why)) return true;
  error = "the file \"" + path.string() + "\" could not be written: " + why;
  return false;
}

// The last line said, the one that tells why a catchment was not taken.
std::string LastLine(const std::string& text) {
  auto end = text.find_last_not_of("\r\n");
  if (end == std::string::npos) return "";
  const auto start = text.rfind('\n', end);
  return text.substr(start == std::string::npos ? 0 : start + 1,
                     end + 1 - (start == std::string::npos ? 0 : start + 1));
}

// The settings of a catchment's run, from its manifest row; a bad cell
// refuses that catchment alone.
struct TRunSettings {
  TArgs Args;  // the table options, --warm-up, --pet-column
  TObjective Objective = TObjective::RSquare;
  TCalibrationBounds Bounds;
  int WarmUp = 0;
  bool SlowPath = false;
};

std::string GetSettings(const TCatchment& c, TRunSettings& s) {
  s.Args = c.Args;
  auto& options = s.Args.Options;
  if (auto it = options.find("slow_path"); it != options.end()) {
    if (it->second != "yes" && it->second != "no") return "slow_path must be yes or no";
    s.SlowPath = it->second == "yes";
    options.erase(it);
  }
  if (auto it = options.find("--objective"); it != options.end()) {
    const auto given = ParseObjective(it->second);
    if (!given) return "objective must be " + ObjectiveChoices();
    s.Objective = *given;
    options.erase(it);
  }
  if (auto it = options.find("--max-storage"); it != options.end()) {
    const auto given = ParseRange(it->second);
    if (!given) return "max_storage takes a range LO:HI in mm, such as 1:500";
    if (const std::string why = CheckCalibrationBounds(*given); !why.empty())
      return "max_storage " + it->second + ": " + why;
    s.Bounds = *given;
    options.erase(it);
  }
  std::string error;
  if (!GetWarmUp(s.Args, s.WarmUp, error) || !CheckDataOptions(s.Args, error))
    return InManifestWords(error);
  if (!HasTableOptions(s.Args)) return "rain_column and runoff_column are needed";
  const bool dated = options.count("--date-column") || options.count("--date-columns");
  const std::pair<const char*, const std::string*> bounds[] = {
      {"calibrate_from", &c.Calibration.From}, {"calibrate_to", &c.Calibration.To},
      {"validate_from", &c.Validation.From}, {"validate_to", &c.Validation.To}};
  for (const auto& [column, bound] : bounds)
    if (!bound->empty())
      if (const std::string why = CheckPeriodBound(*bound, dated); !why.empty())
        return std::string(column) + ": " + why;
  return "";
}

// Calibrates and validates one catchment into folder; the row says how it went.
TSummaryRow RunCatchment(const TCatchment& c, const fs::path& folder, std::ostringstream& log) {
  const auto started = TClock::now();
  TSummaryRow row;
  row.Id = c.Id;
  row.Status = "refused";
  auto done = [&](const std::string& message) {
    row.Message = message;
    row.Seconds = std::chrono::duration<double>(TClock::now() - started).count();
    return row;
  };
  TRunSettings s;
  if (const std::string why = GetSettings(c, s); !why.empty()) return done(why);

  TValidationData data, next;
  if (ReadValidationData(s.Args, c.Data, data, c.Calibration, "regional", "", log) != ExitOk)
    return done(InManifestWords(LastLine(log.str())));
  if (data.InputFile)
    return done(c.Data + ": is an input file; regional takes tables, read with the table columns");
  const TStoreParameters own{s.Bounds.MaxStoHigh, s.Bounds.MaxStoHigh, 0};
  std::string why = s.Args.Options.count("--pet-column") ? EvaporationFault(data) : "";
  if (why.empty()) why = RecordFault(data, own, s.WarmUp);
  if (!why.empty()) return done(InManifestWords(why));
  if (ReadValidationData(s.Args, c.Data, next, c.Validation, "regional", "", log) != ExitOk)
    return done(InManifestWords(LastLine(log.str())));
  if (const std::string bad = CheckValidationRecord({next.Times, next.Rains, next.Runoffs}, s.WarmUp);
      !bad.empty())
    return done(next.Path + ": " + bad);

  row.Status = "failed";
  TCalibrationSettings settings;
  settings.Objective = s.Objective;
  settings.Bounds = s.Bounds;
  settings.WarmUp = s.WarmUp;
  settings.SlowPath = s.SlowPath;
  settings.Pet = data.Pets;
  // The catchments share the cores: each search on its own thread.
  TCalibration calibration(data.View(), settings, nullptr);
  const TCalibrationPoint best = calibration.Search();
  if (!best.Valid)
    return done("No parameters within the bounds give a fit: every sum of squares overflows");
  row.Fitted = true;
  row.Best = best;
  row.CalPoints = static_cast<int>(data.Times.size());
  std::string error;
  if (!Write(folder / "model.json", FormatModelFile(ModelFileOf(best, s.Objective, s.WarmUp, data)),
             error))
    return done(error);
  TValidation v;
  if (const std::string bad =
          ValidateOn({best.Store, best.NrOfRes, best.Alpha, best.Extensions}, next, s.WarmUp, v);
      !bad.empty())
    return done(bad);
  // An ok row still says what the validation warns of (alpha on its edge).
  std::string warnings;
  for (const auto& warning : v.Warnings) {
    log << warning << "\n";
    warnings += (warnings.empty() ? "" : "; ") + warning;
  }
  if (!Write(folder / "validation.csv", ValidationTable(next, v), error)) return done(error);
  row.Validated = true;
  row.Validation = v.Fit;
  row.ValPoints = static_cast<int>(next.Times.size());
  row.Status = "ok";
  return done(warnings);
}

// The manifest row's cells and the data file's size and time: results of
// other settings or of data changed since are made again.
std::string SettingsOf(const TCatchment& c) {
  std::error_code ec;
  const auto bytes = fs::file_size(c.Data, ec);
  const auto time = fs::last_write_time(c.Data, ec).time_since_epoch().count();
  return c.Settings + "data_bytes=" + std::to_string(ec ? 0 : bytes) +
         "\ndata_time=" + std::to_string(ec ? 0 : time) + "\n";
}

// The row of a catchment whose results are complete and were made with
// these settings; empty otherwise.
std::optional<std::string> CompleteRow(const TCatchment& c, const fs::path& folder) {
  const auto settings = ReadWholeFile((folder / SettingsFile).string());
  const auto row = ReadWholeFile((folder / RowFile).string());
  if (!settings || *settings != SettingsOf(c) || !row) return std::nullopt;
  const auto lines = SplitAt(*row, '\n');
  if (lines.size() < 2 || lines[0] != SummaryHeader()) return std::nullopt;
  const auto cells = SplitCsvLine(lines[1]);
  if (cells.size() < 2 || cells[0] != c.Id || cells[1] != "ok") return std::nullopt;
  if (!FileExists((folder / "model.json").string()) ||
      !FileExists((folder / "validation.csv").string()))
    return std::nullopt;
  return lines[1];
}

// The temporary files of writes a kill broke off: "model.json.Ab12Cd".
void RemoveBrokenWrites(const fs::path& folder, const std::vector<std::string>& names) {
  std::error_code ec;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const std::string name = it->path().filename().string();
    for (const auto& target : names)
      if (name.size() == target.size() + 7 && name.starts_with(target + "."))
        fs::remove(it->path(), ec);
  }
}

// On a terminal one line rewritten: done, failed, the time left; plain
// lines a catchment otherwise.
class TRegionalProgress {
public:
  TRegionalProgress(std::size_t total, std::size_t skipped)
      : Total(total), Done(skipped), Terminal(isatty(STDERR_FILENO) == 1),
        Started(TClock::now()) {}
  ~TRegionalProgress() {
    if (Terminal && Done > 0) std::cerr << "\r\033[K" << std::flush;
  }
  void Finished(const TSummaryRow& row) {
    std::lock_guard<std::mutex> hold(Lock);
    ++Done;
    ++Run;
    if (row.Status != "ok") ++Failed;
    const double spent = std::chrono::duration<double>(TClock::now() - Started).count();
    const double left = spent / static_cast<double>(Run) * static_cast<double>(Total - Done);
    std::string text = std::to_string(Done) + "/" + std::to_string(Total) + " done, " +
                       std::to_string(Failed) + " not ok, about " + Duration(left) + " left";
    if (Terminal) {
      std::cerr << "\r\033[K" << text << std::flush;
      return;
    }
    std::cerr << row.Id << ": " << row.Status << " in " << FormatFixed(row.Seconds, 0, 1) << " s"
              << (row.Message.empty() ? "" : ": " + row.Message) << " (" << text << ")\n";
  }

private:
  static std::string Duration(double seconds) {
    if (seconds < 90) return std::to_string(static_cast<int>(seconds + 0.5)) + " s";
    if (seconds < 5400) return std::to_string(static_cast<int>(seconds / 60 + 0.5)) + " min";
    return FormatFixed(seconds / 3600, 0, 1) + " h";
  }
  std::mutex Lock;
  std::size_t Total, Done, Run = 0, Failed = 0;
  bool Terminal;
  TClock::time_point Started;
};

}  // namespace

int RegionalCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("regional"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1) return UsageError("regional takes one MANIFEST.csv");
  int jobs = 0;
  if (!GetInt(args, "--jobs", jobs, error)) return UsageError(error);
  if (args.Options.count("--jobs") && jobs < 1) return UsageError("--jobs must be 1 or more");
  if (const std::string why = PlotFormatFault(args); !why.empty()) return UsageError(why);
  std::pair<int, int> shard{1, 1};
  if (args.Options.count("--shard")) {
    const auto given = ParseShard(args.Options.at("--shard"));
    if (!given) return UsageError("--shard takes I/N, 1 <= I <= N, such as 2/8");
    shard = *given;
  }
  const TManifest manifest = ReadManifest(AbsolutePath(args.Positional[0]));
  if (!manifest.Error.empty()) {
    std::cerr << manifest.Error << "\n";
    return ExitUsage;
  }
  const fs::path out = AbsolutePath(args.Options.at("-o"));
  std::error_code ec;
  fs::create_directories(out, ec);
  if (!fs::is_directory(out, ec)) {
    std::cerr << out.string() << ": is no folder and cannot be made one\n";
    return ExitFailed;
  }

  // This shard's catchments, in the manifest's order.
  std::vector<const TCatchment*> mine;
  for (std::size_t i = static_cast<std::size_t>(shard.first - 1); i < manifest.Catchments.size();
       i += static_cast<std::size_t>(shard.second))
    mine.push_back(&manifest.Catchments[i]);
  std::vector<std::string> rows(mine.size());
  std::vector<std::size_t> todo;
  for (std::size_t i = 0; i < mine.size(); ++i) {
    const auto row = args.Has("--force") ? std::nullopt : CompleteRow(*mine[i], out / mine[i]->Id);
    if (row) rows[i] = *row;
    else todo.push_back(i);
  }
  const unsigned threads = static_cast<unsigned>(std::min<std::size_t>(
      jobs > 0 ? static_cast<unsigned>(jobs) : std::max(1u, std::thread::hardware_concurrency()),
      std::max<std::size_t>(todo.size(), 1)));
  std::cout << Count(mine.size(), "catchment")
            << (shard.second > 1 ? " of shard " + args.Options.at("--shard") : "") << ": "
            << mine.size() - todo.size() << " done before, " << todo.size() << " to run on "
            << Count(threads, "job") << "\n"
            << std::flush;

  // A test hook: TOLVANE_REGIONAL_KILL_AFTER=K kills the process as a user's
  // kill -9 would, once K catchments have their results.
  const char* killAfter = std::getenv("TOLVANE_REGIONAL_KILL_AFTER");
  const int killAt = killAfter ? std::atoi(killAfter) : 0;
  std::atomic<int> finished{0};
  {
    TRegionalProgress progress(mine.size(), mine.size() - todo.size());
    TWorkPool pool(threads);
    pool.ForEach(todo.size(), [&](std::size_t k) {
      const std::size_t i = todo[k];
      const TCatchment& c = *mine[i];
      const fs::path folder = out / c.Id;
      std::ostringstream log;
      TSummaryRow row;
      row.Id = c.Id;
      std::error_code made;
      fs::create_directories(folder, made);
      std::string why;
      if (!fs::is_directory(folder, made)) {
        row.Message = folder.string() + ": is no folder and cannot be made one";
      } else {
        RemoveBrokenWrites(folder, {RowFile, SettingsFile, "model.json", "validation.csv", "log.txt"});
        // Results of other settings go before any of these are made.
        for (const char* stale : {RowFile, "model.json", "validation.csv", "log.txt"})
          fs::remove(folder / stale, made);
        try {
          if (!Write(folder / SettingsFile, SettingsOf(c), why)) row.Message = why;
          else row = RunCatchment(c, folder, log);
        } catch (const std::exception& e) {
          row.Status = "failed";
          row.Message = e.what();
        }
      }
      const std::string line = FormatSummaryRow(row);
      if (!log.str().empty() && !Write(folder / "log.txt", log.str(), why)) log << why;
      if (fs::is_directory(folder, made))
        Write(folder / RowFile, SummaryHeader() + "\n" + line + "\n", why);
      rows[i] = line;
      progress.Finished(row);
      if (killAt > 0 && ++finished >= killAt) std::raise(SIGKILL);
    });
  }

  // The summary, from every catchment's row.
  std::string summary = SummaryHeader() + "\n", ids;
  int notOk = 0;
  for (std::size_t i = 0; i < mine.size(); ++i) {
    summary += rows[i] + "\n";
    const auto cells = SplitCsvLine(rows[i]);
    if (cells.size() > 2 && cells[1] != "ok") {
      ++notOk;
      std::cerr << mine[i]->Id << ": " << cells[1] << ": " << cells[2] << "\n";
    }
  }
  for (const auto& c : manifest.Catchments) ids += c.Id + "\n";
  const std::string name =
      shard.second > 1
          ? "summary-" + std::to_string(shard.first) + "-of-" + std::to_string(shard.second) + ".csv"
          : std::string("summary.csv");
  RemoveBrokenWrites(out, {name, "ids.txt"});
  if (!Write(out / "ids.txt", ids, error) || !Write(out / name, summary, error)) {
    std::cerr << error << "\n";
    return ExitFailed;
  }
  std::cout << (out / name).string() << ": " << Count(mine.size(), "catchment") << ", "
            << mine.size() - static_cast<std::size_t>(notOk) << " ok, " << notOk
            << " refused or failed\n";
  if (!PlotsOfArgs(args, summary, error)) {
    std::cerr << error << "\n";
    return ExitFailed;
  }
  return notOk == 0 ? ExitOk : ExitFailed;
}
