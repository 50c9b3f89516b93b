// tolvane-batch as a user runs it: exit status, what it prints, what it writes.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <array>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <sstream>

#include "batch/commands.h"
#include "base/numformat.h"
#include "files/filepaths.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace {

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
        TRefusal{"NegativeRunoffNamed", "P,Q\n1,2\n1,-0.5\n", DET PARAMS, 1,
                 "data.csv:3: column 2 (Q): the runoff -0.5 is negative\nThe input data were not "
                 "saved"},
        TRefusal{"TimeBackNamed", "1,1,2\n3,2,3\n2,2,3\n",
                 "import data.csv -o x.inp --option determine --time-column 1 --rain-column 2 "
                 "--runoff-column 3 " PARAMS,
                 1, "data.csv:3: column 1: the time 2 does not follow 3 of line 2\n"},
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
        TRefusal{"Delimiter", "1,2\n", DET PARAMS " --delimiter pipe", 2,
                 "--delimiter must be auto, comma, semicolon or tab"},
        TRefusal{"Decimal", "1,2\n", DET PARAMS " --decimal dot", 2,
                 "--decimal must be auto, point or comma"},
        TRefusal{"Header", "1,2\n", DET PARAMS " --header maybe", 2,
                 "--header must be auto, yes or no"},
        TRefusal{"TimeUnit", "1,2\n", DET PARAMS " --date-column 1 --time-unit week", 2,
                 "--time-unit must be day or hour"},
        TRefusal{"TwoDateColumns", "1,2\n", DET PARAMS " --date-columns 1,2", 2,
                 "--date-columns takes three columns Y,M,D"},
        TRefusal{"TimesTwice", "1,2\n", DET PARAMS " --time-column 1 --date-column 1", 2,
                 "give one of --time-column, --date-column and --date-columns"},
        TRefusal{"UnitWithoutDates", "1,2\n", DET PARAMS " --time-unit hour", 2,
                 "--time-unit goes with --date-column or --date-columns"},
        TRefusal{"FromNoDate", "1,2\n", DET PARAMS " --date-column 1 --from 1985-13-01", 2,
                 "--from: \"1985-13-01\" is not a date"},
        TRefusal{"ToNoTime", "1,2\n", DET PARAMS " --to May", 2,
                 "--to: \"May\" is not a time value"},
        TRefusal{"NegativeGap", "1,2\n", DET PARAMS " --max-gap -1", 2, "--max-gap must be 0 or more"},
        TRefusal{"GapWithTimes", "1,2\n", DET PARAMS " --time-column 1 --max-gap 2", 2,
                 "--max-gap does not go with --time-column"},
        TRefusal{"ZeroColumn", "1,2\n", DET PARAMS " --date-column 0", 2,
                 "--date-column counts from 1"},
        TRefusal{"NoSuchName", "date;P;Q\n1985-01-01;1;2\n",
                 "import data.csv -o x.inp --option determine --date-column date --rain-column "
                 "rain --runoff-column Q " PARAMS,
                 1, "data.csv:1: no column \"rain\" in the header (date, P, Q)"},
        TRefusal{"RainMissing", "date;P;Q\n1985-01-01;1;2\n1985-01-02;NA;2\n1985-01-03;0;1\n",
                 "import data.csv -o x.inp --option determine --date-column 1 --rain-column 2 "
                 "--runoff-column 3 " PARAMS,
                 1, "data.csv:3: column 2 (P): rain missing (\"NA\") on 1985-01-02"},
        TRefusal{"GapTooLong",
                 "date;P;Q\n1985-01-01;1;2\n1985-01-02;1;\n1985-01-03;0;\n1985-01-04;0;1\n",
                 "import data.csv -o x.inp --option determine --date-column 1 --rain-column 2 "
                 "--runoff-column 3 --max-gap 1 " PARAMS,
                 1,
                 "data.csv:3: column 3 (Q): runoff missing from 1985-01-02 to 1985-01-03 (2 values, "
                 "lines 3 to 4); at most 1 in a row are interpolated"},
        TRefusal{"DateJump", "1985,1,30,1,0,2\n1985,1,31,1,0,2\n1985,2,2,1,0,2\n",
                 "import data.csv -o x.inp --option determine --date-columns 1,2,3 --rain-column 4 "
                 "--runoff-column 6 " PARAMS,
                 1,
                 "data.csv:3: 1985-02-02 follows 1985-01-31 of line 2; the dates must follow each "
                 "other at one step of 1 day"},
        TRefusal{"NoCommand", "", "", 2, "usage"}),
    CaseName);

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
  const auto out = SplitLines(r.Out, "\n");
  ASSERT_EQ(out.size(), 2u) << r.Out;
  EXPECT_EQ(out[0], "reservoirs 5, alpha 0.006, R square 0.80, output " + dir.File("det25.out"));
  // The criteria in full precision; the R square is the one printed above.
  EXPECT_TRUE(out[1].starts_with("R square 0.80")) << out[1];
  EXPECT_NE(out[1].find(", NSE "), std::string::npos);
  EXPECT_NE(out[1].find(", KGE "), std::string::npos);
  // The volume error in % and the RMSE after them.
  EXPECT_NE(out[1].find(" %, RMSE "), std::string::npos) << out[1];
  const auto volume = out[1].find(", volume error ");
  ASSERT_NE(volume, std::string::npos) << out[1];
  EXPECT_GT(std::stod(out[1].substr(volume + 15)), -100);
  // alpha 0.006 is inside its range: no warning.
  EXPECT_TRUE(r.Err.empty()) << r.Err;
}

