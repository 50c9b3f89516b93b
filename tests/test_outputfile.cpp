#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "files/filepaths.h"
#include "model/dmquorell.h"
#include "support/test_support.h"

namespace {

class OutputFile : public ::testing::Test {
protected:
  void SetUp() override {
    dm.SetDialogs(&dialogs);
    dm.FileName = dir.File("case.inp");
    dm.Title1 = "Title one";
    dm.Title2 = "Title two";
  }
  // Reconstruction points: serial, time, rain, recharge, measured, calculated.
  void Points(const std::vector<std::vector<double>>& rows) {
    auto& ws = dm.Analysis();
    ws.AnaNrOfData = static_cast<int>(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      const auto& v = rows[i];
      SetReconstructionPoint(dm.Analysis(), static_cast<int>(i + 1),
                             {static_cast<int>(v[0]), v[1], v[2], v[3], v[4], v[5]});
    }
  }
  void PredPoints(const std::vector<std::vector<double>>& rows) {
    auto& ws = dm.Prediction();
    ws.PredNrOfData = static_cast<int>(rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
      ws.PredSerial[i + 1] = static_cast<int>(rows[i][0]);
      ws.PredTime[i + 1] = rows[i][1];
      ws.PredRain[i + 1] = rows[i][2];
      ws.PredRech[i + 1] = rows[i][3];
      dm.Analysis().RunCalc[i + 1] = rows[i][4];
    }
  }
  std::vector<std::string> Written() {
    return SplitCrLfLines(ReadFileBytes(ChangeFileExt(dm.FileName, ".out")));
  }
  TScratchDir dir;
  TRecordingDialogs dialogs;
  TDMQuorell dm;
};

TEST_F(OutputFile, ReconstructionLayoutAndStatistics) {
  auto& ws = dm.Analysis();
  ws.AnaMaxSto = 100;
  ws.AnaIniSto = 10;
  ws.AnaMaxEsc = 0.5;
  ws.NrOfRes = 3;
  ws.Alpha = 0.25;
  Points({{1, 1, 12.5, 3.2, 1, 1}, {2, 2, 0, 0, 2, 2}, {3, 3, 0, 0, 3, 4}});
  dm.WriteReconstructionResults();
  const auto path = dir.File("case.inp");
  const std::vector<std::string> expected = {
      "RESULTS OF Tolvane PROGRAM",
      "",
      "Title one",
      "Title two",
      "Name of input file used: " + path,
      "",
      "Maximum dead storage:  100.00 mm",
      "Initial dead storage:   10.00 mm",
      "Max. escape/time unit:   0.50 ",
      "Number of reservoirs:    3 ",
      "Alpha coefficient:       0.250 ",
      "",
      "RECONSTRUCTION:",
      std::string(55, '-'),
      "Serial    Time      Rain    Recharge   Runoff    Runoff",
      " No.                         calc.     meas.     calc. ",
      std::string(10, ' '),
      std::string(55, '-'),
      " 1        1.00     12.50      3.20      1.00      1.00",
      " 2        2.00      0.00      0.00      2.00      2.00",
      " 3        3.00      0.00      0.00      3.00      4.00",
      std::string(64, '-'),
      "Stand. dev. of diff. calc. from meas. runoff:   0.707",
      "Coefficient of explanation (R square) is    :    0.83",
  };
  EXPECT_EQ(Written(), expected);
  EXPECT_NEAR(ws.RSquare, 0.8333, 1e-4);
  EXPECT_EQ(ws.SumRunMeas, 6);
  EXPECT_EQ(ws.MeanRunMeas, 2);
  EXPECT_EQ(dm.FileName, path);
  // Every line of the file ends in CR LF, the last one included.
  const auto bytes = ReadFileBytes(dir.File("case.out"));
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
}

TEST_F(OutputFile, PredictionLayout) {
  auto& ws = dm.Prediction();
  ws.PredMaxSto = 100;
  ws.PredIniSto = 0;
  ws.PredMaxEsc = 2;
  dm.Analysis().NrOfRes = 2;
  dm.Analysis().Alpha = 0.05;
  PredPoints({{1, 1, 12.5, 3.2, 0.95}, {2, 2, 0, 0, 0.9}});
  dm.WritePredictionResults();
  const std::vector<std::string> expected = {
      "RESULTS OF Tolvane PROGRAM",
      "",
      "Title one",
      "Title two",
      "Name of input file used: " + dir.File("case.inp"),
      "",
      "Maximum dead storage:   100.00 mm",
      "Initial dead storage:     0.00 mm",
      "Max. escape/time unit:    2.00 ",
      "Number of reservoirs:     2 ",
      "Alpha coefficient:        0.050 ",
      "",
      "PREDICTION runoff:",
      std::string(46, '-'),
      "Serial    Time   Rain/Irr  Recharge    Runoff ",
      "           t       mm/t      mm/t       mm/t ",
      std::string(48, '-'),
      "   1      1.00     12.50      3.20      0.95",
      "   2      2.00      0.00      0.00      0.90",
      std::string(47, '-'),
  };
  EXPECT_EQ(Written(), expected);
}

TEST_F(OutputFile, SerialColumns) {
  Points({{9, 1, 0, 0, 1, 1},
          {10, 2, 0, 0, 1, 1},
          {99, 3, 0, 0, 1, 1},
          {100, 4, 0, 0, 1, 1},
          {1000, 5, 0, 0, 1, 1}});
  dm.WriteReconstructionResults();
  auto lines = Written();
  EXPECT_EQ(lines[18].substr(0, 4), " 9  ");
  EXPECT_EQ(lines[19].substr(0, 4), " 10 ");
  EXPECT_EQ(lines[20].substr(0, 4), " 99 ");
  EXPECT_EQ(lines[21].substr(0, 4), " 100");
  EXPECT_EQ(lines[22].substr(0, 5), " 1000");
  EXPECT_EQ(lines[21].size(), 54u);
  EXPECT_EQ(lines[22].size(), 55u);

  PredPoints({{9, 1, 0, 0, 1}, {10, 2, 0, 0, 1}, {99, 3, 0, 0, 1}, {100, 4, 0, 0, 1},
              {1000, 5, 0, 0, 1}});
  dm.WritePredictionResults();
  lines = Written();
  EXPECT_EQ(lines[17].substr(0, 4), "   9");
  EXPECT_EQ(lines[18].substr(0, 4), "  10");
  EXPECT_EQ(lines[19].substr(0, 4), "  99");
  EXPECT_EQ(lines[20].substr(0, 4), " 100");
  EXPECT_EQ(lines[21].substr(0, 5), " 1000");
  EXPECT_EQ(lines[20].size(), 44u);
}

TEST_F(OutputFile, WideValuesTouchTheColumnBefore) {
  Points({{1, 1, 12345678.5, 0, 1, 1}, {2, 2, 0, 0, 2, 2}});
  dm.WriteReconstructionResults();
  EXPECT_EQ(Written()[18], " 1        1.0012345678.50      0.00      1.00      1.00");
}

TEST_F(OutputFile, PerfectFitAndSinglePointHaveZeroSpread) {
  Points({{1, 1, 0, 0, 1, 1}, {2, 2, 0, 0, 2, 2}});
  dm.WriteReconstructionResults();
  auto lines = Written();
  EXPECT_EQ(lines[21], "Stand. dev. of diff. calc. from meas. runoff:   0.000");
  EXPECT_EQ(lines[22], "Coefficient of explanation (R square) is    :    1.00");
  Points({{1, 1, 0, 0, 1, 0.5}});
  dm.WriteReconstructionResults();
  lines = Written();
  EXPECT_EQ(lines[20], "Stand. dev. of diff. calc. from meas. runoff:   0.000");
  EXPECT_EQ(lines[21], "Coefficient of explanation (R square) is    :    0.50");
}

TEST_F(OutputFile, ExtensionsOfTheFileNames) {
  struct TCase {
    const char* Input;
    const char* Output;
    const char* NameUsed;
  };
  const TCase cases[] = {{"a.inp", "a.out", "a.inp"},
                         {"b.txt", "b.out", "b.inp"},
                         {"noext", "noext.out", "noext.inp"},
                         {"two.dots.dat", "two.dots.out", "two.dots.inp"}};
  Points({{1, 1, 0, 0, 1, 1}, {2, 2, 0, 0, 2, 2}});
  for (const auto& c : cases) {
    dm.FileName = dir.File(c.Input);
    dm.WriteReconstructionResults();
    EXPECT_TRUE(std::filesystem::exists(dir.File(c.Output))) << c.Input;
    EXPECT_EQ(dm.FileName, dir.File(c.NameUsed));
    EXPECT_EQ(SplitCrLfLines(ReadFileBytes(dir.File(c.Output)))[4],
              "Name of input file used: " + dir.File(c.NameUsed));
  }
  // A folder in the way of a dotted folder name is not taken for an extension.
  EXPECT_EQ(ChangeFileExt("/x.d/name", ".out"), "/x.d/name.out");
}

TEST_F(OutputFile, FileThatCannotBeWrittenIsAnErrorForTheCaller) {
  Points({{1, 1, 0, 0, 1, 1}});
  std::filesystem::create_directory(dir.File("busy.out"));
  dm.FileName = dir.File("busy.inp");
  EXPECT_THROW(dm.WriteReconstructionResults(), TInOutError);
  EXPECT_EQ(dm.FileName, dir.File("busy.out"));
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("busy.out")));
}

}  // namespace
