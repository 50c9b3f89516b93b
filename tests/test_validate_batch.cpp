// tolvane-batch validate, and calibrate's warm-up and validation, as a user
// runs them.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <filesystem>

#include "base/numformat.h"
#include "base/numparse.h"
#include "files/outputfile.h"
#include "files/tabledates.h"
#include "model/criteria.h"
#include "model/routing.h"
#include "model/search.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace {

// A table of dates every step from start, rain and runoff in full precision.
std::string DatedCsv(long long start, long long step, const std::vector<double>& rains,
                     const std::vector<double>& runoffs, bool withTime) {
  std::string csv = "date,P,Q\n";
  for (std::size_t i = 0; i < rains.size(); ++i)
    csv += FormatTableDate(start + static_cast<long long>(i) * step, withTime) + "," +
           FullPrecision(rains[i]) + "," + FullPrecision(runoffs[i]) + "\n";
  return csv;
}

const long long Jan1985 = 473385600;  // 1985-01-01

// The output file of a determination that found these (its table is not read).
void WriteFittedOut(const std::string& path, const TStoreParameters& store, int nrOfRes,
                    double alpha) {
  TReconstructionResults r;
  r.Title1 = "Fitted by hand";
  r.InputPath = "/nowhere/fitted.inp";
  r.Store = store;
  r.NrOfRes = nrOfRes;
  r.Alpha = alpha;
  WriteFileBytes(path, FormatReconstructionResults(r));
}

// The CSV cells of a --table, row by row without the header.
std::vector<std::vector<double>> TableValues(const std::string& text, std::size_t skipCells) {
  std::vector<std::vector<double>> rows;
  auto lines = SplitCrLfLines(text);
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].empty()) continue;
    std::vector<double> row;
    const auto cells = SplitLines(lines[i], ",");
    for (std::size_t c = skipCells; c < cells.size(); ++c) row.push_back(*ParseReal(cells[c]));
    rows.push_back(row);
  }
  return rows;
}

class Validate : public ::testing::Test {
protected:
  TScratchDir dir;
  TDMQuorell dm;
};

TEST_F(Validate, ARecordMadeByTheModelFitsPerfectly) {
  const int n = 730;
  const TStoreParameters store{40, 20, 0.5};
  const double alpha = AlphaCandidateTable()[40];  // what a head's 0.080 stands for
  const auto rains = Rains(n);
  const auto runoff = ModelRunoff(dm, Times(n), rains, store, 3, alpha, 1.5);
  ASSERT_TRUE(runoff);
  WriteFileBytes(dir.File("made.csv"), DatedCsv(Jan1985, SecondsPerDay, rains, *runoff, false));
  WriteFittedOut(dir.File("fitted.out"), store, 3, 0.08);
  const auto r = Batch(dir, "validate fitted.out made.csv --date-column 1 --rain-column P "
                            "--runoff-column Q --warm-up 1 --table made-table.csv");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Err, "");
  const auto out = r.Lines();
  ASSERT_EQ(out.size(), 5u) << r.Out;
  EXPECT_EQ(out[0], "model: reservoirs 3, alpha 0.080, maximum storage 40 mm, initial storage 20 "
                    "mm, escape rate 0.5 mm per time unit, from the head of " +
                        dir.File("fitted.out"));
  EXPECT_EQ(out[1], "data: 730 points of " + dir.File("made.csv") +
                        ", 1985-01-01 to 1986-12-31; warm-up 1 point, criteria over points 2 to "
                        "730 (1985-01-02 to 1986-12-31)");
  EXPECT_EQ(out[2], "R square 1.00, NSE 1.000, KGE 1.000, KGE 2012 1.000, log NSE 1.000, sqrt NSE 1.000, "
            "volume error 0.00 %, RMSE 0.000");
  EXPECT_EQ(out[3], "R square 1, NSE 1, KGE 1, KGE 2012 1, log NSE 1, sqrt NSE 1, volume error 0 %, RMSE 0");
  EXPECT_EQ(out[4], "table: " + dir.File("made-table.csv") + ", 730 rows");

  // The table: the dates, and every value read back to the same double.
  const std::string table = ReadFileBytes(dir.File("made-table.csv"));
  const auto lines = SplitCrLfLines(table);
  ASSERT_EQ(lines.size(), 731u);  // the header and 730 rows
  EXPECT_EQ(lines[0], "date,time,rain,recharge,measured,calculated");
  EXPECT_TRUE(lines[365].starts_with("1985-12-31,365,")) << lines[365];
  const auto values = TableValues(table, 1);
  for (std::size_t i = 0; i < values.size(); ++i) {
    ASSERT_EQ(values[i].size(), 5u);
    EXPECT_EQ(values[i][1], rains[i]);
    EXPECT_EQ(values[i][3], (*runoff)[i]);
    if (i > 0) {
      EXPECT_EQ(values[i][4], (*runoff)[i]);
    }
  }
}

