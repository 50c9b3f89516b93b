// Whole runs on real records against files made by an independent
// implementation: byte for byte, but for the line naming the path.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/filepaths.h"
#include "model/dmquorell.h"
#include "support/test_support.h"

namespace {

struct TGolden {
  const char* Name;
  bool Analysis;
};

class Golden : public ::testing::TestWithParam<TGolden> {};

TEST_P(Golden, RunGivesTheSameOutputFile) {
  const auto shared = SharedDataDir();
  if (shared.empty()) GTEST_SKIP() << "no shared data";
  TScratchDir dir;
  const std::string name = GetParam().Name;
  const auto input = dir.File(name + ".inp");
  std::filesystem::copy_file(shared + "/golden/" + name + ".inp", input);
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  dm.FileName = input;
  ASSERT_TRUE(dm.RunModel(GetParam().Analysis));
  EXPECT_TRUE(dialogs.Messages.empty());
  auto mine = SplitCrLfLines(ReadFileBytes(dir.File(name + ".out")));
  auto golden = SplitCrLfLines(ReadFileBytes(shared + "/golden/" + name + ".out"));
  ASSERT_EQ(mine.size(), golden.size());
  EXPECT_EQ(mine[4], "Name of input file used: " + input);
  for (std::size_t i = 0; i < mine.size(); ++i) {
    if (i == 4) continue;  // the path run under
    EXPECT_EQ(mine[i], golden[i]) << "line " << i + 1;
  }
  EXPECT_EQ(ReadFileBytes(dir.File(name + ".out")).back(), '\n');
}

INSTANTIATE_TEST_SUITE_P(Files, Golden,
                         ::testing::Values(TGolden{"det25", true}, TGolden{"det262", true},
                                           TGolden{"det120long", true}, TGolden{"pred25", false},
                                           TGolden{"pred262", false}),
                         CaseName);

TEST(GoldenReadBack, DeterminationOutputOfARealRecordReadsBack) {
  // The output file's table carries the run's own series.
  const auto shared = SharedDataDir();
  if (shared.empty()) GTEST_SKIP() << "no shared data";
  TScratchDir dir;
  const auto input = dir.File("det25.inp");
  std::filesystem::copy_file(shared + "/golden/det25.inp", input);
  TDMQuorell dm;
  dm.FileName = input;
  dm.DetermineModel();
  ASSERT_TRUE(dm.RunSucceeded(true));
  const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("det25.out")));
  const auto& ws = dm.Analysis();
  ASSERT_EQ(static_cast<int>(lines.size()), 21 + ws.AnaNrOfData);
  for (int i = 1; i <= ws.AnaNrOfData; ++i) {
    const std::string& line = lines[17 + i];
    EXPECT_EQ(std::stoi(line.substr(1, 4)), ws.Serial[i]);
    EXPECT_NEAR(std::stod(line.substr(4, 10)), ws.Time[i], 0.005);
    EXPECT_NEAR(std::stod(line.substr(44, 10)), ws.RunCalc[i], 0.005);
  }
}

}  // namespace