// MOPEX records imported by date against the input files made from the same
// rows by number (the golden ones name the period by rows FIRST .. LAST).
struct TByDate {
  const char* Golden;
  const char* Record;
  const char* From;
  const char* To;
  const char* Lines;
  int Points;
  const char* Params;
};

class ImportByDate : public BatchTool, public ::testing::WithParamInterface<TByDate> {};

TEST_P(ImportByDate, GivesTheGoldenInputFile) {
  const auto shared = SharedDataDir();
  if (shared.empty()) GTEST_SKIP() << "no shared data";
  const auto& c = GetParam();
  auto expected = SplitCrLfLines(ReadFileBytes(shared + "/golden/" + c.Golden + ".inp"));
  ASSERT_GT(expected.size(), 7u);
  const std::string record = shared + "/catchments/" + c.Record + ".csv";
  const auto r = Batch(dir, "import " + record + " -o m.inp --date-columns 1,2,3 --rain-column 4 " +
                                "--runoff-column 6 --from " + c.From + " --to " + c.To + " " +
                                c.Params + " --title1 '" + expected[3] + "' --title2 '" +
                                expected[4] + "'");
  ASSERT_EQ(r.Status, 0) << r.Err;
  auto mine = SplitCrLfLines(ReadFileBytes(dir.File("m.inp")));
  mine.erase(mine.begin() + 6);
  expected.erase(expected.begin() + 6);
  EXPECT_EQ(mine, expected);
  const auto out = SplitLines(r.Out, "\n");
  ASSERT_EQ(out.size(), 2u) << r.Out;
  EXPECT_EQ(out[0], record + ": comma separated, decimal point, no header, dates " + c.From +
                        " to " + c.To + " every 1 day (" + c.Lines + ")");
  EXPECT_EQ(out[1], dir.File("m.inp") + ": " + std::to_string(c.Points) + " points");
}

INSTANTIATE_TEST_SUITE_P(
    Records, ImportByDate,
    ::testing::Values(
        TByDate{"det262", "mopex_262", "1980-03-18", "1980-09-13", "lines 3000 to 3179", 180,
                "--option determine --max-storage 5 --initial-storage 5 --max-escape 2"},
        TByDate{"det120long", "mopex_120", "1977-06-22", "1981-07-30", "lines 2000 to 3499", 1500,
                "--option determine --max-storage 30 --initial-storage 20 --max-escape 1"},
        TByDate{"pred262", "mopex_262", "1980-03-18", "1980-09-13", "lines 3000 to 3179", 180,
                "--option predict --max-storage 5 --initial-storage 5 --max-escape 2 --reservoirs 1 "
                "--alpha 0.108 --initial-runoff 2.5"},
        TByDate{"pred25", "mopex_25", "1975-04-14", "1976-04-12", "lines 1200 to 1564", 365,
                "--option predict --max-storage 20 --initial-storage 0 --max-escape 2 --reservoirs 3 "
                "--alpha 0.35 --initial-runoff 0.2"}),
    [](const auto& test) { return std::string(test.param.Golden); });

// The same record as a spreadsheet on the continent exports it: a header,
// semicolons, decimal commas, day first, CR LF and a byte order mark.
std::string EuropeanExport(const std::string& mopex) {
  std::string out = "\xEF\xBB\xBF" "Datum;P_mm;Ep_mm;Q_mm\r\n";
  for (const std::string& line : SplitLines(mopex, "\n")) {
    std::vector<std::string> cells = SplitLines(line, ",");
    for (auto& cell : cells)
      for (char& ch : cell)
        if (ch == '.') ch = ',';
    char date[16];
    std::snprintf(date, sizeof date, "%02d.%02d.%04d", std::stoi(cells[2]), std::stoi(cells[1]),
                  std::stoi(cells[0]));
    out += std::string(date) + ";" + cells[3] + ";" + cells[4] + ";" + cells[5] + "\r\n";
  }
  return out;
}

