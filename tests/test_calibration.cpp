// The fit criteria, the warnings, the stored form of parameters and the
// search for the pre-reservoir parameters of best fit.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "files/storelines.h"
#include "model/calibration.h"
#include "model/criteria.h"
#include "model/dmquorell.h"
#include "model/routing.h"
#include "model/runwarnings.h"
#include "model/search.h"
#include "support/test_support.h"

namespace {

struct TCriteriaCase {
  const char* Name;
  std::vector<double> Measured, Calculated;
  double RSquare, Nse, Kge;  // NaN: not a number expected
  double VolumeError, Rmse;
};

class Criteria : public ::testing::TestWithParam<TCriteriaCase> {};

void ExpectNear(double actual, double expected) {
  if (std::isnan(expected))
    EXPECT_TRUE(std::isnan(actual)) << actual;
  else if (std::isinf(expected))
    EXPECT_EQ(actual, expected);
  else
    EXPECT_NEAR(actual, expected, 1e-12);
}

TEST_P(Criteria, HandComputed) {
  const auto& c = GetParam();
  std::vector<double> meas{0}, calc{0};
  meas.insert(meas.end(), c.Measured.begin(), c.Measured.end());
  calc.insert(calc.end(), c.Calculated.begin(), c.Calculated.end());
  const TFitCriteria fit = FitCriteria(meas.data(), calc.data(), static_cast<int>(c.Measured.size()));
  ExpectNear(fit[TCriterion::RSquare], c.RSquare);
  ExpectNear(fit[TCriterion::Nse], c.Nse);
  ExpectNear(fit[TCriterion::Kge], c.Kge);
  ExpectNear(fit[TCriterion::VolumeError], c.VolumeError);
  ExpectNear(fit[TCriterion::Rmse], c.Rmse);
}

const double NaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Series, Criteria,
    ::testing::Values(
        TCriteriaCase{"Perfect", {1, 2, 3, 4}, {1, 2, 3, 4}, 1, 1, 1, 0, 0},
        // Shifted by one: r = 1, a = 1, b = 3.5 / 2.5; 4 of 10 too much.
        TCriteriaCase{"Shifted", {1, 2, 3, 4}, {2, 3, 4, 5}, 0.6, 0.2, 0.6, 40, 1},
        // Doubled: r = 1, a = b = 2.
        TCriteriaCase{"Doubled", {1, 2, 3, 4}, {2, 4, 6, 8}, 0, -5, 1 - std::sqrt(2.0), 100,
                      std::sqrt(30.0 / 4)},
        // Reversed: r = -1, a = b = 1; the volume is right.
        TCriteriaCase{"Reversed", {1, 2, 3}, {3, 2, 1}, 1 - (4.0 / 3) / 2, -3, -1, 0,
                      std::sqrt(8.0 / 3)},
        // The mean as the answer: NSE 0; a flat calculation has no correlation.
        TCriteriaCase{"Mean", {1, 2, 3}, {2, 2, 2}, 1 - (2.0 / 3) / 2, 0, NaN, 0,
                      std::sqrt(2.0 / 3)},
        // Too little water: 3 of 6 missing.
        TCriteriaCase{"Half", {1, 2, 3}, {0.5, 1, 1.5}, 0.5, 1 - 3.5 / 2, 1 - std::sqrt(0.5), -50,
                      std::sqrt(3.5 / 3)},
        // Nothing measured: no volume to compare with.
        TCriteriaCase{"NothingMeasured", {0, 0}, {1, 1}, -INFINITY, NaN, NaN, NaN, 1}),
    CaseName);

TEST(Criteria, TheOutputFilesRSquareIsTheOneCompared) {
  TDMQuorell dm;
  auto& ws = dm.Analysis();
  const double meas[] = {0, 0.001, 2.5, 7.25, 3.1};
  const double calc[] = {0, 0.4, 2.0, 6.0, 3.3};
  ws.AnaNrOfData = 4;
  for (int i = 1; i <= 4; ++i) {
    SetReconstructionPoint(dm.Analysis(), i, {i, double(i), 0, 0, meas[i], calc[i]});
  }
  TScratchDir dir;
  dm.FileName = dir.File("fit.inp");
  dm.WriteReconstructionResults();
  EXPECT_EQ(ws.RSquare, FitCriteria(meas, calc, 4)[TCriterion::RSquare]);
}

