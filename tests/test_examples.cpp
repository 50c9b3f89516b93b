// The example files of Data/: made by the project's own generator, and the
// determination finds back the cascade each was made with.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "files/textreader.h"
#include "model/dmquorell.h"
#include "support/test_support.h"

namespace {

const char* const ExampleFiles[] = {"determine_hourly.inp", "determine_daily.inp",
                                    "predict_daily.inp"};

TEST(Examples, AreWhatTheGeneratorMakes) {
  TScratchDir dir;
  const std::string command = std::string(TOLVANE_MAKE_EXAMPLES) + " " + dir.Path.string() + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : ExampleFiles)
    EXPECT_EQ(ReadFileBytes(dir.File(name)), ReadFileBytes(SourceDir() + "/Data/" + name)) << name;
}

TEST(Examples, RunsRecoverTheParametersTheyWereMadeWith) {
  for (const char* name : ExampleFiles) {
    SCOPED_TRACE(name);
    ResetWorkspaces();
    TScratchDir dir;
    const auto input = dir.File(name);
    std::filesystem::copy_file(SourceDir() + "/Data/" + name, input);
    TRecordingDialogs dialogs;
    TDMQuorell dm;
    dm.SetDialogs(&dialogs);
    dm.FileName = input;
    ASSERT_TRUE(dm.ReadInputFile());
    std::smatch made;
    ASSERT_TRUE(std::regex_search(dm.Title2, made,
                                  std::regex("Made with ([1-5]) reservoirs, alpha ([0-9.]+)")));
    const int nrOfRes = std::stoi(made[1]);
    const double alpha = std::stod(made[2]);
    if (dm.IsAnalysis) {
      dm.DetermineModel();
      ASSERT_TRUE(dm.RunSucceeded(true));
      EXPECT_EQ(AnalysisWorkspace.NrOfRes, nrOfRes);
      EXPECT_NEAR(AnalysisWorkspace.Alpha, alpha, 0.0041);
      EXPECT_GT(AnalysisWorkspace.RSquare, 0.9);
    } else {
      ASSERT_TRUE(dm.RunModel(false));
      EXPECT_EQ(AnalysisWorkspace.NrOfRes, nrOfRes);
      EXPECT_EQ(AnalysisWorkspace.Alpha, alpha);
    }
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(std::filesystem::exists(dir.File(std::filesystem::path(name).stem().string() + ".out")));
  }
}

}  // namespace