TEST_F(BatchTool, EuropeanExportByDateGivesTheGoldenInputFile) {
  const auto shared = SharedDataDir();
  if (shared.empty()) GTEST_SKIP() << "no shared data";
  Csv(EuropeanExport(ReadFileBytes(shared + "/catchments/mopex_25.csv")));
  auto r = Batch(dir, std::string("import data.csv -o e.inp --option determine --date-column datum "
                                  "--rain-column P_mm --runoff-column q_mm --from 26.09.1974 --to "
                                  "1975-03-24 --max-storage 20 --initial-storage 20 --max-escape 2 "
                                  "--title1 'MOPEX catchment 25 from day 1000' --title2 'Daily P "
                                  "and Q in mm per day'"));
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "data.csv: semicolon separated, decimal comma, header line 1, dates 1974-09-26 "
                   "to 1975-03-24 every 1 day (lines 1001 to 1180)\n" +
                       dir.File("e.inp") + ": 180 points\n");
  EXPECT_TRUE(r.Err.empty()) << r.Err;
  auto mine = SplitCrLfLines(ReadFileBytes(dir.File("e.inp")));
  auto golden = SplitCrLfLines(ReadFileBytes(shared + "/golden/det25.inp"));
  mine.erase(mine.begin() + 6);
  golden.erase(golden.begin() + 6);
  EXPECT_EQ(mine, golden);

  // The whole record is counted against the limit, with its dates.
  r = Batch(dir, std::string("import data.csv -o w.inp --option determine --date-column 1 "
                             "--rain-column 2 --runoff-column 4 ") + Params);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "data.csv: 10958 rows selected (1972-01-01 to 2001-12-31); the model "
                   "determination takes at most 1500 (choose them with --first-row and --rows, or "
                   "--from and --to)\n");
  EXPECT_FALSE(std::filesystem::exists(dir.File("w.inp")));
}

TEST_F(BatchTool, ImportFillsHolesAndSaysSo) {
  Csv("Date\tRain\tFlow\n1990-03-01 06:00\t0\t2\n1990-03-02 06:00\t5\tNA\n"
      "1990-03-03 06:00\t1\t\n1990-03-04 06:00\t0\t3,5\n1990-03-05 06:00\t0\t3\n");
  auto r = Batch(dir, std::string("import data.csv -o h.inp --option determine --date-column 1 "
                                  "--rain-column Rain --runoff-column 3 ") + Params);
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "data.csv:3: 1990-03-02 06:00: runoff interpolated: 2.5\n"
                   "data.csv:4: 1990-03-03 06:00: runoff interpolated: 3\n");
  const auto out = SplitLines(r.Out, "\n");
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0], "data.csv: tab separated, decimal comma, header line 1, dates 1990-03-01 06:00 "
                    "to 1990-03-05 06:00 every 1 day (lines 2 to 6)");
  EXPECT_EQ(out[1], dir.File("h.inp") + ": 5 points (2 runoff values interpolated)");
  const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("h.inp")));
  ASSERT_EQ(lines.size(), 19u);
  EXPECT_EQ(lines[4], "time 1 = 1990-03-01 06:00, time unit 1 day");
  EXPECT_EQ(lines[15], "    2         2.00       5.00       2.50");
  EXPECT_EQ(lines[16], "    3         3.00       1.00       3.00");

  // A prediction reads no runoff and says it does not.
  r = Batch(dir, std::string("import data.csv -o p.inp --option predict --date-column 1 "
                             "--rain-column 2 --runoff-column 3 --reservoirs 2 --alpha 0.3 "
                             "--initial-runoff 1 ") + Params);
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "data.csv: a prediction takes no runoff; the runoff column is not read\n");
  EXPECT_EQ(SplitLines(r.Out, "\n").at(1), dir.File("p.inp") + ": 5 points");
}

// The value after "name " up to the next comma or the line's end.
double ValueAfter(const std::string& line, const std::string& name) {
  const auto at = line.find(name + " ");
  if (at == std::string::npos) return std::nan("");
  return std::stod(line.substr(at + name.size() + 1));
}

