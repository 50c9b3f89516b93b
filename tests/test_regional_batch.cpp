// tolvane-batch regional and regional-merge, as a user runs them: statuses,
// resuming after a kill, shards joined, and the same results as calibrate
// and validate run by hand.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include "base/numformat.h"
#include "batch/regional.h"
#include "batch/regionalplots.h"
#include "files/modelfile.h"
#include "files/tabledates.h"
#include "model/engine.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace fs = std::filesystem;

namespace {

const long long Jan1985 = 473385600;  // 1985-01-01

// 600 days made by the model from known parameters: date, P, Q, E (a
// seasonal evaporation); runoff rows first..first+gap-1 left blank.
std::string MadeTable(const TStoreParameters& store, int nrOfRes, double alpha, int gapFirst = 0,
                      int gap = 0) {
  const int n = 600;
  const auto rains = Rains(n);
  const TRun run = PredictRun(Times(n), rains, store, nrOfRes, alpha, 1.5);
  EXPECT_TRUE(run.Ok());
  std::string csv = "date,P,Q,E\n";
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    const bool blank = i >= gapFirst && i < gapFirst + gap;
    csv += FormatTableDate(Jan1985 + i * SecondsPerDay, false) + "," + FullPrecision(rains[k]) +
           "," + (blank ? std::string() : FullPrecision(run.Calculated[k])) + "," +
           FullPrecision(2 + std::sin(i / 58.1)) + "\n";
  }
  return csv;
}

const char* const Header =
    "id,data,date_column,rain_column,runoff_column,calibrate_from,calibrate_to,validate_from,"
    "validate_to,warm_up,objective,slow_path,pet_column\n";

// A manifest row of made.csv-like tables, both periods within the 600 days.
std::string Row(const std::string& id, const std::string& data, const std::string& rain = "P",
                const std::string& objective = "nse", const std::string& slow = "",
                const std::string& pet = "") {
  return id + "," + data + ",1," + rain + ",Q,1985-01-01,1985-12-31,1986-01-01,1986-08-23,30," +
         objective + "," + slow + "," + pet + "\n";
}

// A summary's rows, each without its last cell (the seconds it took).
std::vector<std::string> RowsWithoutSeconds(const std::string& summary) {
  std::vector<std::string> rows;
  for (auto line : SplitLines(summary, "\n")) {
    if (line.empty()) continue;
    rows.push_back(line.substr(0, line.rfind(',')));
  }
  return rows;
}

// The cell of a summary row under a header name.
std::string Cell(const std::string& row, const std::string& name) {
  const auto header = SplitCsvLine(SummaryHeader());
  const auto cells = SplitCsvLine(row);
  for (std::size_t i = 0; i < header.size() && i < cells.size(); ++i)
    if (header[i] == name) return cells[i];
  return "(no " + name + ")";
}

class RegionalBatch : public ::testing::Test {
protected:
  void SetUp() override {
    WriteFileBytes(dir.File("a.csv"), MadeTable({35, 10, 0.8}, 2, 0.25));
    WriteFileBytes(dir.File("b.csv"), MadeTable({80, 40, 1.5}, 1, 0.4));
    WriteFileBytes(dir.File("c.csv"), MadeTable({20, 5, 0.3}, 3, 0.6));
    WriteFileBytes(dir.File("gap.csv"), MadeTable({35, 10, 0.8}, 2, 0.25, 100, 10));
  }
  std::vector<std::string> Summary(const std::string& path) {
    return SplitLines(ReadFileBytes(dir.File(path)), "\n");
  }
  TScratchDir dir;
};