TEST(RunWarnings, EscapeBeyondTheStore) {
  const double unit[] = {0, 1, 2, 3};
  const double gap[] = {0, 1, 2, 5, 6};
  EXPECT_EQ(EscapeWarning(5, 2, unit, 3), "");
  EXPECT_EQ(EscapeWarning(5, 5, unit, 3), "");  // equal is not more
  EXPECT_EQ(EscapeWarning(5, 2, unit, 1), "");
  EXPECT_EQ(EscapeWarning(5, 2, gap, 4),
            "Warning: the escape rate 2 times the time step 3 (points 2 to 3) is more than the "
            "maximum storage 5: the store goes negative and the recharge is no longer meaningful");
  EXPECT_NE(EscapeWarning(0.5, 0.6, unit, 3), "");
}

TEST(RunWarnings, AlphaOnTheEdgeOfItsRange) {
  const auto& candidates = AlphaCandidateTable();
  EXPECT_EQ(AlphaEdgeWarning(candidates[1]),
            "Warning: alpha 0.002 lies on the edge of its range (0.002 to 20.000): the best fit "
            "may lie beyond it");
  EXPECT_NE(AlphaEdgeWarning(candidates[AlphaCandidates]), "");
  EXPECT_EQ(AlphaEdgeWarning(candidates[2]), "");
  EXPECT_EQ(AlphaEdgeWarning(candidates[AlphaCandidates - 1]), "");
}

TEST(Calibration, ParametersAsTheFileStoresThem) {
  const std::pair<double, double> cases[] = {{12.345, 12.35}, {12.344, 12.34}, {0.12345, 0.123},
                                             {0.9996, 1},     {0.0004, 0},      {1.005, 1.0},
                                             {500, 500},      {0.0015, 0.002}};
  for (const auto& [value, stored] : cases) EXPECT_EQ(StoredParameter(value), stored) << value;
}

TEST(Calibration, Bounds) {
  struct TCase {
    double Low, High;
    bool Ok;
  };
  const TCase cases[] = {{1, 500, true},      {0.0001, 0.002, true}, {7, 7, true},
                         {1.005, 1.01, true}, {0, 500, false},       {-1, 5, false},
                         {5, 1, false},       {1, 100001, false},    {NaN, 5, false},
                         {1.001, 1.004, false}};
  for (const auto& c : cases)
    EXPECT_EQ(CheckCalibrationBounds({c.Low, c.High}).empty(), c.Ok) << c.Low << ":" << c.High;
  const TCalibrationBounds b{1, 500};
  EXPECT_TRUE(WithinBounds({10, 10, 1}, b));
  EXPECT_TRUE(WithinBounds({10, 0.001, 0}, b));
  EXPECT_FALSE(WithinBounds({10, 0, 1}, b));
  EXPECT_FALSE(WithinBounds({10, 11, 1}, b));
  EXPECT_FALSE(WithinBounds({10, 5, 1.01}, b));
  EXPECT_FALSE(WithinBounds({0.5, 0.5, 0}, b));
}

TEST(StoreLines, ReplacesLinesSevenToTenAndKeepsEveryOtherByte) {
  const std::string head = " x\r\n Ana\r\n\r\nT1\r\nT2\r\n\r\n";
  const std::string tail = "\r\n rule\r\n 1 2 3 4\r\n\x1A junk";
  const std::string text = head + " Filename: old.inp\r\n Maximum dead storage:     5.00 mm\r\n" +
                           " Initial dead storage:     5.00\r\n Max.escape/time unit:   2.000\r\n" +
                           tail;
  EXPECT_EQ(ReplaceStoreLines(text, "/d/best.inp", {49.22, 0.123, 1.02}),
            head + " Filename: /d/best.inp\r\n Maximum dead storage:    49.22\r\n" +
                " Initial dead storage:    0.123\r\n Max.escape/time unit:     1.02\r\n" + tail);
  // Lines ending in a lone line feed keep it.
  EXPECT_EQ(ReplaceStoreLines("1\n2\n3\n4\n5\n6\n7\n8\r\n9\n10\n", "p", {1, 1, 0}),
            "1\n2\n3\n4\n5\n6\n Filename: p\n Maximum dead storage:     1.00\r\n"
            " Initial dead storage:     1.00\n Max.escape/time unit:    0.000\n");
  EXPECT_FALSE(ReplaceStoreLines("1\n2\n3\n4\n5\n6\n7\n8\n9\n10", "p", {1, 1, 0}));
  EXPECT_FALSE(ReplaceStoreLines("1\n2\n3\n4\n5\n\x1A\n7\n8\n9\n10\n", "p", {1, 1, 0}));
}