TEST_F(BatchTool, CalibrateWritesTheBestFileThatGivesItsFigure) {
  const std::string original = ReadFileBytes(SourceDir() + "/Data/calibrate_daily.inp");
  WriteFileBytes(dir.File("c.inp"), original);
  auto r = Batch(dir, "calibrate c.inp -o best.inp");
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto out = SplitLines(r.Out, "\n");
  ASSERT_EQ(out.size(), 5u) << r.Out;
  EXPECT_TRUE(out[0].starts_with("before: maximum storage 6.00, initial storage 3.00, escape rate "
                                 "0.200: reservoirs 2, alpha 0.300, R square 0.98"))
      << out[0];
  EXPECT_TRUE(out[1].starts_with("after:  maximum storage ")) << out[1];
  EXPECT_GE(ValueAfter(out[1], "R square"), ValueAfter(out[0], "R square"));
  EXPECT_NE(out[2].find(dir.File("best.inp") + " written"), std::string::npos);
  EXPECT_TRUE(out[3].starts_with("reservoirs 2, alpha 0.300, R square 0.98, output " +
                                 dir.File("best.out")))
      << out[3];
  EXPECT_EQ(ValueAfter(out[4], "R square"), ValueAfter(out[1], "R square"));

  // Lines 7 to 10 replaced, every other byte kept.
  auto mine = SplitCrLfLines(ReadFileBytes(dir.File("best.inp")));
  auto theirs = SplitCrLfLines(original);
  EXPECT_EQ(mine[6], " Filename: " + dir.File("best.inp"));
  EXPECT_EQ(mine[7].substr(0, 23), " Maximum dead storage: ");
  mine.erase(mine.begin() + 6, mine.begin() + 10);
  theirs.erase(theirs.begin() + 6, theirs.begin() + 10);
  EXPECT_EQ(mine, theirs);
  ASSERT_TRUE(std::filesystem::exists(dir.File("best.out")));

  // Run again, the file gives the figure reported.
  const auto again = Batch(dir, "run best.inp");
  ASSERT_EQ(again.Status, 0) << again.Err;
  EXPECT_EQ(SplitLines(again.Out, "\n").at(1), out[4]);

  // Not replaced without --force; with it, the same result again.
  const std::string best = ReadFileBytes(dir.File("best.inp"));
  r = Batch(dir, "calibrate c.inp -o best.inp");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("--force"), std::string::npos) << r.Err;
  r = Batch(dir, "calibrate c.inp -o best.inp --force");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadFileBytes(dir.File("best.inp")), best);
  EXPECT_EQ(SplitLines(r.Out, "\n").at(1), out[1]);

  // Another objective.
  r = Batch(dir, "calibrate c.inp -o kge.inp --objective kge --max-storage 2:20");
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto kge = SplitLines(r.Out, "\n");
  EXPECT_GE(ValueAfter(kge.at(1), "KGE"), ValueAfter(kge.at(0), "KGE"));
  EXPECT_EQ(ValueAfter(kge.at(4), "KGE"), ValueAfter(kge.at(1), "KGE"));
}

class CalibrateRefusal : public BatchTool, public ::testing::WithParamInterface<TBatchRefusal> {};

TEST_P(CalibrateRefusal, WritesNothing) {
  const auto& c = GetParam();
  TDMQuorell dm;
  WriteAnalysisFile(dm, dir.File("a.inp"), {1, 2, 3, 4}, {0, 9, 0, 0}, {1, 3, 2, 1.5});
  WriteAnalysisFile(dm, dir.File("flat.inp"), {1, 2, 3}, {0, 9, 0}, {2, 2, 2});
  WriteAnalysisFile(dm, dir.File("back.inp"), {1, 3, 2}, {0, 9, 0}, {1, 3, 2});
  WritePredictionFile(dm, dir.File("p.inp"), {1, 2, 3}, {0, 9, 0}, 2, 0.3, 1);
  const auto r = Batch(dir, std::string("calibrate ") + c.Args);
  EXPECT_EQ(r.Status, c.Status) << r.Err;
  EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.inp")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("b.out")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CalibrateRefusal,
    ::testing::Values(
        TBatchRefusal{"Prediction", "p.inp -o b.inp", 1, "is the input file of a prediction"},
        TBatchRefusal{"NoOutput", "a.inp", 2, "calibrate needs -o BEST.inp"},
        TBatchRefusal{"TwoInputs", "a.inp flat.inp -o b.inp", 2, "one record DATA"},
        TBatchRefusal{"ReversedRange", "a.inp -o b.inp --max-storage 5:1", 2, "0 < LO <= HI"},
        TBatchRefusal{"ZeroLow", "a.inp -o b.inp --max-storage 0:10", 2, "0 < LO <= HI"},
        TBatchRefusal{"NoRange", "a.inp -o b.inp --max-storage 5", 2, "LO:HI"},
        TBatchRefusal{"TextRange", "a.inp -o b.inp --max-storage a:b", 2, "LO:HI"},
        TBatchRefusal{"HugeRange", "a.inp -o b.inp --max-storage 1:1e6", 2, "100000 mm"},
        TBatchRefusal{"NoStoredValue", "a.inp -o b.inp --max-storage 1.001:1.004", 2,
                          "no maximum storage"},
        TBatchRefusal{"Objective", "a.inp -o b.inp --objective rmse", 2,
                          "--objective must be rsquare, nse, kge, kge2012, lognse or sqrtnse"},
        TBatchRefusal{"Missing", "none.inp -o b.inp", 2, "could not be opened"},
        TBatchRefusal{"NoVariation", "flat.inp -o b.inp", 1,
                          "There is no variation in runoff values."},
        TBatchRefusal{"TimeGoesBack", "back.inp -o b.inp", 1, "Incorrect time sequence"}),
    CaseName);