TEST_F(RegionalBatch, OneRowEachWithItsStatus) {
  // "blocked" cannot have its folder: a file stands in its place.
  fs::create_directories(dir.Path / "out");
  WriteFileBytes(dir.File("out/blocked"), "in the way");
  WriteFileBytes(dir.File("m.csv"), std::string(Header) + Row("a", "a.csv") +
                                        Row("missing", "nothing.csv") + Row("gap", "gap.csv") +
                                        Row("badcolumn", "b.csv", "Rain") +
                                        Row("badobjective", "b.csv", "P", "rmse") +
                                        Row("blocked", "c.csv") + Row("b", "b.csv") +
                                        "baddate,a.csv,1,P,Q,1985-02-30\n");
  const auto r = Batch(dir, "regional m.csv -o out --jobs 2");
  EXPECT_EQ(r.Status, 1) << r.Err;
  const auto lines = Summary("out/summary.csv");
  ASSERT_EQ(lines.size(), 9u) << r.Out << r.Err;
  EXPECT_EQ(lines[0], SummaryHeader());
  struct TExpected {
    const char* Id;
    const char* Status;
    const char* Says;
  };
  const TExpected expected[] = {{"a", "ok", ""},
                                {"missing", "refused", "nothing.csv: cannot be opened"},
                                {"gap", "refused", "runoff missing from 1985-04-11 to 1985-04-20 (10 values"},
                                {"badcolumn", "refused", "no column \"Rain\""},
                                {"badobjective", "refused", "objective must be rsquare"},
                                {"blocked", "failed", "is no folder"},
                                {"b", "ok", ""},
                                {"baddate", "refused", "calibrate_from: "}};
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const std::string& row = lines[i + 1];
    EXPECT_EQ(Cell(row, "id"), expected[i].Id);
    EXPECT_EQ(Cell(row, "status"), expected[i].Status) << row;
    EXPECT_NE(Cell(row, "message").find(expected[i].Says), std::string::npos) << row;
    const bool ok = std::string(expected[i].Status) == "ok";
    EXPECT_EQ(Cell(row, "cal_nse").empty(), !ok) << row;
    EXPECT_EQ(Cell(row, "val_nse").empty(), !ok) << row;
    if (!ok) {
      EXPECT_NE(r.Err.find(std::string(expected[i].Id) + ": "), std::string::npos) << r.Err;
    }
  }
  // The good ones fit what made them.
  EXPECT_GT(std::stod(Cell(lines[1], "cal_nse")), 0.99);
  EXPECT_GT(std::stod(Cell(lines[7], "val_nse")), 0.99);
  EXPECT_EQ(Cell(lines[1], "cal_points"), "365");
  EXPECT_EQ(Cell(lines[1], "val_points"), "235");
}

TEST_F(RegionalBatch, RefusesABadManifest) {
  const TBatchRefusal cases[] = {
      {"unknown column", "id,data,rain_colum\nx,a.csv,P\n", 2, "unknown column \"rain_colum\""},
      {"no data column", "id,rain_column\nx,P\n", 2, "no column \"data\""},
      {"id up", "id,data\n..,a.csv\n", 2, "m.csv:2: the id \"..\""},
      {"id with a slash", "id,data\nx,a.csv\nq/r,a.csv\n", 2, "m.csv:3: the id \"q/r\""},
      {"id twice", "id,data\nx,a.csv\nx,b.csv\n", 2, "m.csv:3: the id \"x\" is given twice"},
      {"empty id", "id,data\n,a.csv\n", 2, "the id is empty"},
  };
  for (const auto& c : cases) {
    WriteFileBytes(dir.File("m.csv"), c.Args);
    const auto r = Batch(dir, "regional m.csv -o out");
    EXPECT_EQ(r.Status, c.Status) << c.Name;
    EXPECT_NE(r.Err.find(c.Says), std::string::npos) << c.Name << ": " << r.Err;
  }
  for (const char* usage : {"regional m.csv -o out --shard 3/2", "regional m.csv -o out --jobs 0",
                            "regional m.csv", "regional-merge -o x.csv"})
    EXPECT_EQ(Batch(dir, usage).Status, 2) << usage;
}