TEST_F(Validate, OnItsOwnPeriodGivesTheCriteriaOfItsRun) {
  // An initial storage of 0, which the determination takes as a tenth.
  WriteAnalysisFile(dm, dir.File("own.inp"), Times(120), Rains(120), Runoffs(120), 45, 0, 1.5);
  const auto run = Batch(dir, "run own.inp");
  ASSERT_EQ(run.Status, 0) << run.Err;
  const auto runLines = run.Lines();
  ASSERT_EQ(runLines.size(), 2u);
  for (const char* fitted : {"own.inp", "own.out"}) {
    SCOPED_TRACE(fitted);
    const auto r = Batch(dir, std::string("validate ") + fitted + " own.inp");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto out = r.Lines();
    ASSERT_EQ(out.size(), 4u) << r.Out;
    EXPECT_EQ(out[3], runLines[1]);
    // The input file holds 0, its output file the value taken.
    const bool input = std::string(fitted) == "own.inp";
    EXPECT_NE(out[0].find(input ? "initial storage 4.5 mm (0 in the file: a tenth of the maximum), "
                                : "initial storage 4.5 mm, "),
              std::string::npos)
        << out[0];
    EXPECT_EQ(out[1], "data: 120 points of " + dir.File("own.inp") +
                          ", times 1 to 120; no warm-up, criteria over all 120 points");
  }
  // The rounded line agrees with the one in full precision.
  const auto r = Batch(dir, "validate own.inp own.inp");
  const auto out = r.Lines();
  ASSERT_EQ(out.size(), 4u);
  const double nse = std::stod(out[3].substr(out[3].find("NSE ") + 4));
  EXPECT_NE(out[2].find("NSE " + FormatFixed(nse, 0, 3) + ","), std::string::npos) << out[2];
  const auto rSquare = runLines[0].find("R square");
  EXPECT_TRUE(out[2].starts_with(
      runLines[0].substr(rSquare, runLines[0].find(',', rSquare) - rSquare + 1)))
      << out[2];
}

TEST_F(Validate, LongRecordsUpToTheLimit) {
  // 100 000 hours, more than eleven years.
  const int n = 100000;
  const auto rains = Rains(n + 1);
  const auto runoffs = Runoffs(n + 1);
  WriteFileBytes(dir.File("long.csv"),
                 DatedCsv(Jan1985, SecondsPerHour, rains, runoffs, true));
  WriteFittedOut(dir.File("f.out"), {40, 20, 0.05}, 2, 0.08);
  auto r = Batch(dir, "validate f.out long.csv --date-column 1 --time-unit hour --rain-column 2 "
                      "--runoff-column 3 --rows 100000 --warm-up 8760");
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto out = r.Lines();
  ASSERT_EQ(out.size(), 4u) << r.Out;
  EXPECT_EQ(out[1], "data: 100000 points of " + dir.File("long.csv") +
                        ", 1985-01-01 00:00 to 1996-05-29 15:00; warm-up 8760 points, criteria "
                        "over points 8761 to 100000 (1986-01-01 00:00 to 1996-05-29 15:00)");
  r = Batch(dir, "validate f.out long.csv --date-column 1 --time-unit hour --rain-column 2 "
                 "--runoff-column 3");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, "long.csv: 100001 rows selected (1985-01-01 00:00 to 1996-05-29 16:00); "
                   "validate takes at most 100000 (choose them with --first-row and --rows, or "
                   "--from and --to)\n");

  // An input file as long, and one line longer.
  WriteAnalysisFile(dm, dir.File("long.inp"), Times(n + 1), rains, runoffs);
  r = Batch(dir, "validate f.out long.inp");
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, dir.File("long.inp") + ": holds more than 100000 data lines; validate takes "
                                          "at most 100000 points\n");
  WriteAnalysisFile(dm, dir.File("long.inp"), Times(n), std::vector<double>(rains.begin(), rains.end() - 1),
                    std::vector<double>(runoffs.begin(), runoffs.end() - 1));
  r = Batch(dir, "validate f.out long.inp");
  EXPECT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("data: 100000 points of "), std::string::npos) << r.Out;
}