TEST_F(BatchTool, RunWarnsOfAnEscapeLargerThanTheStore) {
  TDMQuorell dm;
  WriteAnalysisFile(dm, dir.File("e.inp"), {1, 2, 3, 10, 11}, {0, 9, 0, 4, 0},
                    {1, 3, 2, 1.5, 1.25}, 10, 5, 1.5);
  const auto r = Batch(dir, "run e.inp");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Err.find("Warning: the escape rate 1.5 times the time step 7 (points 3 to 4) is "
                       "more than the maximum storage 10"),
            std::string::npos)
      << r.Err;
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

// The options a usage line names, such as "--rain-column" and "-o".
std::vector<std::string> UsageOptions(const std::string& usage) {
  std::vector<std::string> options;
  for (std::size_t at = usage.find('-'); at != std::string::npos; at = usage.find('-', at + 1)) {
    const bool starts = at == 0 || usage[at - 1] == ' ' || usage[at - 1] == '[';
    if (!starts || at + 1 >= usage.size()) continue;
    const std::size_t end = usage.find_first_of(" ]\n", at);
    options.push_back(usage.substr(at, end - at));
    at = end - 1;
  }
  return options;
}

TEST_F(BatchTool, HelpShowsEveryCommandWithItsOptionsAndTheExitStatuses) {
  const auto r = Batch(dir, "--help");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_TRUE(r.Err.empty()) << r.Err;
  EXPECT_EQ(Batch(dir, "-h").Out, r.Out);
  ASSERT_FALSE(Commands().empty());
  for (const TCommand& command : Commands()) {
    SCOPED_TRACE(command.Name);
    const std::string usage = CommandUsage(command);
    EXPECT_NE(r.Out.find(usage), std::string::npos);
    const std::string help = CommandHelp(command);
    EXPECT_EQ(help.rfind(std::string(command.Name) + ": ", 0), 0u) << help;
    EXPECT_NE(r.Out.find(help), std::string::npos);
    const auto options = UsageOptions(usage);
    EXPECT_FALSE(options.empty() && std::string(command.Name) != "run");
    for (const std::string& option : options) {
      SCOPED_TRACE(option);
      EXPECT_NE(help.find(option), std::string::npos) << "not explained";
      // Named in the usage, so the command takes it.
      const auto given = Batch(dir, std::string(command.Name) + " " + option + " 1");
      EXPECT_EQ(given.Err.find("unknown option"), std::string::npos) << given.Err;
    }
  }
  for (const char* unit : {"mm per time unit", "in mm", "alpha per time"})
    EXPECT_NE(r.Out.find(unit), std::string::npos) << unit;
  for (const char* status : {"\n  0  ", "\n  1  ", "\n  2  "})
    EXPECT_NE(r.Out.find(status), std::string::npos) << status;
  // Mistakes still get the short usage on standard error and status 2.
  const auto wrong = Batch(dir, "--helpme");
  EXPECT_EQ(wrong.Status, 2);
  EXPECT_TRUE(wrong.Out.empty());
}

