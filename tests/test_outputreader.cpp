// Output files read back by the readers of the Output and Graphics tabs,
// from files the writers made.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "files/outputreader.h"
#include "files/textreader.h"
#include "model/dmquorell.h"
#include "support/test_support.h"

namespace {

class OutputReader : public ::testing::Test {
protected:
  void SetUp() override {
    dm.SetDialogs(&dialogs);
    dm.Title1 = "Area";
    dm.Title2 = "Units";
  }
  // A reconstruction output file of 20 points through the writer.
  std::string Reconstruction() {
    auto& ws = dm.Analysis();
    ws.AnaNrOfData = 20;
    ws.NrOfRes = 2;
    ws.Alpha = 0.3;
    for (int i = 1; i <= 20; ++i) {
      const bool wet = i % 4 == 0;
      SetReconstructionPoint(dm.Analysis(), i, {i, static_cast<double>(i), wet ? 12.5 : 0.0, wet ? 3.25 : 0.0,
                                 1 + 0.1 * i, i == 3 ? 0.004 : 1 + 0.1 * i + 0.05});
    }
    dm.FileName = dir.File("r.inp");
    dm.WriteReconstructionResults();
    return dir.File("r.out");
  }
  std::string Prediction() {
    auto& ws = dm.Prediction();
    ws.PredNrOfData = 20;
    dm.Analysis().NrOfRes = 1;
    dm.Analysis().Alpha = 0.5;
    for (int i = 1; i <= 20; ++i) {
      ws.PredSerial[i] = i;
      ws.PredTime[i] = 10 * i;
      ws.PredRain[i] = i;
      ws.PredRech[i] = 0.5 * i;
      dm.Analysis().RunCalc[i] = 100 + i;
    }
    dm.FileName = dir.File("p.inp");
    dm.WritePredictionResults();
    return dir.File("p.out");
  }
  TScratchDir dir;
  TRecordingDialogs dialogs;
  TDMQuorell dm;
};

TEST_F(OutputReader, LoadsEveryLineAsItIs) {
  const auto path = Reconstruction();
  ASSERT_TRUE(dm.LoadOutputLines(path));
  EXPECT_EQ(dm.OutputLineCount, 41);
  EXPECT_EQ(dm.OutputLines[8], "Max. escape/time unit:   0.00 ");  // blanks at the end kept
  EXPECT_EQ(dm.OutputLines[40], "Coefficient of explanation (R square) is    :" +
                                    SplitCrLfLines(ReadFileBytes(path))[40].substr(45));
}

TEST_F(OutputReader, ReconstructionForTheGraphs) {
  const auto path = Reconstruction();
  dm.ResultsFileName = path;
  ASSERT_TRUE(dm.ReadResultsHead());
  EXPECT_EQ(dm.ResultsTag, "RECO");
  EXPECT_EQ(dm.Title1, "Area");
  EXPECT_EQ(dm.Title2, "Units");
  const double written = dm.Analysis().RSquare;
  dm.Analysis().RSquare = -9;
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::RunoffDetermination));
  ASSERT_EQ(dm.NrOfData, 20);
  EXPECT_EQ(dm.Serials[19], 20);
  EXPECT_EQ(dm.GraphTime[4], 5);
  EXPECT_EQ(dm.GraphRain[3], 12.5);
  EXPECT_EQ(dm.GraphRecharge[3], 3.25);
  EXPECT_DOUBLE_EQ(dm.GraphRunMeas[0], 1.1);
  EXPECT_EQ(dm.GraphRunCalc[2], 0);  // 0.004 is printed 0.00
  EXPECT_NEAR(dm.Analysis().RSquare, written, 0.005);
  EXPECT_EQ(dm.Analysis().RSquare, std::round(written * 100) / 100);

  dm.Analysis().RSquare = -9;
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::RechargeDetermination));
  EXPECT_EQ(dm.Analysis().RSquare, -9);
  EXPECT_EQ(dm.GraphTime[4], 5);
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::ObservedCalculated));
  EXPECT_EQ(dm.GraphTime, dm.GraphRunMeas);
}

TEST_F(OutputReader, PredictionColumnsGoWhereTheGraphsTakeThem) {
  dm.ResultsFileName = Prediction();
  ASSERT_TRUE(dm.ReadResultsHead());
  EXPECT_EQ(dm.ResultsTag, "PRED");
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::RunoffPrediction));
  ASSERT_EQ(dm.NrOfData, 20);
  EXPECT_EQ(dm.GraphTime[1], 20);
  EXPECT_EQ(dm.GraphRunCalc[1], 2);    // the rainfall
  EXPECT_EQ(dm.GraphRecharge[1], 1);
  EXPECT_EQ(dm.GraphRain[1], 102);     // the predicted runoff
  EXPECT_EQ(dm.GraphRunMeas.size(), 20u);
}

