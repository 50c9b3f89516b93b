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
                                    "predict_daily.inp", "calibrate_daily.inp"};

std::string OutputName(const std::string& input) {
  return std::filesystem::path(input).stem().string() + ".out";
}

// Both the input files and the output files their runs give today.
TEST(Examples, AreWhatTheGeneratorAndTheirRunsMake) {
  TScratchDir dir;
  const std::string command = std::string(TOLVANE_MAKE_EXAMPLES) + " " + dir.Path.string() + " > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  for (const char* name : ExampleFiles) {
    for (const std::string& file : {std::string(name), OutputName(name)}) {
      const std::string shipped = ReadFileBytes(SourceDir() + "/Data/" + file);
      EXPECT_FALSE(shipped.empty()) << file;
      EXPECT_EQ(ReadFileBytes(dir.File(file)), shipped) << file;
    }
  }
}

// The start help sends the user to this example: its escape rate of 0.2
// gives a better R square, as printed, than 0.1 and 0.3 do.
TEST(Examples, TheCalibrationExampleIsBestAtItsOwnEscapeRate) {
  auto printedRSquare = [](double escape) {
    TScratchDir dir;
    TRecordingDialogs dialogs;
    TDMQuorell dm;
    dm.SetDialogs(&dialogs);
    dm.FileName = SourceDir() + "/Data/calibrate_daily.inp";
    EXPECT_TRUE(dm.ReadInputFile());
    EXPECT_EQ(dm.MaxEsc, 0.2);
    // As the sheet writes it again after the escape rate was changed.
    std::vector<double> times(dm.Times), rains(dm.Rains), runoffs(dm.Runoffs);
    WriteAnalysisFile(dm, dir.File("Test1.inp"), times, rains, runoffs, dm.MaxSto, dm.IniSto, escape);
    dm.DetermineModel();
    EXPECT_TRUE(dm.RunSucceeded(true));
    const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("Test1.out")));
    for (const auto& line : lines)
      if (line.find("(R square)") != std::string::npos) return line;
    return std::string("no R square line");
  };
  const std::string best = printedRSquare(0.2);
  for (double other : {0.1, 0.3}) {
    const std::string worse = printedRSquare(other);
    EXPECT_LT(worse.substr(worse.size() - 5), best.substr(best.size() - 5)) << worse << " / " << best;
  }
}

TEST(Examples, RunsRecoverTheParametersTheyWereMadeWith) {
  for (const char* name : ExampleFiles) {
    SCOPED_TRACE(name);
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
      EXPECT_EQ(dm.Analysis().NrOfRes, nrOfRes);
      EXPECT_NEAR(dm.Analysis().Alpha, alpha, 0.0041);
      EXPECT_GT(dm.Analysis().RSquare, 0.9);
    } else {
      ASSERT_TRUE(dm.RunModel(false));
      EXPECT_EQ(dm.Analysis().NrOfRes, nrOfRes);
      EXPECT_EQ(dm.Analysis().Alpha, alpha);
    }
    EXPECT_TRUE(dialogs.Messages.empty());
    EXPECT_TRUE(std::filesystem::exists(dir.File(OutputName(name))));
  }
}

}  // namespace