// The manual page lists what the parser takes: every option of every
// command, from the same table; no line of --help is wider than a terminal
// of 92 columns.
TEST_F(BatchTool, TheManualPageAndHelpListEveryOption) {
  const std::string manual = ReadFileBytes(TOLVANE_MANUAL);
  const auto help = Batch(dir, "--help").Out;
  auto roff = [](std::string text) {
    std::string out;
    for (char c : text) out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
  };
  for (const TCommand& command : Commands()) {
    EXPECT_NE(manual.find(".SS " + roff(command.Name) + "\n"), std::string::npos) << command.Name;
    EXPECT_NE(manual.find(".B tolvane\\-batch " + roff(command.Name) + "\n"), std::string::npos);
    for (const TOption& option : command.Options) {
      EXPECT_NE(manual.find(".B " + roff(option.Name)), std::string::npos) << option.Name;
      EXPECT_NE(help.find("  " + std::string(option.Name)), std::string::npos) << option.Name;
    }
  }
  for (const std::string& line : SplitLines(help, "\n")) EXPECT_LE(line.size(), 92u) << line;
}

TEST_F(BatchTool, VersionIsTheProjectVersion) {
  const auto r = Batch(dir, "--version");
  EXPECT_EQ(r.Status, 0);
  EXPECT_TRUE(r.Err.empty()) << r.Err;
  EXPECT_EQ(r.Out, std::string("tolvane-batch ") + TOLVANE_VERSION + "\n");
  EXPECT_EQ(std::string(TOLVANE_VERSION).find_first_not_of("0123456789."), std::string::npos);
}

}  // namespace

namespace {

// The rows of a CSV table, each split into its cells.
std::vector<std::vector<std::string>> ReadCsv(const std::string& text, char separator) {
  std::vector<std::vector<std::string>> rows;
  for (const auto& line : SplitCrLfLines(text)) {
    rows.emplace_back(1);
    for (char c : line) {
      if (c == separator)
        rows.back().emplace_back();
      else
        rows.back().back() += c;
    }
  }
  return rows;
}

double CellValue(std::string cell, char decimalSeparator) {
  for (char& c : cell)
    if (c == decimalSeparator) c = '.';
  std::size_t used = 0;
  const double value = std::stod(cell, &used);
  EXPECT_EQ(used, cell.size()) << cell;
  return value;
}

// The blank-separated texts of a line.
std::vector<std::string> Tokens(const std::string& line) {
  std::vector<std::string> tokens;
  std::istringstream in(line);
  for (std::string t; in >> t;) tokens.push_back(t);
  return tokens;
}

struct TTableCase {
  const char* Name;
  const char* Example;  // in Data/
  bool European;
};

class RunTable : public BatchTool, public ::testing::WithParamInterface<TTableCase> {};

TEST_P(RunTable, ReadsBackToTheRunAndRoundsToTheOutputFile) {
  const auto& c = GetParam();
  const std::string example = std::string(c.Example) + ".inp";
  const std::string input = ReadFileBytes(SourceDir() + "/Data/" + example);
  WriteFileBytes(dir.File(example), input);
  const std::string flag = c.European ? " --european" : "";
  auto r = Batch(dir, "run " + example + " --table run.csv" + flag);
  ASSERT_EQ(r.Status, 0) << r.Err;

  // The same run here gives the values the table must hold.
  WriteFileBytes(dir.File("same.inp"), input);
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  dm.FileName = dir.File("same.inp");
  const bool analysis = std::string(c.Example).starts_with("determine");
  ASSERT_TRUE(dm.RunModel(analysis));
  const auto& ws = dm.Analysis();
  const auto& pred = dm.Prediction();
  const int n = analysis ? ws.AnaNrOfData : pred.PredNrOfData;
  EXPECT_NE(r.Out.find("run.csv: table of " + std::to_string(n) + " points"), std::string::npos)
      << r.Out;

  const char cellSeparator = c.European ? ';' : ',', decimal = c.European ? ',' : '.';
  const std::string csv = ReadFileBytes(dir.File("run.csv"));
  ASSERT_EQ(csv.substr(csv.size() - 2), "\r\n");
  const auto rows = ReadCsv(csv, cellSeparator);
  ASSERT_EQ(rows.size(), static_cast<std::size_t>(n) + 1);
  EXPECT_EQ(rows[0].back(), analysis ? "runoff_calculated" : "runoff");
  const auto out = SplitCrLfLines(ReadFileBytes(ChangeFileExt(dir.File(example), ".out")));
  const std::size_t firstLine = analysis ? 18 : 17;
  for (int i = 1; i <= n; ++i) {
    const auto& row = rows[static_cast<std::size_t>(i)];
    const std::vector<double> run =
        analysis ? std::vector<double>{ws.Time[i], ws.Rain[i], ws.Rech[i], ws.RunMeas[i],
                                       ws.RunCalc[i]}
                 : std::vector<double>{pred.PredTime[i], pred.PredRain[i], pred.PredRech[i],
                                       ws.RunCalc[i]};
    ASSERT_EQ(row.size(), run.size() + 1);
    EXPECT_EQ(row[0], std::to_string(analysis ? ws.Serial[i] : pred.PredSerial[i]));
    const auto printed = Tokens(out.at(firstLine + static_cast<std::size_t>(i) - 1));
    ASSERT_EQ(printed.size(), row.size());
    for (std::size_t v = 0; v < run.size(); ++v) {
      const double value = CellValue(row[v + 1], decimal);
      EXPECT_EQ(value, run[v]) << "point " << i << " column " << rows[0][v + 1];
      EXPECT_EQ(FormatFixed(value, 0, 2), printed[v + 1]) << "point " << i;
    }
  }

  // The table of the output file: the same rows, as the file prints them.
  r = Batch(dir, "table " + ChangeFileExt(example, ".out") + " -o file.csv" + flag);
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Out, "file.csv: table of " + std::to_string(n) + " points\n");
  const auto fileRows = ReadCsv(ReadFileBytes(dir.File("file.csv")), cellSeparator);
  ASSERT_EQ(fileRows.size(), rows.size());
  EXPECT_EQ(fileRows[0], rows[0]);
  for (std::size_t i = 1; i < rows.size(); ++i) {
    auto printed = Tokens(out.at(firstLine + i - 1));
    for (auto& text : printed)
      for (char& ch : text)
        if (ch == '.') ch = decimal;
    EXPECT_EQ(fileRows[i], printed);
  }
}

