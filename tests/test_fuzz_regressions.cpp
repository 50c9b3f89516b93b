// Inputs the fuzzers found, and a few made by hand, replayed through the
// same readers; under the sanitizer build any fault among them fails.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/harness.h"
#include "support/test_support.h"

namespace {

void Replay(const std::string& bytes) {
  const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
  FuzzInputFile(data, bytes.size());
  FuzzOutputFile(data, bytes.size());
}

TEST(FuzzRegressions, FoundInputsReplayCleanly) {
  int replayed = 0;
  for (const auto& entry : std::filesystem::directory_iterator(TOLVANE_FUZZ_REGRESSIONS)) {
    if (!entry.is_regular_file() || entry.path().filename().string()[0] == '.') continue;
    SCOPED_TRACE(entry.path().string());
    Replay(ReadFileBytes(entry.path().string()));
    ++replayed;
  }
  RecordProperty("replayed", replayed);
  // An empty or misplaced folder would replay nothing and prove nothing.
  EXPECT_GT(replayed, 0) << "no found inputs in " << TOLVANE_FUZZ_REGRESSIONS;
}

// Thirteen line ends and 23 blanks, joined with the rest as literals: GCC 12
// warns of a string built with + here (a false out-of-bounds report).
#define TOLVANE_13_LINES "\n\n\n\n\n\n\n\n\n\n\n\n\n"
#define TOLVANE_23_BLANKS "                       "

TEST(FuzzRegressions, HandMadeInputs) {
  const std::string made[] = {
      "",
      "\x1A",
      std::string(20, '\n'),
      TOLVANE_13_LINES "RECO\n\n\n\n\n\n 1 1e308 1e308 1e308 1e308 1e308\n-\n-\n: 1e308\n",
      TOLVANE_13_LINES "PRED\n\n\n\n\n -1 -1e300 0 0 1e300\n-\n",
      TOLVANE_13_LINES "RECO\n\n\n\n\n\n 1 0 0 0 0 0\n 2 0 0 0 0 0\n-\n-\n:0.9\n",
      TOLVANE_13_LINES "RECO\n\n\n\n\n\n 1 5 1 1 99999999 1\n 2 6 1 1 1 1\n-\n-\n:0.9\n",
      " x\r\n Ana\r\n\r\n\r\n\r\n\r\n\r\n" TOLVANE_23_BLANKS "1e308\r\n" TOLVANE_23_BLANKS
      "0\r\n" TOLVANE_23_BLANKS "1e308\r\n\r\n\r\n\r\n\r\n"
          "1 1 1e300 1e300\r\n2 2 0 0\r\n3 1e300 0 1\r\n",
  };
  for (const auto& bytes : made) Replay(bytes);
}

}  // namespace
