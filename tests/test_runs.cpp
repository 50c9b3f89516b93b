// The two runs from file to file: their checks, flags, messages and results.
#include <gtest/gtest.h>

#include "model/search.h"

#include <cmath>
#include <filesystem>

#include "files/filepaths.h"
#include "model/dmquorell.h"
#include "support/test_support.h"

namespace {

class Runs : public ::testing::Test {
protected:
  void SetUp() override {
    dm.SetDialogs(&dialogs);
  }
  std::string OutOf(const std::string& inp) { return ChangeFileExt(inp, ".out"); }
  void Determine(const std::vector<double>& t, const std::vector<double>& rain,
                 const std::vector<double>& q, double maxSto = 100, double iniSto = 80,
                 double maxEsc = 2) {
    WriteAnalysisFile(dm, path, t, rain, q, maxSto, iniSto, maxEsc);
    dm.DetermineModel();
  }
  void Predict(const std::vector<double>& t, const std::vector<double>& rain, int nr, double alpha,
               double runIni, double maxSto = 100, double iniSto = 80, double maxEsc = 2) {
    WritePredictionFile(dm, path, t, rain, nr, alpha, runIni, maxSto, iniSto, maxEsc);
    dm.Analysis().StorageOk = true;
    dm.PredictRunoff();
  }
  TScratchDir dir;
  std::string path = dir.File("run.inp");
  TRecordingDialogs dialogs;
  TDMQuorell dm;
};

struct TFailure {
  const char* Name;
  std::vector<double> Times, Rain, Runoff;
  double MaxSto;
  const char* Message;
  bool RunFailed, TimeError, StorageOk;
};

class DeterminationFailure : public Runs, public ::testing::WithParamInterface<TFailure> {};

TEST_P(DeterminationFailure, StopsWithItsMessageAndNoOutput) {
  const auto& c = GetParam();
  dm.Analysis().StorageOk = true;
  Determine(c.Times, c.Rain, c.Runoff, c.MaxSto, c.MaxSto > 0 ? c.MaxSto / 2 : 0);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], c.Message);
  EXPECT_EQ(dm.RunFailed, c.RunFailed);
  EXPECT_EQ(dm.Analysis().AnaTimeError, c.TimeError);
  EXPECT_EQ(dm.Analysis().StorageOk, c.StorageOk);
  EXPECT_FALSE(dm.RunSucceeded(true));
  EXPECT_FALSE(std::filesystem::exists(OutOf(path)));
}

INSTANTIATE_TEST_SUITE_P(
    Checks, DeterminationFailure,
    ::testing::Values(
        TFailure{"ConstantRunoff", {1, 2, 3}, {1, 2, 3}, {2, 2, 2}, 100,
                 "There is no variation in runoff values. Rainfall-Runoff analysis cannot be made",
                 true, false, true},
        TFailure{"ZeroRunoffBecomesConstant", {1, 2, 3}, {1, 2, 3}, {0, 0, 0.0004}, 100,
                 "There is no variation in runoff values. Rainfall-Runoff analysis cannot be made",
                 true, false, true},
        TFailure{"SinglePoint", {1}, {1}, {1}, 100,
                 "There is no variation in runoff values. Rainfall-Runoff analysis cannot be made",
                 true, false, true},
        TFailure{"EqualTimes", {5, 5, 5}, {1, 2, 3}, {1, 2, 3}, 100,
                 "There is no variation in time Rainfall-Runoff analysis cannot be made", true,
                 false, true},
        TFailure{"FallingTime", {1, 2, 3, 2.5}, {1, 2, 3, 4}, {1, 2, 3, 4}, 100,
                 "Incorrect time sequence encountered. Please correct the input file", false, true,
                 true},
        TFailure{"NoStorage", {1, 2, 3}, {1, 2, 3}, {1, 2, 3}, 0,
                 "The Maximum Storage must be > 0", false, false, false}),
    CaseName);

class PredictionFailure : public Runs, public ::testing::WithParamInterface<TFailure> {};

TEST_P(PredictionFailure, StopsWithItsMessageAndNoOutput) {
  const auto& c = GetParam();
  Predict(c.Times, c.Rain, 2, 0.3, 1, c.MaxSto, 0);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], c.Message);
  EXPECT_EQ(dm.Prediction().PredNoVariation, c.RunFailed);
  EXPECT_EQ(dm.Prediction().PredTimeError, c.TimeError);
  EXPECT_EQ(dm.Analysis().StorageOk, c.StorageOk);
  EXPECT_FALSE(dm.RunSucceeded(false));
  EXPECT_FALSE(std::filesystem::exists(OutOf(path)));
}