INSTANTIATE_TEST_SUITE_P(Examples, RunTable,
                         ::testing::Values(TTableCase{"Determination", "determine_daily", false},
                                           TTableCase{"DeterminationEuropean", "determine_hourly",
                                                      true},
                                           TTableCase{"Prediction", "predict_daily", false},
                                           TTableCase{"PredictionEuropean", "predict_daily", true}),
                         CaseName);

class TableRefusal : public BatchTool, public ::testing::WithParamInterface<TBatchRefusal> {};

TEST_P(TableRefusal, WritesNoTable) {
  const auto& c = GetParam();
  TDMQuorell dm;
  WriteAnalysisFile(dm, dir.File("a.inp"), {1, 2, 3, 4}, {0, 9, 0, 0}, {1, 3, 2, 1.5});
  WriteAnalysisFile(dm, dir.File("flat.inp"), {1, 2, 3}, {0, 9, 0}, {2, 2, 2});
  ASSERT_EQ(Batch(dir, "run a.inp").Status, 0);
  const std::string out = ReadFileBytes(dir.File("a.out"));
  const auto r = Batch(dir, c.Args);
  EXPECT_EQ(r.Status, c.Status) << r.Err;
  EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("t.csv")));
  EXPECT_EQ(ReadFileBytes(dir.File("a.out")), out);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TableRefusal,
    ::testing::Values(
        TBatchRefusal{"EuropeanAlone", "run a.inp --european", 2,
                      "--european goes with --table OUT.csv"},
        TBatchRefusal{"NoTableName", "run a.inp --table", 2, "--table needs a value"},
        TBatchRefusal{"OverTheOutputFile", "run a.inp --table ./a.out", 2,
                      "--table must name a file other than the input and output files"},
        TBatchRefusal{"OverTheInputFile", "run a.inp --table a.inp", 2,
                      "--table must name a file other than the input and output files"},
        TBatchRefusal{"ForceOnARun", "run a.inp --force", 2, "unknown option --force"},
        TBatchRefusal{"FailedRun", "run flat.inp --table t.csv", 1,
                      "There is no variation in runoff values."},
        TBatchRefusal{"NoTarget", "table a.out", 2, "table needs -o OUT.csv"},
        TBatchRefusal{"NoFile", "table -o t.csv", 2, "table takes one output file FILE.out"},
        TBatchRefusal{"OverItself", "table a.out -o a.out", 2,
                      "-o must name a file other than the output file"},
        TBatchRefusal{"Missing", "table none.out -o t.csv", 2, "could not be opened"},
        TBatchRefusal{"InputFile", "table a.inp -o t.csv", 1,
                      "holds no table of results: it has no line \"RECONSTRUCTION:\" or "
                      "\"PREDICTION runoff:\"."},
        TBatchRefusal{"Unwritable", "table a.out -o no/such/t.csv", 1,
                      "The table could not be written in \"no/such/t.csv\""}),
    CaseName);

}  // namespace

