// tolvane-batch calibrate on tables and input files, its model files, and
// validate taking one, as a user runs them.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/numformat.h"
#include "files/modelfile.h"
#include "files/storelines.h"
#include "files/tabledates.h"
#include "model/engine.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace {

const long long Jan1985 = 473385600;  // 1985-01-01

// A daily table made by the model from known parameters: date, P, Q.
std::string MadeTable(int n, const TStoreParameters& store, int nrOfRes, double alpha,
                      long long start = Jan1985) {
  const auto rains = Rains(n);
  const TRun run = PredictRun(Times(n), rains, store, nrOfRes, alpha, 1.5);
  EXPECT_TRUE(run.Ok());
  std::string csv = "date,P,Q\n";
  for (int i = 0; i < n; ++i)
    csv += FormatTableDate(start + i * SecondsPerDay, false) + "," +
           FullPrecision(rains[static_cast<std::size_t>(i)]) + "," +
           FullPrecision(run.Calculated[static_cast<std::size_t>(i)]) + "\n";
  return csv;
}

const char* const Columns = " --date-column 1 --rain-column P --runoff-column Q";

class CalibrateBatch : public ::testing::Test {
protected:
  TScratchDir dir;
};

// The answer does not depend on the parameters the input file holds: three
// files of one record, three starts, one answer.
TEST_F(CalibrateBatch, ThreeStartsOneAnswer) {
  const std::string original = ReadFileBytes(SourceDir() + "/Data/calibrate_daily.inp");
  const TStoreParameters starts[] = {{6, 3, 0.2}, {300, 1, 0}, {20, 20, 2}};
  std::string after;
  for (int i = 0; i < 3; ++i) {
    const std::string name = "start" + std::to_string(i) + ".inp";
    WriteFileBytes(dir.File(name), *ReplaceStoreLines(original, dir.File(name), starts[i]));
    const auto r = Batch(dir, "calibrate " + name + " -o best" + std::to_string(i) + ".json --objective nse");
    ASSERT_EQ(r.Status, 0) << r.Err;
    const auto lines = r.Lines();
    ASSERT_GE(lines.size(), 2u);
    if (i == 0) after = lines[1];
    EXPECT_EQ(lines[1], after);
    EXPECT_TRUE(lines[1].starts_with("after:  maximum storage ")) << lines[1];
  }
}

// A table fitted into a model file; the model file read back is the fit,
// and validate gives the criteria the model file keeps.
TEST_F(CalibrateBatch, TableToModelFileAndBack) {
  WriteFileBytes(dir.File("made.csv"), MadeTable(800, {35, 10, 0.8}, 2, 0.25));
  auto r = Batch(dir, std::string("calibrate made.csv -o fit.json --objective kge2012 --warm-up 30 "
                                  "--to 1986-06-30") + Columns);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto lines = r.Lines();
  ASSERT_EQ(lines.size(), 3u) << r.Out;
  EXPECT_TRUE(lines[0].starts_with("after:  maximum storage ")) << lines[0];
  EXPECT_TRUE(lines[0].ends_with(" (from point 31)")) << lines[0];
  EXPECT_TRUE(lines[2].starts_with("criteria from point 31: R square ")) << lines[2];

  const TModelFileRead read = ReadModelFile(ReadFileBytes(dir.File("fit.json")));
  ASSERT_EQ(read.Error, "");
  const TModelFile& m = read.Model;
  EXPECT_EQ(m.Objective, "kge2012");
  EXPECT_EQ(m.WarmUp, 30);
  EXPECT_EQ(m.TimeUnit, "day");
  EXPECT_EQ(m.First, "1985-01-01");
  EXPECT_EQ(m.Last, "1986-06-30");
  EXPECT_EQ(m.Points, 546);
  EXPECT_EQ(m.Source, dir.File("made.csv"));
  EXPECT_EQ(m.Reservoirs, 2);
  ASSERT_EQ(m.Criteria.size(), 8u);
  EXPECT_EQ(m.Criteria[3].first, "kge2012");
  EXPECT_GT(m.Criteria[3].second, 0.99);

  // validate with the model file on the same period gives the same figure.
  r = Batch(dir, std::string("validate fit.json made.csv --warm-up 30 --to 1986-06-30") + Columns);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto report = r.Lines();
  ASSERT_EQ(report.size(), 4u) << r.Out;
  EXPECT_NE(report[3].find("KGE 2012 " + FullPrecision(m.Criteria[3].second) + ","), std::string::npos)
      << report[3];

  // The same run again gives the same bytes; an existing file needs --force.
  const std::string first = ReadFileBytes(dir.File("fit.json"));
  r = Batch(dir, std::string("calibrate made.csv -o fit.json --objective kge2012 --warm-up 30 "
                             "--to 1986-06-30") + Columns);
  EXPECT_EQ(r.Status, 1);
  r = Batch(dir, std::string("calibrate made.csv -o fit.json --force --objective kge2012 --warm-up 30 "
                             "--to 1986-06-30") + Columns);
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_EQ(ReadFileBytes(dir.File("fit.json")), first);
}