INSTANTIATE_TEST_SUITE_P(
    Checks, PredictionFailure,
    ::testing::Values(
        TFailure{"EqualTimes", {3, 3, 3}, {1, 2, 3}, {}, 100,
                 "There is no variation in time The hydrograph cannot be made", true, false, true},
        TFailure{"StepZero", {1, 2, 2, 3}, {1, 2, 3, 4}, {}, 100,
                 "Incorrect time sequence encountered Please correct the input file", false, true,
                 true},
        TFailure{"NoStorage", {1, 2, 3}, {1, 2, 3}, {}, 0, "The Maximum Storage must be > 0",
                 false, false, false}),
    CaseName);

TEST_F(Runs, DeterminationAcceptsAStepOfZero) {
  Determine({1, 2, 2, 3, 4, 5}, {0, 10, 0, 0, 5, 0}, {1, 1.5, 2, 1.75, 1.5, 1.25});
  EXPECT_TRUE(dialogs.Messages.empty());
  EXPECT_TRUE(dm.RunSucceeded(true));
  EXPECT_TRUE(std::filesystem::exists(OutOf(path)));
  EXPECT_EQ(dialogs.PointsShown, 6);
  // The writer leaves the input file's name.
  EXPECT_EQ(dm.FileName, path);
}

TEST_F(Runs, LastStepZeroKeepsTheFirstPair) {
  // C = 1 for every candidate: all sums equal, the first pair stays chosen
  // and the runoff stays at the first measured value.
  Determine({1, 2, 3, 3}, {0, 30, 0, 0}, {1, 2, 3, 2});
  ASSERT_TRUE(dm.RunSucceeded(true));
  const auto& ws = dm.Analysis();
  EXPECT_EQ(ws.Delta, 0);
  EXPECT_EQ(ws.NrOfRes, 1);
  EXPECT_EQ(ws.Alpha, 0.002);
  for (int t = 1; t <= 4; ++t) EXPECT_EQ(ws.RunCalc[t], 1);
}

TEST_F(Runs, SelectionTakesTheLeastSumAndItsReconstruction) {
  // A series made by a cascade of 2 with alpha 0.3 from a steady rain of 3
  // with bursts: the search finds the cascade back.
  std::vector<double> t, rain, q;
  double run1 = 3, run2 = 3;
  const double c = std::exp(-0.3);
  for (int i = 1; i <= 80; ++i) {
    const double r = (i % 13 == 3) ? 30 : 3;
    if (i > 1) {
      run1 = c * run1 + (1 - c) * r;
      run2 = c * run2 + (1 - c) * run1;
    }
    t.push_back(i);
    rain.push_back(r);
    q.push_back(run2);
  }
  // No pre-reservoir loss: MaxSto 1, full, no escape.
  Determine(t, rain, q, 1, 1, 0);
  ASSERT_TRUE(dm.RunSucceeded(true));
  const auto& ws = dm.Analysis();
  EXPECT_EQ(ws.NrOfRes, 2);
  EXPECT_NEAR(ws.Alpha, 0.3, 0.02);
  static TSumSqTable sums;
  ComputeSumSq(ws.RunMeas, ws.Rech, ws.AnaNrOfData, ws.Delta, AlphaCandidateTable(), sums);
  double best = sums[1][1];
  for (int r = 1; r <= 5; ++r)
    for (int k = 1; k <= AlphaCandidates; ++k) best = std::min(best, sums[r][k]);
  const int k = static_cast<int>(std::lround(ws.Alpha / 0.002));
  EXPECT_EQ(sums[ws.NrOfRes][k], best);
  for (int i = 1; i <= 80; ++i) EXPECT_EQ(ws.RunCalc[i], ws.Run[2][i]);
}

TEST_F(Runs, MeasuredRunoffBelowAThousandthIsRaised) {
  Determine({1, 2, 3}, {0, 5, 0}, {0, 2, 1});
  ASSERT_TRUE(dm.RunSucceeded(true));
  EXPECT_EQ(dm.Analysis().RunMeas[1], 0.001);
  const auto lines = SplitCrLfLines(ReadFileBytes(OutOf(path)));
  EXPECT_EQ(lines[18].substr(34, 10), "      0.00");
}

TEST_F(Runs, TooManyPointsAreRefused) {
  std::vector<double> t, r, q;
  for (int i = 1; i <= 1502; ++i) {
    t.push_back(i);
    r.push_back(1);
    q.push_back(1 + i % 3);
  }
  Determine(t, r, q);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_NE(dialogs.Messages[0].find("more than 1501 data lines"), std::string::npos);
  EXPECT_TRUE(dm.RunFailed);
  EXPECT_FALSE(std::filesystem::exists(OutOf(path)));

  dialogs.Messages.clear();
  t.resize(502);
  r.resize(502);
  Predict(t, r, 1, 0.5, 1);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_NE(dialogs.Messages[0].find("more than 501 data lines"), std::string::npos);
  EXPECT_FALSE(dm.RunSucceeded(false));
  EXPECT_FALSE(std::filesystem::exists(OutOf(path)));

  // Exactly the capacity is fine.
  dialogs.Messages.clear();
  t.resize(501);
  r.resize(501);
  Predict(t, r, 1, 0.5, 1);
  EXPECT_TRUE(dm.RunSucceeded(false));
  EXPECT_EQ(dm.Prediction().PredNrOfData, 501);
}

