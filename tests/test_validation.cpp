// Split-sample validation in the model: the determination's reconstruction
// without its search, the warm-up, the model read from a determination's
// input or output file, and the dates kept in a second title.
#include <gtest/gtest.h>

#include <cmath>

#include "base/numformat.h"
#include "base/numparse.h"
#include "files/outputfile.h"
#include "files/outputreader.h"
#include "files/tabledates.h"
#include "model/dmquorell.h"
#include "model/routing.h"
#include "model/runwarnings.h"
#include "model/search.h"
#include "model/validation.h"
#include "support/test_support.h"

namespace {

double Candidate(int k) { return AlphaCandidateTable()[k]; }

struct TKnown {
  const char* Name;
  TStoreParameters Store;
  int NrOfRes;
  int AlphaCandidate;
};

class ModelsOwnRecord : public ::testing::TestWithParam<TKnown> {};

TEST_P(ModelsOwnRecord, IsReproducedExactlyAfterTheFirstPoint) {
  const auto& c = GetParam();
  const int n = 400;
  const auto times = Times(n), rains = Rains(n);
  TDMQuorell dm;
  const double alpha = Candidate(c.AlphaCandidate);
  const auto runoff = ModelRunoff(dm, times, rains, c.Store, c.NrOfRes, alpha, 1.5);
  ASSERT_TRUE(runoff);
  ASSERT_GE(*std::min_element(runoff->begin(), runoff->end()), MinRunoff);
  const TFittedModel model{c.Store, c.NrOfRes, alpha};
  // The determination starts every reservoir from the first measured value:
  // only the first point can differ.
  const TValidation v = Validate(model, {times, rains, *runoff}, 1);
  ASSERT_TRUE(v.Ok()) << v.Error;
  EXPECT_EQ(v.Fit[TCriterion::Nse], 1);
  EXPECT_EQ(v.Fit[TCriterion::Kge], 1);
  EXPECT_EQ(v.Fit[TCriterion::RSquare], 1);
  EXPECT_EQ(v.Fit[TCriterion::VolumeError], 0);
  EXPECT_EQ(v.Fit[TCriterion::Rmse], 0);
  EXPECT_EQ(v.Fit.Sums.Points, n - 1);
  const TValidation all = Validate(model, {times, rains, *runoff}, 0);
  ASSERT_TRUE(all.Ok());
  EXPECT_EQ(all.Calculated, v.Calculated);
  if (c.NrOfRes == 1) {
    EXPECT_EQ(all.Fit[TCriterion::Nse], 1);
  } else {
    EXPECT_LT(all.Fit[TCriterion::Nse], 1);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Parameters, ModelsOwnRecord,
    ::testing::Values(TKnown{"OneReservoir", {40, 20, 0.2}, 1, 40},
                      TKnown{"TwoReservoirs", {40, 20, 2}, 2, 40},
                      TKnown{"ThreeHourly", {12.5, 3.25, 0.35}, 3, 75},
                      TKnown{"FiveSlow", {100, 99.5, 1}, 5, 7},
                      TKnown{"FullStore", {5, 5, 0.5}, 4, 500}),
    [](const auto& test) { return std::string(test.param.Name); });

struct TOwnPeriod {
  const char* Name;
  std::vector<double> Times, Rains, Runoffs;
  double MaxSto, IniSto, MaxEsc;
};

class OwnPeriod : public ::testing::TestWithParam<TOwnPeriod> {};

// The validation of a determination's record with what it found is its
// reconstruction, to the last bit.
TEST_P(OwnPeriod, GivesTheDeterminationsReconstruction) {
  const auto& c = GetParam();
  TScratchDir dir;
  TDMQuorell dm;
  const std::string path = dir.File("own.inp");
  WriteAnalysisFile(dm, path, c.Times, c.Rains, c.Runoffs, c.MaxSto, c.IniSto, c.MaxEsc);
  dm.FileName = path;
  ASSERT_TRUE(dm.RunModel(true));
  const auto& ws = dm.Analysis();
  const int n = ws.AnaNrOfData;

  const TRecordFile record = ReadRecordFile(path);
  ASSERT_TRUE(record.Error.empty()) << record.Error;
  const TFittedFile fitted = ReadFittedModel(path);
  ASSERT_TRUE(fitted.Error.empty()) << fitted.Error;
  const TValidation v =
      Validate(fitted.Model, {record.Times, record.Rains, record.Runoffs}, 0);
  ASSERT_TRUE(v.Ok()) << v.Error;
  ASSERT_EQ(v.Calculated.size(), static_cast<std::size_t>(n));
  for (int i = 1; i <= n; ++i) {
    const auto k = static_cast<std::size_t>(i - 1);
    EXPECT_EQ(v.Calculated[k], ws.RunCalc[i]) << i;
    EXPECT_EQ(v.Measured[k], ws.RunMeas[i]) << i;
    EXPECT_EQ(v.Recharge[k], ws.Rech[i]) << i;
  }
  EXPECT_EQ(v.Store, ws.Store());
  EXPECT_EQ(fitted.Model.Store, (TStoreParameters{c.MaxSto, c.IniSto, c.MaxEsc}));
  EXPECT_EQ(v.Delta, ws.Delta);
  EXPECT_EQ(CriteriaLine(v.Fit), CriteriaLine(FitCriteria(ws.RunMeas, ws.RunCalc, n)));

  // Its output file gives the same model: alpha is the candidate printed.
  const TFittedFile out = ReadFittedModel(dir.File("own.out"));
  ASSERT_TRUE(out.Error.empty()) << out.Error;
  EXPECT_TRUE(out.OutputFile);
  EXPECT_EQ(out.Model.NrOfRes, fitted.Model.NrOfRes);
  EXPECT_EQ(out.Model.Alpha, fitted.Model.Alpha);
  const TValidation fromOut =
      Validate(out.Model, {record.Times, record.Rains, record.Runoffs}, 0);
  ASSERT_TRUE(fromOut.Ok()) << fromOut.Error;
  EXPECT_EQ(fromOut.Calculated, v.Calculated);
  EXPECT_TRUE(out.Notes.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Records, OwnPeriod,
    ::testing::Values(
        TOwnPeriod{"Plain", Times(60), Rains(60), Runoffs(60), 40, 20, 2},
        // Measured values below 0.001 are raised as the determination raises them.
        TOwnPeriod{"ZeroRunoffs", Times(6), {0, 9, 0, 4, 0, 0}, {0, 3, 2, 0.0001, 1.5, 0}, 10, 5,
                   0.5},
        // The initial storage of 0 is a tenth of the maximum, in both files.
        TOwnPeriod{"NoInitialStorage", Times(8), {0, 9, 0, 4, 0, 7, 0, 0},
                   {1, 3, 2, 1.5, 1.25, 2.5, 2, 1.5}, 45, 0, 1.5},
        // The cascade takes the last step for every step.
        TOwnPeriod{"UnevenSteps", {1, 2, 4, 5, 9, 11}, {0, 9, 0, 4, 0, 0}, {1, 3, 2, 1.5, 1.25, 1},
                   20, 10, 1}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(Validation, WarmUpLeavesPointsOutOfTheCriteriaOnly) {
  const int n = 200;
  const auto times = Times(n), rains = Rains(n);
  const auto measured = Runoffs(n);
  const TFittedModel model{{30, 10, 1}, 3, Candidate(60)};
  const TValidation all = Validate(model, {times, rains, measured}, 0);
  ASSERT_TRUE(all.Ok());
  for (int w : {1, 37, n - 2}) {
    SCOPED_TRACE(w);
    const TValidation v = Validate(model, {times, rains, measured}, w);
    ASSERT_TRUE(v.Ok()) << v.Error;
    EXPECT_EQ(v.WarmUp, w);
    EXPECT_EQ(v.Calculated, all.Calculated);
    const auto skip = static_cast<std::size_t>(w);
    const TFitCriteria expected = FitCriteria(std::span(all.Measured).subspan(skip),
                                              std::span(all.Calculated).subspan(skip));
    EXPECT_EQ(CriteriaLine(v.Fit), CriteriaLine(expected));
    EXPECT_EQ(v.Fit.Sums.Points, n - w);
  }
  EXPECT_EQ(Validate(model, {times, rains, measured}, n - 1).Error,
            "The warm-up of 199 points leaves 1 of the 200 points to judge the fit by; the "
            "criteria need at least 2");
  EXPECT_EQ(CheckWarmUp(0, 1), "The record holds 1 point; the criteria need at least 2");
  EXPECT_EQ(CheckWarmUp(-1, 10), "The warm-up must be 0 points or more");
}

struct TRefused {
  const char* Name;
  TFittedModel Model;
  std::vector<double> Times, Runoffs;
  const char* Says;
};

class ValidationRefuses : public ::testing::TestWithParam<TRefused> {};

TEST_P(ValidationRefuses, WithItsReason) {
  const auto& c = GetParam();
  const std::vector<double> rains(c.Times.size(), 1.0);
  const TValidation v = Validate(c.Model, {c.Times, rains, c.Runoffs}, 0);
  EXPECT_EQ(v.Error, c.Says);
  EXPECT_TRUE(v.Calculated.empty());
}

const TStoreParameters Store{20, 10, 1};
const double NaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Cases, ValidationRefuses,
    ::testing::Values(
        TRefused{"NoReservoir", {Store, 0, 0.3}, {1, 2, 3}, {1, 2, 3},
                 "The number of reservoirs is 0; it must be 1 to 5"},
        TRefused{"SixReservoirs", {Store, 6, 0.3}, {1, 2, 3}, {1, 2, 3},
                 "The number of reservoirs is 6; it must be 1 to 5"},
        TRefused{"AlphaZero", {Store, 2, 0}, {1, 2, 3}, {1, 2, 3},
                 "The reaction factor alpha is 0; it must be a number above 0"},
        TRefused{"AlphaNaN", {Store, 2, NaN}, {1, 2, 3}, {1, 2, 3},
                 "The reaction factor alpha is NAN; it must be a number above 0"},
        // Below 0.001 every value is 0.001.
        TRefused{"FlatRunoff", {Store, 2, 0.3}, {1, 2, 3}, {0, 0.0005, -1},
                 "There is no variation in runoff values. The validation cannot be made"},
        TRefused{"FlatHighRunoff", {Store, 2, 0.3}, {1, 2, 3}, {5, 5, 5},
                 "There is no variation in runoff values. The validation cannot be made"},
        TRefused{"FlatTime", {Store, 2, 0.3}, {4, 4, 4}, {1, 2, 3},
                 "There is no variation in time. The validation cannot be made"},
        TRefused{"TimeBack", {Store, 2, 0.3}, {1, 2, 3, 2.5}, {1, 2, 3, 4},
                 "Incorrect time sequence encountered: the time 2.5 of point 4 comes before 3. "
                 "Please correct the input data"},
        TRefused{"NoStorage", {{0, 0, 1}, 2, 0.3}, {1, 2, 3}, {1, 2, 3},
                 "The Maximum Storage must be > 0"}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(Validation, WarnsAsARunDoes) {
  const std::vector<double> times{1, 2, 3, 10, 11}, rains{0, 9, 0, 4, 0},
      runoffs{1, 3, 2, 1.5, 1.25};
  TValidation v = Validate({{10, 5, 1.5}, 2, Candidate(150)}, {times, rains, runoffs}, 0);
  ASSERT_TRUE(v.Ok());
  ASSERT_EQ(v.Warnings.size(), 1u);
  EXPECT_EQ(v.Warnings[0], EscapeWarning(10, 1.5, times));
  EXPECT_NE(v.Warnings[0].find("(points 3 to 4)"), std::string::npos) << v.Warnings[0];
  v = Validate({{100, 5, 1.5}, 2, Candidate(AlphaCandidates)}, {times, rains, runoffs}, 0);
  ASSERT_EQ(v.Warnings.size(), 1u);
  EXPECT_EQ(v.Warnings[0], AlphaEdgeWarning(Candidate(AlphaCandidates)));
}

TEST(Validation, AnOutputFilesAlphaIsTheCandidateItPrints) {
  for (int k = 1; k <= AlphaCandidates; ++k) {
    const double printed = *ParseReal(FormatFixed(Candidate(k), 0, 3));
    ASSERT_EQ(DeterminationAlpha(printed), Candidate(k)) << k;
  }
  // A value with more decimals than a head prints, or between candidates,
  // is taken as it is.
  EXPECT_EQ(DeterminationAlpha(0.1235), 0.1235);
  EXPECT_EQ(DeterminationAlpha(0.123), 0.123);
  EXPECT_EQ(DeterminationAlpha(25), 25);
}

TEST(Validation, AnOutputFileWhoseParametersLostADecimal) {
  TScratchDir dir;
  TDMQuorell dm;
  const std::string path = dir.File("r.inp");
  WriteAnalysisFile(dm, path, Times(30), Rains(30), Runoffs(30), 8, 0.125, 0.375);
  dm.FileName = path;
  ASSERT_TRUE(dm.RunModel(true));
  TFittedFile out = ReadFittedModel(dir.File("r.out"));
  ASSERT_TRUE(out.Error.empty()) << out.Error;
  EXPECT_EQ(out.Model.Store, (TStoreParameters{8, 0.13, 0.38}));
  ASSERT_EQ(out.Notes.size(), 2u);
  EXPECT_EQ(out.Notes[1], dir.File("r.out") + ": the head holds the escape rate 0.38 with two "
                                              "decimals; its input file " + path +
                              " holds 0.375 (give that file for the model as fitted)");
  // An input file changed since is none of the head's business.
  WriteAnalysisFile(dm, path, Times(30), Rains(30), Runoffs(30), 8, 2, 0.5);
  out = ReadFittedModel(dir.File("r.out"));
  EXPECT_TRUE(out.Notes.empty());
}

TEST(ResultsParameters, ReadBackFromBothHeads) {
  TReconstructionResults rec;
  rec.Store = {123.45, 0.5, 7.25};
  rec.NrOfRes = 4;
  rec.Alpha = 0.126;
  TResultsParameters p = ReadResultsParameters(FormatReconstructionResults(rec));
  EXPECT_EQ(p.Store, rec.Store);
  EXPECT_EQ(p.NrOfRes, 4);
  EXPECT_EQ(p.Alpha, 0.126);
  TPredictionResults pred;
  pred.Store = {10, 2, 0.25};
  pred.RateUnit = "mm/d";
  pred.NrOfRes = 2;
  pred.Alpha = 1.5;
  p = ReadResultsParameters(FormatPredictionResults(pred));
  EXPECT_EQ(p.Store, pred.Store);
  EXPECT_EQ(p.NrOfRes, 2);
  EXPECT_EQ(p.Alpha, 1.5);

  std::string damaged = FormatReconstructionResults(rec);
  damaged.replace(damaged.find("123.45"), 6, "abc.de");
  EXPECT_THROW(ReadResultsParameters(damaged), TInvalidNumber);
  EXPECT_THROW(ReadResultsParameters("RESULTS OF Tolvane PROGRAM\r\n\r\n"), TInvalidNumber);
}

TEST(RecordDates, OfTheSecondTitle) {
  const struct {
    const char* Title;
    double Time;
    const char* Date;  // "" for none
  } cases[] = {
      {"time 1 = 1985-01-01, time unit 1 day", 366, "1986-01-01"},
      {"time 1 = 1984-02-28, time unit 1 day", 3, "1984-03-01"},
      {"time 1 = 1990-03-01 06:00, time unit 1 day", 2, "1990-03-02 06:00"},
      {"time 1 = 1990-03-01 06:00, time unit 1 hour", 20, "1990-03-02 01:00"},
      {"Daily P and Q in mm per day", 1, ""},
      {"time 1 = 1985-13-01, time unit 1 day", 1, ""},
      {"time 1 = 1985-01-01, time unit 1 week", 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Title);
    const auto dates = RecordDatesOf(c.Title);
    if (*c.Date == 0) {
      EXPECT_FALSE(dates);
      continue;
    }
    ASSERT_TRUE(dates);
    EXPECT_EQ(dates->DateOf(c.Time), c.Date);
  }
}

}  // namespace
