// The layers of the program: no source includes a header of a layer above
// its own. The build refuses such an include already (each layer sees only
// the include folders of those below it); this names the file and line.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <string>

#include "support/test_support.h"

namespace {

// Each layer with the layers it may use.
const std::map<std::string, std::set<std::string>> Allowed = {
    {"base", {}},
    {"files", {"base"}},
    {"model", {"files", "base"}},
    {"sheet", {"model", "files", "base"}},
    {"graphs", {"model", "files", "base"}},
    {"render", {"graphs", "model", "files", "base"}},
    {"ui", {"render", "sheet", "graphs", "model", "files", "base"}},
    {"batch", {"render", "sheet", "graphs", "model", "files", "base"}},
};

TEST(Layers, NoIncludeReachesALayerAbove) {
  namespace fs = std::filesystem;
  const fs::path src = fs::path(SourceDir()) / "src";
  const std::regex include(R"(^\s*#\s*include\s*"([a-z]+)/)");
  int files = 0;
  for (const auto& entry : fs::recursive_directory_iterator(src)) {
    if (!entry.is_regular_file()) continue;
    const std::string extension = entry.path().extension().string();
    if (extension != ".h" && extension != ".cpp") continue;
    // The layer is the first folder under src/.
    const std::string layer = entry.path().lexically_relative(src).begin()->string();
    ASSERT_TRUE(Allowed.count(layer)) << "a folder that is no layer: " << entry.path();
    std::ifstream in(entry.path());
    std::string line;
    int number = 0;
    while (std::getline(in, line)) {
      ++number;
      std::smatch match;
      if (!std::regex_search(line, match, include)) continue;
      const std::string target = match[1];
      EXPECT_TRUE(target == layer || Allowed.at(layer).count(target))
          << entry.path().string() << ":" << number << ": " << layer << " includes " << target;
    }
    ++files;
  }
  EXPECT_GT(files, 50);
}

}  // namespace