// The files of regional are those of calibrate -o MODEL.json and validate
// --table run by hand on the same periods.
TEST_F(RegionalBatch, SameResultsAsCalibrateAndValidate) {
  struct TCase {
    const char* Objective;
    const char* Slow;
    const char* Pet;
  };
  for (const TCase c : {TCase{"kge", "", ""}, TCase{"nse", "yes", "E"}}) {
    const std::string slow = c.Slow, pet = c.Pet;
    WriteFileBytes(dir.File("m.csv"), std::string(Header) + Row("b", "b.csv", "P", c.Objective, slow, pet));
    auto r = Batch(dir, "regional m.csv -o out --force");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const std::string table =
        " --date-column 1 --rain-column P --runoff-column Q --warm-up 30" +
        (pet.empty() ? std::string() : " --pet-column " + pet);
    r = Batch(dir, "calibrate '" + dir.File("b.csv") + "' -o hand.json --force --objective " +
                       c.Objective + " --from 1985-01-01 --to 1985-12-31" + table +
                       (slow.empty() ? "" : " --slow-path"));
    ASSERT_EQ(r.Status, 0) << r.Err;
    r = Batch(dir, "validate hand.json b.csv --table hand.csv --from 1986-01-01 --to 1986-08-23" +
                       table);
    ASSERT_EQ(r.Status, 0) << r.Err;
    EXPECT_EQ(ReadFileBytes(dir.File("out/b/model.json")), ReadFileBytes(dir.File("hand.json")))
        << c.Objective;
    EXPECT_EQ(ReadFileBytes(dir.File("out/b/validation.csv")), ReadFileBytes(dir.File("hand.csv")))
        << c.Objective;
    // The summary's validation figures are the report's, in full precision.
    const auto row = Summary("out/summary.csv").at(1);
    EXPECT_NE(r.Out.find("NSE " + Cell(row, "val_nse") + ","), std::string::npos) << r.Out;
    EXPECT_NE(r.Out.find("KGE " + Cell(row, "val_kge") + ","), std::string::npos) << r.Out;
    EXPECT_EQ(Cell(row, "base_share").empty(), slow.empty()) << row;
  }
}

TEST_F(RegionalBatch, ResumesAfterAKill) {
  WriteFileBytes(dir.File("m.csv"), std::string(Header) + Row("a", "a.csv") + Row("b", "b.csv") +
                                        Row("c", "c.csv") + Row("a2", "a.csv", "P", "kge"));
  auto r = Batch(dir, "regional m.csv -o whole --jobs 2");
  ASSERT_EQ(r.Status, 0) << r.Err;

  // The test hook kills the run as kill -9 would once two catchments are
  // done; the other job may be writing then.
  setenv("TOLVANE_REGIONAL_KILL_AFTER", "2", 1);
  r = Batch(dir, "regional m.csv -o cut --jobs 2");
  unsetenv("TOLVANE_REGIONAL_KILL_AFTER");
  EXPECT_NE(r.Status, 0);
  EXPECT_FALSE(fs::exists(dir.Path / "cut/summary.csv"));
  int complete = 0;
  for (const auto& entry : fs::recursive_directory_iterator(dir.Path / "cut"))
    complete += entry.path().filename() == "summary-row.csv";
  EXPECT_GE(complete, 2);
  EXPECT_LE(complete, 3);

  r = Batch(dir, "regional m.csv -o cut --jobs 2");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find(std::to_string(complete) + " done before, " + std::to_string(4 - complete) +
                       " to run"),
            std::string::npos)
      << r.Out;
  EXPECT_EQ(RowsWithoutSeconds(ReadFileBytes(dir.File("cut/summary.csv"))),
            RowsWithoutSeconds(ReadFileBytes(dir.File("whole/summary.csv"))));
  // Nothing half-written is left: only the files of a run.
  for (const auto& entry : fs::recursive_directory_iterator(dir.Path / "cut")) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(entry.is_directory() || name == "summary-row.csv" || name == "settings.txt" ||
                name == "model.json" || name == "validation.csv" || name == "summary.csv" ||
                name == "ids.txt" || name == "log.txt")
        << name;
  }
  for (const char* id : {"a", "b", "c", "a2"})
    EXPECT_EQ(ReadFileBytes(dir.File(std::string("cut/") + id + "/validation.csv")),
              ReadFileBytes(dir.File(std::string("whole/") + id + "/validation.csv")));

  // All complete: nothing to run; a changed row runs again, and --force all.
  r = Batch(dir, "regional m.csv -o cut");
  EXPECT_NE(r.Out.find("4 done before, 0 to run"), std::string::npos) << r.Out;
  WriteFileBytes(dir.File("m.csv"), std::string(Header) + Row("a", "a.csv") + Row("b", "b.csv") +
                                        Row("c", "c.csv", "P", "kge") + Row("a2", "a.csv", "P", "kge"));
  r = Batch(dir, "regional m.csv -o cut");
  EXPECT_NE(r.Out.find("3 done before, 1 to run"), std::string::npos) << r.Out;
  WriteFileBytes(dir.File("b.csv"), MadeTable({80, 40, 1.4}, 1, 0.4));
  r = Batch(dir, "regional m.csv -o cut");
  EXPECT_NE(r.Out.find("3 done before, 1 to run"), std::string::npos) << r.Out;
  r = Batch(dir, "regional m.csv -o cut --force");
  EXPECT_NE(r.Out.find("0 done before, 4 to run"), std::string::npos) << r.Out;
}

