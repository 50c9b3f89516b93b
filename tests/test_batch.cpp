// tolvane-batch as a user runs it: exit status, what it prints, what it writes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <filesystem>

#include "support/test_support.h"

namespace {

struct TResult {
  int Status = -1;
  std::string Out, Err;
};

TResult Batch(const TScratchDir& dir, const std::string& args) {
  const auto out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  const std::string command = "cd '" + dir.Path.string() + "' && '" + TOLVANE_BATCH + "' " + args +
                              " > '" + out + "' 2> '" + err + "'";
  const int raw = std::system(command.c_str());
  TResult r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = ReadFileBytes(out);
  r.Err = ReadFileBytes(err);
  return r;
}

const char* const Params = "--max-storage 20 --initial-storage 10 --max-escape 1";

class BatchTool : public ::testing::Test {
protected:
  void Csv(const std::string& text) { WriteFileBytes(dir.File("data.csv"), text); }
  TScratchDir dir;
};

TEST_F(BatchTool, ImportWritesTheInputFileAndRunRunsIt) {
  std::string csv;
  for (int i = 1; i <= 40; ++i)
    csv += "1990,1," + std::to_string(i) + "," + (i % 7 == 2 ? "25.5" : "0.0") + ",0.3," +
           std::to_string(1 + (i % 7) * 0.1) + "\n";
  Csv(csv);
  auto r = Batch(dir, std::string("import data.csv -o a.inp --option determine --rain-column 4 "
                                  "--runoff-column 6 --title1 'My area' ") + Params);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("a.inp")));
  ASSERT_EQ(lines.size(), 54u);
  EXPECT_EQ(lines[3], "My area");
  EXPECT_EQ(lines[6], " Filename: " + dir.File("a.inp"));
  EXPECT_EQ(lines[14], "    1         1.00  0.0E+0000       1.10");
  EXPECT_EQ(lines[15], "    2         2.00      25.50       1.20");

  r = Batch(dir, "run a.inp");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(std::filesystem::exists(dir.File("a.out")));
  EXPECT_NE(r.Out.find("reservoirs "), std::string::npos);
  EXPECT_NE(r.Out.find("R square "), std::string::npos);
  EXPECT_NE(r.Out.find("output " + dir.File("a.out")), std::string::npos);
}

TEST_F(BatchTool, ImportWithTimesLeavesOutIncompleteRows) {
  // Spreadsheets end their lines in any of the three ways.
  for (const std::string end : {"\n", "\r\n", "\r"}) {
    SCOPED_TRACE(end == "\r" ? "CR" : end == "\n" ? "LF" : "CR LF");
    Csv("t,rain,q" + end + "0.5,1,2" + end + "1.5,,3" + end + "2.5,2," + end + "3.5,0,1" + end);
    auto r = Batch(dir, std::string("import data.csv -o b.inp --option determine --first-row 2 "
                                    "--time-column 1 --rain-column 2 --runoff-column 3 --force ") +
                            Params);
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("b.inp")));
    ASSERT_EQ(lines.size(), 16u);
    EXPECT_EQ(lines[14], "    1  5.000E-0001       1.00       2.00");
    EXPECT_EQ(lines[15], "    2         3.50  0.0E+0000       1.00");
    // Under the prediction a runoff column is not looked at.
    r = Batch(dir, std::string("import data.csv -o p.inp --option predict --first-row 2 --rows 3 "
                               "--time-column 1 --rain-column 2 --reservoirs 2 --alpha 0.3 "
                               "--initial-runoff 1 --force ") +
                       Params);
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto pred = SplitCrLfLines(ReadFileBytes(dir.File("p.inp")));
    ASSERT_EQ(pred.size(), 19u);
    EXPECT_EQ(pred[10], " Number of reservoirs:     2");
    EXPECT_EQ(pred[18], "    2         2.50       2.00");
  }
}

struct TRefusal {
  const char* Name;
  const char* Csv;
  const char* Args;
  int Status;
  const char* Says;
};

class BatchRefusal : public BatchTool, public ::testing::WithParamInterface<TRefusal> {};

TEST_P(BatchRefusal, WritesNothing) {
  const auto& c = GetParam();
  Csv(c.Csv);
  const auto r = Batch(dir, std::string(c.Args));
  EXPECT_EQ(r.Status, c.Status) << r.Err;
  EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.inp")));
}

#define DET "import data.csv -o x.inp --option determine --rain-column 1 --runoff-column 2 "
#define PARAMS "--max-storage 20 --initial-storage 10 --max-escape 1"