// A table of at most 1500 points may become an input file; it gives the
// figure reported when run.
TEST_F(CalibrateBatch, ShortTableToInputFile) {
  WriteFileBytes(dir.File("made.csv"), MadeTable(300, {20, 5, 0.5}, 3, 0.4));
  auto r = Batch(dir, std::string("calibrate made.csv -o best.inp") + Columns);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto out = r.Lines();
  ASSERT_EQ(out.size(), 4u) << r.Out;
  const auto again = Batch(dir, "run best.inp");
  ASSERT_EQ(again.Status, 0) << again.Err;
  EXPECT_EQ(again.Lines().at(1), out[3]);
  // Longer records only into a model file.
  WriteFileBytes(dir.File("long.csv"), MadeTable(1501, {20, 5, 0.5}, 3, 0.4));
  r = Batch(dir, std::string("calibrate long.csv -o long.inp") + Columns);
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("1501 points; an input file holds at most 1500"), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("long.inp")));
}

// 100 001 points are refused naming the limit (the reader is validate's,
// whose test takes 100 000); the engine fits 100 000 as it fits 100.
TEST_F(CalibrateBatch, HundredThousandPointsAtMost) {
  const int most = 100000;
  WriteFileBytes(dir.File("big.csv"), MadeTable(most + 1, {50, 25, 1}, 2, 0.3, Jan1985 - 200000LL * SecondsPerDay));
  auto r = Batch(dir, std::string("calibrate big.csv -o big.json") + Columns);
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("100001 rows selected"), std::string::npos) << r.Err;
  EXPECT_NE(r.Err.find("calibrate takes at most 100000"), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("big.json")));

  TRecord record;
  record.Time = Times(most);
  record.Rain = Rains(most);
  record.Runoff = PredictRun(record.Time, record.Rain, {50, 25, 1}, 2, 0.3, 1.5).Calculated;
  const TRun run = DetermineRun(record.View(), {50, 25, 1});
  ASSERT_TRUE(run.Ok());
  EXPECT_EQ(run.Calculated.size(), static_cast<std::size_t>(most));
  EXPECT_EQ(run.NrOfRes, 2);
  EXPECT_NEAR(run.Alpha, 0.3, 0.0011);
  EXPECT_GT(run.Fit[TCriterion::Nse], 0.9999);
}

