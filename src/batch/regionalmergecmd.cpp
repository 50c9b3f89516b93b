// tolvane-batch regional-merge: the summaries of shards run apart, on one
// machine or many, joined into one.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <map>
#include <regex>

#include "batch/commands.h"
#include "batch/regional.h"
#include "batch/plots.h"
#include "batch/regionalplots.h"
#include "files/filepaths.h"

namespace fs = std::filesystem;

namespace {

// The summaries of a folder of regional (summary.csv, summary-I-of-N.csv),
// or the file itself.
std::vector<fs::path> SummariesOf(const fs::path& given) {
  std::error_code ec;
  if (!fs::is_directory(given, ec)) return {given};
  static const std::regex name(R"(summary(-[0-9]+-of-[0-9]+)?\.csv)");
  std::vector<fs::path> found;
  for (fs::directory_iterator it(given, ec), end; !ec && it != end; it.increment(ec))
    if (std::regex_match(it->path().filename().string(), name)) found.push_back(it->path());
  std::sort(found.begin(), found.end());
  return found;
}

}  // namespace

int RegionalMergeCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("regional-merge"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.empty())
    return UsageError("regional-merge takes the OUTDIR of each shard (or their summaries)");
  if (const std::string why = PlotFormatFault(args); !why.empty()) return UsageError(why);
  const std::string target = AbsolutePath(args.Options.at("-o"));

  std::map<std::string, std::pair<std::string, std::string>> rows;  // id: row, file
  std::vector<std::string> order;  // the manifest's, when every folder has the same
  bool manifestOrder = true;
  std::size_t files = 0;
  for (const auto& given : args.Positional) {
    const fs::path path = AbsolutePath(given);
    const auto summaries = SummariesOf(path);
    if (summaries.empty()) {
      std::cerr << path.string() << ": holds no summary.csv of regional\n";
      return ExitFailed;
    }
    const auto ids = ReadWholeFile((fs::is_directory(path) ? path : path.parent_path()).string() + "/ids.txt");
    if (!ids) {
      manifestOrder = false;
    } else {
      auto list = SplitAt(*ids, '\n');
      if (!list.empty() && list.back().empty()) list.pop_back();
      if (order.empty()) order = list;
      else if (order != list) manifestOrder = false;
    }
    for (const auto& file : summaries) {
      ++files;
      const auto bytes = ReadWholeFile(file.string());
      if (!bytes) {
        std::cerr << file.string() << ": cannot be opened\n";
        return ExitFailed;
      }
      const auto lines = SplitAt(*bytes, '\n');
      if (lines.empty() || lines[0] != SummaryHeader()) {
        std::cerr << file.string() << ": line 1 is not the header of a summary of regional\n";
        return ExitFailed;
      }
      for (std::size_t i = 1; i < lines.size(); ++i) {
        if (lines[i].empty()) continue;
        const std::string id = SplitCsvLine(lines[i])[0];
        const auto [at, added] = rows.try_emplace(id, lines[i], file.string());
        if (!added) {
          std::cerr << file.string() << ":" << i + 1 << ": the id \"" << id << "\" is in "
                    << at->second.second << " too\n";
          return ExitFailed;
        }
      }
    }
  }
  if (!manifestOrder || order.empty()) {
    order.clear();
    for (const auto& [id, row] : rows) order.push_back(id);
  }
  std::string summary = SummaryHeader() + "\n";
  std::vector<std::string> missing;
  for (const auto& id : order) {
    const auto it = rows.find(id);
    if (it == rows.end()) missing.push_back(id);
    else summary += it->second.first + "\n";
  }
  if (order.size() - missing.size() != rows.size()) {
    std::cerr << "a summary names catchments the manifest does not\n";
    return ExitFailed;
  }
  if (!WriteFileAtomically(target, summary, &error)) {
    std::cerr << "The file \"" << target << "\" could not be written: " << error << "\n";
    return ExitFailed;
  }
  std::cout << target << ": " << rows.size() << " catchments from " << files << " summaries, "
            << (manifestOrder ? "in the manifest's order" : "in the order of their ids") << "\n";
  if (!PlotsOfArgs(args, summary, error)) {
    std::cerr << error << "\n";
    return ExitFailed;
  }
  if (missing.empty()) return ExitOk;
  std::cerr << missing.size() << " catchments of the manifest have no row (a shard not run?): "
            << missing.front() << (missing.size() > 1 ? " ..." : "") << "\n";
  return ExitFailed;
}