TEST_F(RegionalBatch, ShardsMergedEqualOneWholeRun) {
  WriteFileBytes(dir.File("m.csv"), std::string(Header) + Row("c", "c.csv") + Row("a", "a.csv") +
                                        Row("missing", "none.csv") + Row("b", "b.csv") +
                                        Row("a2", "a.csv", "P", "kge"));
  auto r = Batch(dir, "regional m.csv -o whole --jobs 2");
  ASSERT_EQ(r.Status, 1) << r.Err;
  // Two shards in folders of their own, one more beside another in one folder.
  ASSERT_EQ(Batch(dir, "regional m.csv -o s1 --shard 1/3").Status, 0);
  ASSERT_EQ(Batch(dir, "regional m.csv -o s2 --shard 2/3").Status, 0);
  ASSERT_EQ(Batch(dir, "regional m.csv -o s2 --shard 3/3").Status, 1);
  EXPECT_EQ(Summary("s1/summary-1-of-3.csv").size(), 3u);  // c and b
  r = Batch(dir, "regional-merge s1 s2 -o merged.csv");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("5 catchments from 3 summaries, in the manifest's order"), std::string::npos)
      << r.Out;
  EXPECT_EQ(RowsWithoutSeconds(ReadFileBytes(dir.File("merged.csv"))),
            RowsWithoutSeconds(ReadFileBytes(dir.File("whole/summary.csv"))));

  // Without the manifest's order: by id; a shard missing; an id twice.
  fs::copy_file(dir.Path / "s1/summary-1-of-3.csv", dir.Path / "one.csv");
  fs::copy_file(dir.Path / "s2/summary-2-of-3.csv", dir.Path / "two.csv");
  r = Batch(dir, "regional-merge one.csv two.csv -o byid.csv");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("in the order of their ids"), std::string::npos) << r.Out;
  const auto byId = Summary("byid.csv");
  ASSERT_EQ(byId.size(), 5u);
  EXPECT_EQ(Cell(byId[1], "id"), "a");
  EXPECT_EQ(Cell(byId[4], "id"), "c");
  r = Batch(dir, "regional-merge s1 -o part.csv");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("3 catchments of the manifest have no row"), std::string::npos) << r.Err;
  r = Batch(dir, "regional-merge s1 whole -o twice.csv");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("the id \"c\" is in"), std::string::npos) << r.Err;
  WriteFileBytes(dir.File("other.csv"), "id,status\nx,ok\n");
  r = Batch(dir, "regional-merge s1 other.csv -o bad.csv");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("other.csv: line 1 is not the header"), std::string::npos) << r.Err;
}

TEST(RegionalFiles, CsvCellsAndManifestWords) {
  for (const std::string cell : {"plain", "1,2,3", "say \"so\"", ""})
    EXPECT_EQ(SplitCsvLine("x," + CsvCell(cell) + ",y"),
              (std::vector<std::string>{"x", cell, "y"}));
  EXPECT_EQ(InManifestWords("--date-column goes with --date-columns, not --rain-column"),
            "date_column goes with date_columns, not rain_column");
  EXPECT_EQ(ParseShard("2/8"), (std::pair<int, int>(2, 8)));
  for (const char* bad : {"0/2", "3/2", "2", "a/b", "1/0"}) EXPECT_FALSE(ParseShard(bad)) << bad;
}