TEST_F(OutputReader, CorruptRSquareFallsBackToZero) {
  const auto path = Reconstruction();
  std::string text = ReadFileBytes(path);
  const auto at = text.rfind(':');
  text.replace(at + 1, std::string::npos, "    n/a\r\n");
  WriteFileBytes(path, text);
  dm.ResultsFileName = path;
  dm.Analysis().RSquare = 0.9;
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::ObservedCalculated));
  EXPECT_EQ(dm.Analysis().RSquare, 0);
  EXPECT_EQ(dm.GraphTime[4], 5);  // the times stay
}

TEST_F(OutputReader, TitleThatLooksLikeTheSectionLine) {
  dm.Title1 = "RECONSTRUCTION of the Vecht";
  dm.Title2 = "PREDICTION runoff: none";
  dm.ResultsFileName = Reconstruction();
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::RunoffDetermination));
  EXPECT_EQ(dm.NrOfData, 20);
  EXPECT_EQ(dm.GraphTime[0], 1);
  // A reconstruction file read for a prediction graph has no section.
  EXPECT_FALSE(dm.ReadResultsForGraph(TGraphKind::RunoffPrediction));
  EXPECT_EQ(dm.NrOfData, 0);
  EXPECT_TRUE(dm.GraphTime.empty());
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_NE(dialogs.Messages[0].find("no line \"PREDICTION runoff:\""), std::string::npos);
}

TEST_F(OutputReader, FileEndingAfterTheSectionLine) {
  const auto path = dir.File("short.out");
  auto lines = SplitCrLfLines(ReadFileBytes(Reconstruction()));
  std::string text;
  for (int i = 0; i < 13; ++i) text += lines[i] + "\r\n";
  WriteFileBytes(path, text);
  dm.ResultsFileName = path;
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::RunoffDetermination));
  EXPECT_EQ(dm.NrOfData, 0);
  EXPECT_TRUE(dm.GraphTime.empty());
}

TEST_F(OutputReader, BadTableValueKeepsTheLinesBefore) {
  const auto path = Reconstruction();
  std::string text = ReadFileBytes(path);
  text.replace(text.find("     10.00"), 10, "     ten  ");
  WriteFileBytes(path, text);
  dm.ResultsFileName = path;
  EXPECT_THROW(dm.ReadResultsForGraph(TGraphKind::RunoffDetermination), TInvalidNumber);
  EXPECT_EQ(dm.NrOfData, 9);
  EXPECT_EQ(dm.GraphTime.size(), 9u);
}

TEST_F(OutputReader, CannotOpenMessages) {
  const auto missing = dir.File("none.out");
  dm.ResultsFileName = missing;
  EXPECT_FALSE(dm.LoadOutputLines(missing));
  EXPECT_FALSE(dm.ReadResultsHead());
  EXPECT_FALSE(dm.ReadResultsForGraph(TGraphKind::RunoffDetermination));
  ASSERT_EQ(dialogs.Messages.size(), 3u);
  EXPECT_EQ(dialogs.Messages[0], "The file \"" + missing +
                                     "\" could not be opened.  It may be damaged,  not created due "
                                     "to inadequate input data,  in use by another program.");
  const std::string results = "The file \"" + missing +
                              "\"could not be opened. It may be damaged,  not created due to "
                              "inadequateinput data, or in use by another program.";
  EXPECT_EQ(dialogs.Messages[1], results);
  EXPECT_EQ(dialogs.Messages[2], results);
}

TEST_F(OutputReader, GoldenOutputFilesReadBack) {
  const auto shared = SharedDataDir();
  if (shared.empty()) GTEST_SKIP() << "no shared data";
  dm.ResultsFileName = shared + "/golden/det262.out";
  ASSERT_TRUE(dm.ReadResultsHead());
  EXPECT_EQ(dm.ResultsTag, "RECO");
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::RunoffDetermination));
  EXPECT_EQ(dm.NrOfData, 180);
  EXPECT_EQ(dm.Analysis().RSquare, 0.77);
  dm.ResultsFileName = shared + "/golden/pred25.out";
  ASSERT_TRUE(dm.ReadResultsForGraph(TGraphKind::RechargePrediction));
  EXPECT_EQ(dm.NrOfData, 365);
}

}  // namespace