TEST_F(Runs, CorruptDataLineStopsTheRun) {
  WriteAnalysisFile(dm, path, {1, 2, 3}, {1, 2, 3}, {1, 2, 3});
  std::string text = ReadFileBytes(path);
  text.replace(text.rfind("3.00"), 4, "3.x0");
  WriteFileBytes(path, text);
  dm.DetermineModel();
  ASSERT_EQ(dialogs.Errors.size(), 1u);
  EXPECT_EQ(dialogs.Errors[0],
            "A program error occurred.Real numbers in the inputfile \"" + path + "\" are corrupt");
  EXPECT_FALSE(dm.RunSucceeded(true));
  EXPECT_FALSE(std::filesystem::exists(OutOf(path)));
}

TEST_F(Runs, MissingInputFileIsAnErrorForTheCaller) {
  dm.FileName = dir.File("gone.inp");
  EXPECT_THROW(dm.DetermineModel(), TInOutError);
  EXPECT_THROW(dm.PredictRunoff(), TInOutError);
}

TEST_F(Runs, PredictionRefusesAReservoirCountOutsideOneToFive) {
  for (int nr : {0, 6, -1}) {
    dialogs.Messages.clear();
    Predict({1, 2, 3}, {1, 2, 3}, nr, 0.5, 1);
    ASSERT_EQ(dialogs.Messages.size(), 1u) << nr;
    EXPECT_NE(dialogs.Messages[0].find("must be 1 to 5"), std::string::npos);
    EXPECT_FALSE(dm.RunSucceeded(false));
    EXPECT_FALSE(std::filesystem::exists(OutOf(path)));
  }
}

TEST_F(Runs, PredictionWithAlphaZeroStaysAtTheInitialRunoff) {
  Predict({1, 2, 3, 4}, {0, 50, 50, 0}, 1, 0, 0.75);
  ASSERT_TRUE(dm.RunSucceeded(false));
  for (int t = 1; t <= 4; ++t) EXPECT_EQ(dm.Analysis().RunCalc[t], 0.75);
  EXPECT_EQ(dm.Prediction().RateUnit, "");
}

TEST_F(Runs, PredictionTakesItsCascadeFromTheFile) {
  dm.Analysis().NrOfRes = 3;
  WritePredictionFile(dm, path, {1, 2, 3}, {0, 20, 0}, 2, 0.05, 1.5);
  dm.Analysis().NrOfRes = 5;
  dm.Analysis().Alpha = 9;
  dm.Analysis().StorageOk = true;
  dm.PredictRunoff();
  ASSERT_TRUE(dm.RunSucceeded(false));
  EXPECT_EQ(dm.Analysis().NrOfRes, 2);
  EXPECT_EQ(dm.Analysis().Alpha, 0.05);
  EXPECT_EQ(dm.Analysis().RunCalc[1], 1.5);
  const auto lines = SplitCrLfLines(ReadFileBytes(OutOf(path)));
  EXPECT_EQ(lines[9], "Number of reservoirs:     2 ");
  EXPECT_EQ(lines[10], "Alpha coefficient:        0.050 ");
}

struct TUnitCase {
  const char* Text;
  const char* Unit;
};

class RateUnit : public Runs, public ::testing::WithParamInterface<TUnitCase> {};

TEST_P(RateUnit, FollowsTheEscapeRate) {
  WritePredictionFile(dm, path, {1, 2}, {0, 1}, 1, 0.5, 1, 100, 80, 2);
  std::string text = ReadFileBytes(path);
  const auto at = text.find("     2.00\r\n");
  text.insert(at + 9, GetParam().Text);
  WriteFileBytes(path, text);
  dm.Analysis().StorageOk = true;
  dm.PredictRunoff();
  ASSERT_TRUE(dm.RunSucceeded(false));
  EXPECT_EQ(dm.Prediction().RateUnit, GetParam().Unit);
  EXPECT_EQ(SplitCrLfLines(ReadFileBytes(OutOf(path)))[8],
            std::string("Max. escape/time unit:    2.00 ") + GetParam().Unit);
}

INSTANTIATE_TEST_SUITE_P(Texts, RateUnit,
                         ::testing::Values(TUnitCase{" mm/day", "mm/day"}, TUnitCase{" mm", "mm/t"},
                                           TUnitCase{"   mm  ", "mm/t"}, TUnitCase{" c.m", "cm/t"},
                                           TUnitCase{" dm", "dm/t"}, TUnitCase{" m", "m/t"},
                                           TUnitCase{" mm/t", "mm/t"}, TUnitCase{"", ""},
                                           // A carriage return alone ends no line.
                                           TUnitCase{" mm/\rday", "mm/\rday"}));

}  // namespace