TEST_F(CalibrateBatch, Refusals) {
  WriteFileBytes(dir.File("made.csv"), MadeTable(100, {20, 5, 0.5}, 3, 0.4));
  const TBatchRefusal cases[] = {
      {"OutputKind", "made.csv -o best.txt --rain-column 2 --runoff-column 3", 2,
       "-o takes BEST.inp (an input file) or MODEL.json (a model file)"},
      {"TableWithoutColumns", "made.csv -o best.json", 1, "no input file of Tolvane"},
      {"PeriodOfNothing", "made.csv -o best.json --validate-from 1985-01-01 --rain-column 2 --runoff-column 3",
       2, "--validate-from and --validate-to go with --validate DATA2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Name);
    const auto r = Batch(dir, std::string("calibrate ") + c.Args);
    EXPECT_EQ(r.Status, c.Status) << r.Err;
    EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("best.json")));
  }
}

// A model file written and read back to the last bit; a damaged one is
// refused naming what is wrong.
TEST(ModelFile, WrittenReadBackAndRefusedWhenDamaged) {
  TModelFile m;
  m.Store = {123.45, 0.001, 2.5};
  m.Reservoirs = 3;
  m.Alpha = 0.1 + 0.2;  // not a short decimal
  m.Objective = "nse";
  m.WarmUp = 365;
  m.TimeUnit = "day";
  m.First = "1972-01-01";
  m.Last = "1991-12-31";
  m.Points = 7305;
  m.Source = "/data/mopex \"262\".csv";
  m.Criteria = {{"nse", 0.78}, {"kge", std::nan("")}};
  const std::string text = FormatModelFile(m);
  const TModelFileRead back = ReadModelFile(text);
  ASSERT_EQ(back.Error, "");
  EXPECT_EQ(back.Model.Store, m.Store);
  EXPECT_EQ(back.Model.Alpha, m.Alpha);
  EXPECT_EQ(back.Model.Source, m.Source);
  EXPECT_EQ(back.Model.Points, 7305);
  ASSERT_EQ(back.Model.Criteria.size(), 2u);
  EXPECT_TRUE(std::isnan(back.Model.Criteria[1].second));
  EXPECT_TRUE(LooksLikeModelFile(text));

  auto replaced = [&](const std::string& from, const std::string& to) {
    std::string t = text;
    t.replace(t.find(from), from.size(), to);
    return t;
  };
  const std::pair<std::string, std::string> damaged[] = {
      {"", "is not a model file: no JSON text"},
      {text.substr(0, text.size() / 2), "is not a model file: no JSON text"},
      {"[1, 2]", "is not a model file: no JSON object"},
      {replaced("\"tolvane-model\"", "\"other\""), "the key \"format\" is \"other\", not \"tolvane-model\""},
      {replaced("\"version\": 1", "\"version\": 7"), "the key \"version\" is 7"},
      {replaced("\"alpha\"", "\"alfa\""), "the key \"alpha\" is missing"},
      {replaced("\"reservoirs\": 3", "\"reservoirs\": 3.5"), "the key \"reservoirs\" is not a whole number"},
      {replaced("\"max_storage\": 123.45", "\"max_storage\": \"123\""), "the key \"max_storage\" is not a number"},
      {replaced("\"points\": 7305", "\"points\": \"x\""), "the key \"period.points\" is not a whole number"},
      {replaced("\"nse\": 0.78", "\"nse\": true"), "the key \"criteria.nse\" is not a number"},
  };
  for (const auto& [bytes, says] : damaged) {
    const TModelFileRead read = ReadModelFile(bytes);
    EXPECT_NE(read.Error.find(says), std::string::npos) << read.Error << " for " << says;
  }
}

// validate names a damaged model file and its key.
TEST_F(CalibrateBatch, ValidateRefusesADamagedModelFile) {
  WriteFileBytes(dir.File("made.csv"), MadeTable(100, {20, 5, 0.5}, 3, 0.4));
  WriteFileBytes(dir.File("bad.json"), "{\"format\": \"tolvane-model\", \"version\": 1}");
  const auto r = Batch(dir, std::string("validate bad.json made.csv") + Columns);
  EXPECT_EQ(r.Status, 1);
  EXPECT_EQ(r.Err, dir.File("bad.json") + ": the key \"max_storage\" is missing\n");
}

}  // namespace