// A record made by the model from known store parameters, without noise.
class CalibrationSearch : public ::testing::Test {
protected:
  std::string MakeRecord(double maxSto, double iniSto, double maxEsc, int points = 200) {
    std::vector<double> times, rains;
    for (int i = 1; i <= points; ++i) {
      times.push_back(i);
      rains.push_back(i % 9 == 0 ? 18.5 : i % 4 == 0 ? 2.25 : 0);
    }
    TDMQuorell maker;
    maker.SetDialogs(&dialogs);
    const auto runoff = ModelRunoff(maker, times, rains, {maxSto, iniSto, maxEsc}, 2, 0.2, 1);
    EXPECT_TRUE(runoff);
    const auto path = dir.File("made.inp");
    // The file starts from parameters far from the true ones.
    WriteAnalysisFile(maker, path, times, rains, *runoff, 300, 300, 0);
    return path;
  }
  TCalibrationPoint Calibrate(const std::string& path, TObjective objective,
                              TCalibrationBounds bounds = {}) {
    Reports = 0;
    dm.SetDialogs(&dialogs);
    dm.FileName = path;
    EXPECT_TRUE(dm.PrepareDetermination());
    const TStoreParameters own{dm.Analysis().AnaMaxSto, dm.Analysis().AnaIniSto,
                               dm.Analysis().AnaMaxEsc};
    TCalibration calibration(dm, objective, bounds);
    Before = calibration.Evaluate(own);
    double lastReported = -std::numeric_limits<double>::infinity();
    const auto best = calibration.Search(own, [&](int count, const TCalibrationPoint& p) {
      ++Reports;
      EXPECT_EQ(count, calibration.Evaluations());
      EXPECT_GE(p.Objective, lastReported);
      lastReported = p.Objective;
    });
    Evaluations = calibration.Evaluations();
    return best;
  }
  TScratchDir dir;
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  TCalibrationPoint Before;
  int Evaluations = 0, Reports = 0;
};

TEST_F(CalibrationSearch, ReachesTheFitOfTheParametersTheRecordWasMadeWith) {
  const auto path = MakeRecord(40, 12, 1.5);
  for (TObjective objective : {TObjective::RSquare, TObjective::Nse, TObjective::Kge}) {
    SCOPED_TRACE(ObjectiveName(objective));
    const TCalibrationPoint best = Calibrate(path, objective);
    ASSERT_TRUE(best.Valid);
    EXPECT_GE(best.Fit[TCriterion::RSquare], 0.995);  // printed 1.00
    EXPECT_GT(best.Objective, Before.Objective + 0.05);
    EXPECT_EQ(best.NrOfRes, 2);
    EXPECT_NEAR(best.Alpha, 0.2, 0.01);
    EXPECT_TRUE(WithinBounds(best.Store, {}));
    // A report for every candidate looked at, and never a worse best.
    EXPECT_GE(Reports, Evaluations);
    EXPECT_TRUE(dialogs.Messages.empty());
  }
}

TEST_F(CalibrationSearch, SameResultOnEveryRunAndWithinNarrowBounds) {
  const auto path = MakeRecord(40, 12, 1.5, 120);
  const TCalibrationPoint first = Calibrate(path, TObjective::RSquare, {20, 30});
  const int firstCount = Evaluations;
  const TCalibrationPoint second = Calibrate(path, TObjective::RSquare, {20, 30});
  EXPECT_EQ(first.Store.MaxSto, second.Store.MaxSto);
  EXPECT_EQ(first.Store.IniSto, second.Store.IniSto);
  EXPECT_EQ(first.Store.MaxEsc, second.Store.MaxEsc);
  EXPECT_EQ(first.Objective, second.Objective);
  EXPECT_EQ(firstCount, Evaluations);
  EXPECT_GE(first.Store.MaxSto, 20);
  EXPECT_LE(first.Store.MaxSto, 30);
  EXPECT_TRUE(WithinBounds(first.Store, {20, 30}));
  // One maximum storage only.
  const TCalibrationPoint fixed = Calibrate(path, TObjective::RSquare, {25, 25});
  EXPECT_EQ(fixed.Store.MaxSto, 25);
  EXPECT_GE(fixed.Objective, Before.Objective);
}

TEST_F(CalibrationSearch, EveryCandidateIsItsStoredForm) {
  const auto path = MakeRecord(40, 12, 1.5, 60);
  // Storages below 1, where the file keeps three decimals.
  const TCalibrationPoint p = Calibrate(path, TObjective::RSquare, {0.0001, 3});
  ASSERT_TRUE(p.Valid);
  EXPECT_LE(p.Store.MaxSto, 3);
  EXPECT_EQ(StoredParameter(p.Store.MaxSto), p.Store.MaxSto);
  EXPECT_EQ(StoredParameter(p.Store.IniSto), p.Store.IniSto);
  EXPECT_EQ(StoredParameter(p.Store.MaxEsc), p.Store.MaxEsc);
  EXPECT_GT(p.Store.IniSto, 0);
}

}  // namespace