INSTANTIATE_TEST_SUITE_P(
    Cases, BatchRefusal,
    ::testing::Values(
        TRefusal{"NotANumber", "1,2\n1,abc\n", DET PARAMS, 1, "data.csv:2: column 2: \"abc\" is not a number"},
        TRefusal{"MissingColumn", "1,2\n1\n", DET PARAMS, 1, "data.csv:2: column 2 is missing"},
        TRefusal{"NegativeRain", "1,2\n-1,2\n", DET PARAMS, 1,
                 "The input data were not saved due to input errors like negative values or a "
                 "non-sequential time series"},
        TRefusal{"EqualTimes", "1,1,2\n1,2,3\n",
                 "import data.csv -o x.inp --option determine --time-column 1 --rain-column 2 "
                 "--runoff-column 3 " PARAMS,
                 1, "non-sequential time series"},
        TRefusal{"MissingCsv", "", "import none.csv -o x.inp --option determine --rain-column 1 "
                                   "--runoff-column 2 " PARAMS,
                 1, "none.csv: cannot be opened"},
        TRefusal{"NoOption", "1,2\n", "import data.csv -o x.inp --rain-column 1 " PARAMS, 2,
                 "--option must be determine or predict"},
        TRefusal{"NoRunoffColumn", "1,2\n",
                 "import data.csv -o x.inp --option determine --rain-column 1 " PARAMS, 2,
                 "--runoff-column"},
        TRefusal{"BadReservoirs", "1,2\n",
                 "import data.csv -o x.inp --option predict --rain-column 1 --reservoirs 6 "
                 "--alpha 1 --initial-runoff 1 " PARAMS,
                 2, "--reservoirs must be 1 to 5"},
        TRefusal{"StorageAboveMaximum", "1,2\n",
                 DET "--max-storage 20 --initial-storage 30 --max-escape 1", 2,
                 "The initial storage be <= the maximum storage"},
        TRefusal{"UnknownOption", "1,2\n", DET PARAMS " --colour red", 2, "unknown option --colour"},
        TRefusal{"RowsBeyondTheTable", "1,2\n1,2\n", DET PARAMS " --rows 5", 1, "fewer than rows"},
        TRefusal{"NoCommand", "", "", 2, "usage"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(BatchTool, ExistingFileNeedsForce) {
  Csv("1,2\n2,3\n");
  WriteFileBytes(dir.File("x.inp"), "keep me");
  auto r = Batch(dir, DET PARAMS);
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("--force"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir.File("x.inp")), "keep me");
  r = Batch(dir, DET PARAMS " --force");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(ReadFileBytes(dir.File("x.inp")), "keep me");
}

TEST_F(BatchTool, TooManyRows) {
  std::string csv;
  for (int i = 0; i < 1501; ++i) csv += "1,2\n";
  Csv(csv);
  auto r = Batch(dir, DET PARAMS);
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("at most 1500"), std::string::npos) << r.Err;
  r = Batch(dir, DET PARAMS " --rows 1500");
  EXPECT_EQ(r.Status, 0) << r.Err;
}

TEST_F(BatchTool, RunReportsFailuresAndUsage) {
  // A failed run: its message on standard error, status 1, no output file.
  Csv("1,2\n1,2\n1,2\n");
  ASSERT_EQ(Batch(dir, DET PARAMS).Status, 0);
  auto r = Batch(dir, "run x.inp");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("There is no variation in runoff values."), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("x.out")));
  EXPECT_TRUE(r.Out.empty());

  r = Batch(dir, "run missing.inp");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("could not be opened"), std::string::npos);
  EXPECT_EQ(Batch(dir, "run").Status, 2);
  EXPECT_EQ(Batch(dir, "run a.inp b.inp").Status, 2);

  // A parameter that is no number.
  WriteFileBytes(dir.File("bad.inp"), " x\r\n Ana\r\n\r\n\r\n\r\n\r\n\r\n Maximum dead storage:  abc\r\n");
  r = Batch(dir, "run bad.inp");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("Invalid numeric input"), std::string::npos);
}

TEST_F(BatchTool, RealRecordFromTableToResults) {
  const auto shared = SharedDataDir();
  if (shared.empty()) GTEST_SKIP() << "no shared data";
  auto r = Batch(dir, "import " + shared +
                          "/catchments/mopex_25.csv -o det25.inp --option determine --rain-column 4 "
                          "--runoff-column 6 --first-row 1000 --rows 180 --max-storage 20 "
                          "--initial-storage 20 --max-escape 2 --title1 'MOPEX catchment 25 from day "
                          "1000' --title2 'Daily P and Q in mm per day'");
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto mine = SplitCrLfLines(ReadFileBytes(dir.File("det25.inp")));
  auto golden = SplitCrLfLines(ReadFileBytes(shared + "/golden/det25.inp"));
  mine.erase(mine.begin() + 6);
  golden.erase(golden.begin() + 6);
  EXPECT_EQ(mine, golden);
  r = Batch(dir, "run det25.inp");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "reservoirs 5, alpha 0.006, R square 0.80, output " + dir.File("det25.out") + "\n");
}

}  // namespace

namespace {

TEST_F(BatchTool, GraphOfARunsOutputFile) {
  std::string csv;
  for (int i = 1; i <= 40; ++i)
    csv += std::string(i % 6 == 2 ? "20" : "0") + "," + std::to_string(1 + (i % 6) * 0.2) + "\n";
  Csv(csv);
  ASSERT_EQ(Batch(dir, DET PARAMS).Status, 0);
  ASSERT_EQ(Batch(dir, "run x.inp").Status, 0);
  for (int kind : {1, 3, 7}) {
    const auto bmp = "g" + std::to_string(kind) + ".bmp";
    const auto r = Batch(dir, "graph x.out --kind " + std::to_string(kind) + " -o " + bmp);
    EXPECT_EQ(r.Status, 0) << r.Err;
    EXPECT_TRUE(r.Err.empty()) << r.Err;
    const auto bytes = ReadFileBytes(dir.File(bmp));
    ASSERT_EQ(bytes.size(), 54u + 465u * 1872u);  // rows of 623 * 3 bytes padded to 1872
    EXPECT_EQ(bytes.substr(0, 2), "BM");
  }
  // A prediction graph of a reconstruction file.
  auto r = Batch(dir, "graph x.out --kind 2 -o p.bmp");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("graph kind 2 is drawn from a prediction output file"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir.File("p.bmp")));
  // Usage, a missing file, a target that cannot be written.
  EXPECT_EQ(Batch(dir, "graph x.out --kind 5 -o p.bmp").Status, 2);
  EXPECT_EQ(Batch(dir, "graph x.out -o p.bmp").Status, 2);
  r = Batch(dir, "graph none.out --kind 1 -o p.bmp");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("could not be opened"), std::string::npos);
  r = Batch(dir, "graph x.out --kind 1 -o no/such/p.bmp");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("could not be saved"), std::string::npos);
}

}  // namespace