TEST_F(Validate, DatesKeptInTheSecondTitleOfAnInputFile) {
  WriteFileBytes(dir.File("d.csv"),
                 DatedCsv(Jan1985 + 59 * SecondsPerDay, SecondsPerDay, Rains(50), Runoffs(50), false));
  auto r = Batch(dir, "import d.csv -o d.inp --option determine --date-column 1 --rain-column 2 "
                      "--runoff-column 3 --max-storage 20 --initial-storage 10 --max-escape 1");
  ASSERT_EQ(r.Status, 0) << r.Err;
  r = Batch(dir, "validate d.inp d.inp --warm-up 5 --table d-table.csv");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(r.Lines().at(1), "data: 50 points of " + dir.File("d.inp") +
                                 ", 1985-03-01 to 1985-04-19; warm-up 5 points, criteria over "
                                 "points 6 to 50 (1985-03-06 to 1985-04-19)");
  const auto lines = SplitCrLfLines(ReadFileBytes(dir.File("d-table.csv")));
  ASSERT_EQ(lines.size(), 51u);
  EXPECT_TRUE(lines[50].starts_with("1985-04-19,50,")) << lines[50];
}

class ValidateRefusal : public Validate, public ::testing::WithParamInterface<TBatchRefusal> {};

TEST_P(ValidateRefusal, WritesNoTable) {
  const auto& c = GetParam();
  WriteAnalysisFile(dm, dir.File("a.inp"), Times(40), Rains(40), Runoffs(40), 30, 10, 1);
  WriteAnalysisFile(dm, dir.File("flat.inp"), Times(3), {0, 9, 0}, {2, 2, 2});
  WritePredictionFile(dm, dir.File("p.inp"), Times(3), {0, 9, 0}, 2, 0.3, 1);
  dm.FileName = dir.File("p.inp");
  ASSERT_TRUE(dm.RunModel(false));
  WriteFileBytes(dir.File("d.csv"), "1,2\n2,3\n3,2\n");
  WriteFileBytes(dir.File("neg.csv"), "P,Q\n1,2\n2,-3\n3,2\n");
  WriteFittedOut(dir.File("bad.out"), {30, 10, 1}, 2, 0.3);
  std::string bad = ReadFileBytes(dir.File("bad.out"));
  bad.replace(bad.find("30.00"), 5, "x0.00");
  WriteFileBytes(dir.File("bad.out"), bad);
  const auto r = Batch(dir, std::string("validate ") + c.Args + " --table t.csv");
  EXPECT_EQ(r.Status, c.Status) << r.Err;
  EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
  EXPECT_TRUE(r.Out.empty()) << r.Out;
  EXPECT_FALSE(std::filesystem::exists(dir.File("t.csv")));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidateRefusal,
    ::testing::Values(
        TBatchRefusal{"PredictionAsFitted", "p.inp a.inp", 1,
                 "p.inp: is the input file of a prediction; validate takes a model determination "
                 "(its input file or its output file)"},
        TBatchRefusal{"PredictionOutputAsFitted", "p.out a.inp", 1,
                 "p.out: is the output file of a prediction"},
        TBatchRefusal{"FittedCannotBeDetermined", "flat.inp a.inp", 1,
                 "flat.inp: its model determination cannot be made: There is no variation in "
                 "runoff values."},
        TBatchRefusal{"FittedHeadNoNumber", "bad.out a.inp", 1,
                 "bad.out: Invalid numeric input in the parameters of its head"},
        TBatchRefusal{"PredictionAsData", "a.inp p.inp", 1,
                 "p.inp: is the input file of a prediction; it holds no measured runoff to judge "
                 "the fit by"},
        TBatchRefusal{"OutputAsData", "a.inp p.out", 1, "p.out: is no input file of Tolvane"},
        TBatchRefusal{"TableWithoutRunoff", "a.inp d.csv --rain-column 1", 2,
                 "--runoff-column N is needed: validate compares the measured runoff of DATA "
                 "with the calculated"},
        TBatchRefusal{"NegativeRunoff", "a.inp neg.csv --rain-column 1 --runoff-column Q", 1,
                 "neg.csv:3: column 2 (Q): the runoff -3 is negative"},
        TBatchRefusal{"WarmUpOfAllPoints", "a.inp a.inp --warm-up 40", 1,
                 "The warm-up of 40 points leaves 0 of the 40 points to judge the fit by; the "
                 "criteria need at least 2"},
        TBatchRefusal{"WarmUpNegative", "a.inp a.inp --warm-up -1", 2, "--warm-up must be 0 or more"},
        TBatchRefusal{"WarmUpNoNumber", "a.inp a.inp --warm-up ten", 2,
                 "--warm-up takes a whole number, not \"ten\""},
        TBatchRefusal{"FittedMissing", "none.inp a.inp", 2, "none.inp: cannot be opened"},
        TBatchRefusal{"DataMissing", "a.inp none.inp", 2, "none.inp: cannot be opened"},
        TBatchRefusal{"TableMissing", "a.inp none.csv --rain-column 1 --runoff-column 2", 2,
                 "none.csv: cannot be opened"},
        TBatchRefusal{"OneFile", "a.inp", 2, "validate takes a fitted model FITTED"},
        TBatchRefusal{"Force", "a.inp a.inp --force", 2, "unknown option --force"},
        TBatchRefusal{"ImportOptionChecked", "a.inp d.csv --rain-column 1 --runoff-column 2 "
                                        "--delimiter pipe",
                 2, "--delimiter must be auto, comma, semicolon or tab"},
        TBatchRefusal{"NotAnImportOption", "a.inp a.inp --max-storage 5", 2,
                 "unknown option --max-storage"}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST_F(Validate, ATableThatCannotBeWritten) {
  WriteAnalysisFile(dm, dir.File("a.inp"), Times(40), Rains(40), Runoffs(40), 30, 10, 1);
  std::filesystem::create_directory(dir.File("folder.csv"));
  const auto r = Batch(dir, "validate a.inp a.inp --table folder.csv");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("The file \"" + dir.File("folder.csv") + "\" could not be written"),
            std::string::npos)
      << r.Err;
  EXPECT_TRUE(std::filesystem::is_directory(dir.File("folder.csv")));
}

// The value after "name " up to the next comma or blank.
double ValueAfter(const std::string& line, const std::string& name) {
  const auto at = line.find(name + " ");
  if (at == std::string::npos) return std::nan("");
  return std::stod(line.substr(at + name.size() + 1));
}

TEST_F(Validate, CalibrateWithAWarmUpAndAValidation) {
  // A short record to fit, and the next period as a table of the same model.
  const int n = 60;
  const auto rains = Rains(2 * n);
  std::vector<double> runoffs = Runoffs(2 * n);
  WriteAnalysisFile(dm, dir.File("c.inp"), Times(n), std::vector<double>(rains.begin(), rains.begin() + n),
                    std::vector<double>(runoffs.begin(), runoffs.begin() + n), 5, 2, 0.3);
  WriteFileBytes(dir.File("next.csv"),
                 DatedCsv(Jan1985, SecondsPerDay, std::vector<double>(rains.begin() + n, rains.end()),
                          std::vector<double>(runoffs.begin() + n, runoffs.end()), false));
  const std::string table = " --date-column 1 --rain-column 2 --runoff-column 3";
  auto r = Batch(dir, "calibrate c.inp -o best.inp --max-storage 2:8 --objective nse --warm-up 10 "
                      "--validate next.csv" + table);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto out = r.Lines();
  ASSERT_EQ(out.size(), 9u) << r.Out;
  EXPECT_TRUE(out[1].starts_with("after:  maximum storage ")) << out[1];
  EXPECT_TRUE(out[1].ends_with(" (from point 11)")) << out[1];
  EXPECT_GE(ValueAfter(out[1], "NSE"), ValueAfter(out[0], "NSE"));

  // The objective after the warm-up is the one validate finds on the record.
  const auto own = Batch(dir, "validate best.inp c.inp --warm-up 10");
  ASSERT_EQ(own.Status, 0) << own.Err;
  EXPECT_EQ(ValueAfter(own.Lines().at(3), "NSE"), ValueAfter(out[1], "NSE"));
  // The validation printed is validate's of BEST.inp on DATA.
  const auto next = Batch(dir, "validate best.inp next.csv --warm-up 10" + table);
  ASSERT_EQ(next.Status, 0) << next.Err;
  EXPECT_EQ(std::vector<std::string>(out.begin() + 5, out.end()), next.Lines());
  EXPECT_NE(out[6].find("1985-01-01 to 1985-03-01; warm-up 10 points"), std::string::npos)
      << out[6];

  // Refused before any search: DATA that cannot be taken, a warm-up too long.
  r = Batch(dir, "calibrate c.inp -o b2.inp --validate none.csv" + table);
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("none.csv: cannot be opened"), std::string::npos) << r.Err;
  WriteFileBytes(dir.File("flat.csv"), DatedCsv(Jan1985, SecondsPerDay, std::vector<double>(20, 1.0),
                                                std::vector<double>(20, 2.0), false));
  r = Batch(dir, "calibrate c.inp -o b2.inp --validate flat.csv" + table);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, dir.File("flat.csv") +
                       ": There is no variation in runoff values. The validation cannot be made\n");
  EXPECT_TRUE(r.Out.empty()) << r.Out;
  r = Batch(dir, "calibrate c.inp -o b2.inp --warm-up 59");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("The warm-up of 59 points leaves 1 of the 60 points"), std::string::npos)
      << r.Err;
  r = Batch(dir, "calibrate c.inp -o b2.inp --rain-column 2");
  EXPECT_EQ(r.Status, 2);
  EXPECT_NE(r.Err.find("the table options go with a table as DATA or with --validate DATA2"),
            std::string::npos)
      << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("b2.inp")));
}

}  // namespace