namespace {

// Width and height from a PNG's header chunk.
std::pair<unsigned, unsigned> PngSize(const std::string& bytes) {
  auto at = [&](std::size_t i) {
    return static_cast<unsigned>(static_cast<unsigned char>(bytes.at(i)));
  };
  auto word = [&](std::size_t i) {
    return at(i) << 24 | at(i + 1) << 16 | at(i + 2) << 8 | at(i + 3);
  };
  return {word(16), word(20)};
}

class GraphFormats : public BatchTool {
protected:
  void SetUp() override {
    TDMQuorell dm;
    WriteAnalysisFile(dm, dir.File("x.inp"), {1, 2, 3, 4, 5, 6}, {0, 9, 0, 0, 4, 0},
                      {1, 3, 2, 1.5, 1.8, 1.4});
    ASSERT_EQ(Batch(dir, "run x.inp").Status, 0);
  }
};

TEST_F(GraphFormats, TheExtensionChoosesTheFormat) {
  struct TCase {
    const char* Target;
    const char* Scale;
    unsigned Width, Height;
  };
  const TCase cases[] = {{"g.png", "", 623, 465},    {"G.PNG", "", 623, 465},
                         {"g2.png", "2", 1246, 930}, {"g3.png", "3", 1869, 1395},
                         {"g1.png", "1", 623, 465},  {"g.svg", "", 0, 0},
                         {"g.bmp", "1", 0, 0}};
  for (const auto& c : cases) {
    const std::string scale = *c.Scale ? std::string(" --scale ") + c.Scale : "";
    const auto r = Batch(dir, std::string("graph x.out --kind 1 -o ") + c.Target + scale);
    ASSERT_EQ(r.Status, 0) << c.Target << ": " << r.Err;
    EXPECT_EQ(r.Out, std::string(c.Target) + ": graph 1 of 6 points\n");
    const std::string bytes = ReadFileBytes(dir.File(c.Target));
    if (c.Width) {
      EXPECT_EQ(bytes.substr(0, 8), "\x89PNG\r\n\x1a\n") << c.Target;
      EXPECT_EQ(PngSize(bytes), std::make_pair(c.Width, c.Height)) << c.Target;
    } else if (std::string(c.Target).ends_with(".svg")) {
      EXPECT_TRUE(bytes.starts_with("<?xml")) << c.Target;
      EXPECT_NE(bytes.find("viewBox=\"0 0 623 465\""), std::string::npos);
    } else {
      EXPECT_EQ(bytes.substr(0, 2), "BM");
    }
  }
}

struct TGraphRefusal {
  const char* Name;
  const char* Args;
  const char* Says;
};

class GraphRefusal : public GraphFormats, public ::testing::WithParamInterface<TGraphRefusal> {};

TEST_P(GraphRefusal, ExitsWithUsageAndWritesNothing) {
  const auto& c = GetParam();
  const auto r = Batch(dir, std::string("graph x.out --kind 1 ") + c.Args);
  EXPECT_EQ(r.Status, 2) << r.Err;
  EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("usage:\n  tolvane-batch graph FILE.out"), std::string::npos) << r.Err;
  for (const char* name : {"g.jpg", "g", "g.bmp", "g.svg", "g.png", "g.png.txt"})
    EXPECT_FALSE(std::filesystem::exists(dir.File(name))) << name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GraphRefusal,
    ::testing::Values(
        TGraphRefusal{"Jpeg", "-o g.jpg",
                      "the graph file \"g.jpg\" must end in .bmp, .png or .svg"},
        TGraphRefusal{"NoExtension", "-o g", "must end in .bmp, .png or .svg"},
        TGraphRefusal{"PngThenMore", "-o g.png.txt", "must end in .bmp, .png or .svg"},
        TGraphRefusal{"ScaleFour", "-o g.png --scale 4", "--scale must be 1, 2 or 3"},
        TGraphRefusal{"ScaleZero", "-o g.png --scale 0", "--scale must be 1, 2 or 3"},
        TGraphRefusal{"ScaleText", "-o g.png --scale two",
                      "--scale takes a whole number, not \"two\""},
        TGraphRefusal{"ScaledBitmap", "-o g.bmp --scale 2", "--scale is for PNG graphs"},
        TGraphRefusal{"ScaledSvg", "-o g.svg --scale 3", "--scale is for PNG graphs"},
        TGraphRefusal{"NoTarget", "--scale 2", "graph needs FILE.out, --kind and -o"},
        TGraphRefusal{"Unknown", "-o g.png --dpi 300", "unknown option --dpi"}),
    CaseName);

}  // namespace
