// tolvane-batch uncertainty as a user runs it: the tables it writes, the
// summary, the same seed giving the same files, and what it refuses.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/numformat.h"
#include "files/tabledates.h"
#include "model/engine.h"
#include "support/batch_run.h"
#include "support/test_support.h"

namespace {

const long long Jan1985 = 473385600;  // 1985-01-01

// A daily table made by the model: date, P, Q with some noise; or with
// times instead of dates.
std::string MadeTable(int n, bool dated = true) {
  const auto rains = Rains(n);
  const TRun run = PredictRun(Times(n), rains, {40, 20, 1}, 2, 0.3, 1.5);
  EXPECT_TRUE(run.Ok());
  std::string csv = dated ? "date,P,Q\n" : "time,P,Q\n";
  for (int i = 0; i < n; ++i) {
    const auto k = static_cast<std::size_t>(i);
    csv += (dated ? FormatTableDate(Jan1985 + i * SecondsPerDay, false) : std::to_string(i + 1)) +
           "," + FullPrecision(rains[k]) + "," +
           FullPrecision(run.Calculated[k] * (1 + 0.1 * ((i * 7) % 5 - 2) / 2.0)) + "\n";
  }
  return csv;
}

const char* const Columns = " --date-column 1 --rain-column P --runoff-column Q";

class UncertaintyBatch : public ::testing::Test {
protected:
  void SetUp() override { WriteFileBytes(dir.File("made.csv"), MadeTable(400)); }
  TScratchDir dir;
};

std::string Line(const std::vector<std::string>& lines, const std::string& start) {
  for (const auto& line : lines)
    if (line.starts_with(start)) return line;
  return "";
}

TEST_F(UncertaintyBatch, TablesAndSummaryWithAValidation) {
  const auto r = Batch(dir, std::string("uncertainty made.csv -o u --samples 200 --warm-up 20 "
                                        "--to 1985-08-31 --validate made.csv --validate-from "
                                        "1985-09-01 --validate-to 1986-02-04") + Columns);
  ASSERT_EQ(r.Status, 0) << r.Err;
  const auto lines = r.Lines();
  EXPECT_TRUE(Line(lines, "samples: 200 run, 20 behavioural (NSE ").size()) << r.Out;
  EXPECT_TRUE(Line(lines, "behavioural 5-95 %: maximum storage ").find(", reservoirs ") != std::string::npos) << r.Out;
  const std::string calibration = Line(lines, "calibration: containing ratio ");
  const std::string validation = Line(lines, "validation: containing ratio ");
  EXPECT_NE(calibration.find(" %, mean band width "), std::string::npos) << r.Out;
  EXPECT_NE(validation.find(" of the mean measured runoff"), std::string::npos) << r.Out;

  const auto samples = SplitCrLfLines(ReadFileBytes(dir.File("u_samples.csv")));
  ASSERT_EQ(samples.size(), 201u);
  EXPECT_EQ(samples[0], "max_storage,initial_storage,max_escape,reservoirs,alpha,rsquare,nse,kge,"
                        "kge2012,lognse,sqrtnse,volume_error,rmse,behavioural,weight,determined");
  int behavioural = 0;
  double weights = 0;
  for (std::size_t i = 1; i < samples.size(); ++i) {
    const auto cells = SplitLines(samples[i], ",");
    ASSERT_EQ(cells.size(), 16u) << samples[i];
    if (cells[13] == "1") {
      ++behavioural;
      weights += std::stod(cells[14]);
      EXPECT_EQ(cells[15], "1") << "a member not determined: " << samples[i];
    }
  }
  EXPECT_EQ(behavioural, 20);
  EXPECT_NEAR(weights, 1, 1e-12);

  const auto bands = SplitCrLfLines(ReadFileBytes(dir.File("u_bands.csv")));
  EXPECT_EQ(bands[0], "date,time,rain,measured,best,q05,q50,q95");
  ASSERT_EQ(bands.size(), 1u + 243);  // January to August 1985
  EXPECT_TRUE(bands[1].starts_with("1985-01-01,1,")) << bands[1];
  const auto next = SplitCrLfLines(ReadFileBytes(dir.File("u_validation_bands.csv")));
  EXPECT_EQ(next[0], bands[0]);
  EXPECT_TRUE(next[1].starts_with("1985-09-01,1,")) << next[1];
  EXPECT_EQ(next.size(), 1u + 400 - 243);
}

TEST_F(UncertaintyBatch, SameSeedSameFilesAndForceNeeded) {
  const std::string args = std::string("uncertainty made.csv --samples 60 --threshold 0.2 --slow-path") + Columns;
  ASSERT_EQ(Batch(dir, args + " -o a").Status, 0);
  ASSERT_EQ(Batch(dir, args + " -o b").Status, 0);
  ASSERT_EQ(Batch(dir, args + " -o c --seed 7").Status, 0);
  const std::string a = ReadFileBytes(dir.File("a_samples.csv"));
  EXPECT_TRUE(a.starts_with("max_storage,initial_storage,max_escape,base_share,base_alpha,reservoirs,alpha,"));
  EXPECT_EQ(a, ReadFileBytes(dir.File("b_samples.csv")));
  EXPECT_EQ(ReadFileBytes(dir.File("a_bands.csv")), ReadFileBytes(dir.File("b_bands.csv")));
  EXPECT_NE(a, ReadFileBytes(dir.File("c_samples.csv")));

  // Again without --force: refused, the tables kept.
  WriteFileBytes(dir.File("a_bands.csv"), "mine");
  const auto refused = Batch(dir, args + " -o a");
  EXPECT_EQ(refused.Status, 1);
  EXPECT_NE(refused.Err.find("exists already; give --force"), std::string::npos) << refused.Err;
  EXPECT_EQ(ReadFileBytes(dir.File("a_bands.csv")), "mine");
  ASSERT_EQ(Batch(dir, args + " -o a --force").Status, 0);
  EXPECT_EQ(ReadFileBytes(dir.File("a_bands.csv")), ReadFileBytes(dir.File("b_bands.csv")));
}

TEST_F(UncertaintyBatch, NoDatesLeaveTheDateEmpty) {
  WriteFileBytes(dir.File("times.csv"), MadeTable(120, false));
  const auto r = Batch(dir, "uncertainty times.csv -o t --samples 30 --time-column 1 "
                            "--rain-column P --runoff-column Q --objective kge");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find(" behavioural (KGE "), std::string::npos) << r.Out;
  const auto bands = SplitCrLfLines(ReadFileBytes(dir.File("t_bands.csv")));
  ASSERT_GE(bands.size(), 3u);
  EXPECT_TRUE(bands[1].starts_with(",1,")) << bands[1];
  EXPECT_TRUE(bands[2].starts_with(",2,")) << bands[2];
}