// The distributions take the ok rows' criteria that exist, each sorted by
// the chart; the axis starts at the worst value down to -1.
TEST(RegionalFiles, CdfChartsOfASummary) {
  TSummaryRow good, worse, refused, flat;
  good.Id = "g", good.Status = "ok", good.Fitted = good.Validated = true;
  good.Best.Fit.Values.fill(0.8), good.Validation.Values.fill(0.6);
  worse = good, worse.Id = "w";
  worse.Best.Fit.Values.fill(-3), worse.Validation.Values.fill(-0.45);
  refused.Id = "r", refused.Status = "refused";
  flat = good, flat.Id = "f";
  flat.Validation.Values.fill(std::nan(""));
  std::string summary = SummaryHeader() + "\n";
  for (const auto* row : {&good, &worse, &refused, &flat}) summary += FormatSummaryRow(*row) + "\n";
  const TChartFiles charts = RegionalCdfCharts(summary, "/p", "svg");
  ASSERT_EQ(charts.size(), 2u);
  EXPECT_EQ(charts[0].second, "/p/cdf-nse.svg");
  EXPECT_EQ(charts[1].second, "/p/cdf-kge.svg");
  const TChart& nse = charts[0].first;
  ASSERT_EQ(nse.Series.size(), 2u);
  EXPECT_EQ(nse.Series[0].X, (std::vector<double>{0.8, -3, 0.8}));
  EXPECT_EQ(nse.Series[1].X, (std::vector<double>{0.6, -0.45}));
  EXPECT_EQ(nse.Series[0].Mark, TChartMark::Steps);
  EXPECT_EQ(nse.XMin, -1.0);
  EXPECT_EQ(nse.Title, "NSE over 3 catchments");
}

TEST_F(RegionalBatch, PlotsOfTheRunAndOfTheMerge) {
  WriteFileBytes(dir.File("m.csv"), std::string(Header) + Row("a", "a.csv") + Row("b", "b.csv"));
  auto r = Batch(dir, "regional m.csv -o out --plots figures");
  ASSERT_EQ(r.Status, 0) << r.Err;
  for (const char* name : {"figures/cdf-nse.png", "figures/cdf-kge.png"})
    EXPECT_TRUE(ReadFileBytes(dir.File(name)).starts_with("\x89PNG")) << name;
  r = Batch(dir, "regional-merge out -o all.csv --plots svg --plot-format svg");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(ReadFileBytes(dir.File("svg/cdf-kge.svg")).find("<svg"), std::string::npos);
  EXPECT_EQ(Batch(dir, "regional m.csv -o out --plots f --plot-format gif").Status, 2);
}

// A real record: MOPEX 25 with its header-less columns, three years fitted
// and two judged.
TEST_F(RegionalBatch, RealMopexRecord) {
  const std::string data = SharedDataDir() + "/catchments/mopex_25.csv";
  if (SharedDataDir().empty() || !fs::exists(data)) GTEST_SKIP() << "no shared data: " << data;
  WriteFileBytes(dir.File("m.csv"),
                 "id,data,date_columns,rain_column,runoff_column,pet_column,header,calibrate_from,"
                 "calibrate_to,validate_from,validate_to,warm_up,objective\n"
                 "mopex_25," + data + ",\"1,2,3\",4,6,5,no,1980-01-01,1982-12-31,1983-01-01,"
                 "1984-12-31,365,kge\n");
  const auto r = Batch(dir, "regional m.csv -o out");
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto row = Summary("out/summary.csv").at(1);
  EXPECT_EQ(Cell(row, "cal_points"), "1096");
  EXPECT_EQ(Cell(row, "val_points"), "731");
  // The designed model fits snowmelt poorly; the figures are still those of
  // the model file.
  const TModelFileRead model = ReadModelFile(ReadFileBytes(dir.File("out/mopex_25/model.json")));
  ASSERT_EQ(model.Error, "");
  EXPECT_EQ(Cell(row, "cal_kge"), FullPrecision(model.Model.Criteria[2].second));
  EXPECT_EQ(Cell(row, "reservoirs"), std::to_string(model.Model.Reservoirs));
  EXPECT_EQ(SplitLines(ReadFileBytes(dir.File("out/mopex_25/validation.csv")), "\r\n").size(), 732u);
}

}  // namespace