TEST_F(UncertaintyBatch, PicturesOfEverySampledValueAndTheBands) {
  const std::string args = std::string("uncertainty made.csv -o p --samples 40 --slow-path --to 1985-10-31 "
                                       "--validate made.csv --validate-from 1985-11-01 --validate-to 1986-02-04") + Columns;
  auto r = Batch(dir, args + " --plots pics --plot-format svg");
  ASSERT_EQ(r.Status, 0) << r.Err;
  EXPECT_NE(r.Out.find("9 pictures written in "), std::string::npos) << r.Out;
  for (const char* name : {"dotty_max_storage", "dotty_initial_storage", "dotty_max_escape",
                           "dotty_base_share", "dotty_base_alpha", "dotty_reservoirs", "dotty_alpha",
                           "band", "validation_band"}) {
    const std::string path = dir.File(std::string("pics/") + name + ".svg");
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_NE(ReadFileBytes(path).find("<svg"), std::string::npos) << path;
  }
  // A picture there already is not replaced without --force.
  std::filesystem::remove(dir.File("p_samples.csv"));
  std::filesystem::remove(dir.File("p_bands.csv"));
  std::filesystem::remove(dir.File("p_validation_bands.csv"));
  r = Batch(dir, args + " --plots pics --plot-format svg");
  EXPECT_EQ(r.Status, 1);
  EXPECT_NE(r.Err.find("dotty_max_storage.svg: exists already"), std::string::npos) << r.Err;
  EXPECT_EQ(Batch(dir, args + " --plot-format svg").Status, 2);
  EXPECT_EQ(Batch(dir, args + " --plots pics --plot-format bmp").Status, 2);
}

class UncertaintyRefusal : public ::testing::TestWithParam<TBatchRefusal> {};

TEST_P(UncertaintyRefusal, SaysWhyAndWritesNothing) {
  const auto& c = GetParam();
  TScratchDir dir;
  WriteFileBytes(dir.File("made.csv"), MadeTable(200));
  const auto r = Batch(dir, std::string("uncertainty ") + c.Args);
  EXPECT_EQ(r.Status, c.Status) << r.Err;
  EXPECT_NE(r.Err.find(c.Says), std::string::npos) << r.Err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("u_samples.csv")));
  EXPECT_FALSE(std::filesystem::exists(dir.File("u_bands.csv")));
}

#define COLUMNS " --date-column 1 --rain-column P --runoff-column Q"
INSTANTIATE_TEST_SUITE_P(
    Refused, UncertaintyRefusal,
    ::testing::Values(
        TBatchRefusal{"NoneBehavioural", "made.csv -o u --samples 20 --threshold 0.999999" COLUMNS, 1,
                      "give a lower threshold"},
        TBatchRefusal{"ThresholdAboveOne", "made.csv -o u --threshold 1.5" COLUMNS, 2, "out of range"},
        TBatchRefusal{"ShareOfNothing", "made.csv -o u --best-share 0" COLUMNS, 2, "--best-share must be"},
        TBatchRefusal{"Both", "made.csv -o u --threshold 0.5 --best-share 0.1" COLUMNS, 2, "not both"},
        TBatchRefusal{"NoSamples", "made.csv -o u --samples 0" COLUMNS, 2, "--samples must be"},
        TBatchRefusal{"NotAnObjective", "made.csv -o u --objective rmse" COLUMNS, 2, "--objective must be"},
        TBatchRefusal{"BadSeed", "made.csv -o u --seed -3" COLUMNS, 2, "--seed must be"},
        TBatchRefusal{"NoPrefix", "made.csv" COLUMNS, 2, "needs -o PREFIX"},
        TBatchRefusal{"WarmUpTooLong", "made.csv -o u --warm-up 199" COLUMNS, 1, "warm-up"}),
    CaseName);

}  // namespace
