// The fit criteria, the warnings, the stored form of parameters and the
// search for the pre-reservoir parameters of best fit.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "files/storelines.h"
#include "model/calibration.h"
#include "model/criteria.h"
#include "model/dmquorell.h"
#include "model/engine.h"
#include "model/routing.h"
#include "model/runwarnings.h"
#include "model/search.h"
#include "model/workpool.h"
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

// The criteria of 2012 and of transformed flows, each against a value
// worked out by hand.
TEST(Criteria, RevisedKgeAndTransformedFlows) {
  struct TCase {
    const char* Name;
    std::vector<double> Measured, Calculated;
    TCriterion Criterion;
    double Expected;
  } cases[] = {
      {"perfect KGE 2012", {1, 2, 3, 4}, {1, 2, 3, 4}, TCriterion::Kge2012, 1},
      {"perfect log NSE", {1, 2, 3, 4}, {1, 2, 3, 4}, TCriterion::LogNse, 1},
      {"perfect sqrt NSE", {1, 2, 3, 4}, {1, 2, 3, 4}, TCriterion::SqrtNse, 1},
      // Doubled: r = 1, bias 2, the same coefficient of variation.
      {"doubled KGE 2012", {1, 2, 3, 4}, {2, 4, 6, 8}, TCriterion::Kge2012, 0},
      // Shifted by one: bias 3.5 / 2.5, variation 2.5 / 3.5.
      {"shifted KGE 2012", {1, 2, 3, 4}, {2, 3, 4, 5}, TCriterion::Kge2012,
       1 - std::sqrt(0.4 * 0.4 + (2.5 / 3.5 - 1) * (2.5 / 3.5 - 1))},
      // Roots 1..4 against 2..5: squared differences 4, deviations 5.
      {"squares, sqrt NSE", {1, 4, 9, 16}, {4, 9, 16, 25}, TCriterion::SqrtNse, 1 - 4.0 / 5},
      // Flows of 0 have a logarithm: ln(0 + e) with e a hundredth of the
      // mean; three of four right gives 1 - 1 / (3/16 + 9/16).
      {"zero flows, log NSE", {0, 0, 0, 4}, {0, 0, 0, 0}, TCriterion::LogNse, -1.0 / 3},
      {"zero flows fitted, log NSE", {0, 0, 0, 4}, {0, 0, 0, 4}, TCriterion::LogNse, 1},
      {"zero flows, sqrt NSE", {0, 0, 0, 4}, {0, 0, 0, 0}, TCriterion::SqrtNse, -1.0 / 3},
      // A flat calculation has no coefficient of variation to compare.
      {"flat, KGE 2012", {1, 2, 3}, {2, 2, 2}, TCriterion::Kge2012, NaN},
      {"nothing measured, log NSE", {0, 0}, {1, 1}, TCriterion::LogNse, NaN},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    ExpectNear(FitCriteria(c.Measured, c.Calculated)[c.Criterion], c.Expected);
    ExpectNear(CriterionOf(c.Criterion, c.Measured, c.Calculated), c.Expected);
  }
  // Every key names its row, and the objectives are those a search may take.
  for (const auto& info : ::Criteria) EXPECT_EQ(CriterionByKey(info.Key), info.Id) << info.Key;
  EXPECT_EQ(ObjectiveKeys(), "rsquare|nse|kge|kge2012|lognse|sqrtnse");
}

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

// A record made by the model from known store parameters; noise on the
// runoff makes the best fit less than perfect, so that a search has to
// find it.
TRecord MadeRecord(const TStoreParameters& store, int points, double noise = 0) {
  TRecord r;
  std::mt19937 gen(5);
  std::uniform_real_distribution<double> u(-1, 1);
  for (int i = 1; i <= points; ++i) {
    r.Time.push_back(i);
    r.Rain.push_back(i % 9 == 0 ? 18.5 : i % 4 == 0 ? 2.25 : i % 23 == 0 ? 40 : 0);
  }
  const TRun run = PredictRun(r.Time, r.Rain, store, 2, 0.2, 1);
  EXPECT_TRUE(run.Ok());
  for (double q : run.Calculated) r.Runoff.push_back(q * (1 + noise * u(gen)));
  return r;
}

struct TSearched {
  TCalibrationPoint Best;
  int Evaluations = 0, Reports = 0;
};

TSearched Search(const TRecord& record, TObjective objective, TCalibrationBounds bounds = {},
                 unsigned threads = 0) {
  TWorkPool pool(threads);
  TCalibrationSettings settings;
  settings.Objective = objective;
  settings.Bounds = bounds;
  TCalibration calibration(record.View(), settings, &pool);
  TSearched searched;
  int lastCount = 0;
  searched.Best = calibration.Search([&](const TCalibrationProgress& p) {
    ++searched.Reports;
    EXPECT_GE(p.Evaluations, lastCount);
    EXPECT_GE(p.Planned, p.Evaluations);
    lastCount = p.Evaluations;
  });
  searched.Evaluations = calibration.Evaluations();
  return searched;
}

TEST(CalibrationSearch, ReachesTheFitOfTheParametersTheRecordWasMadeWith) {
  const TStoreParameters made{40, 12, 1.5};
  const TRecord record = MadeRecord(made, 200);
  for (TObjective objective : {TObjective::RSquare, TObjective::Nse, TObjective::Kge,
                               TObjective::Kge2012, TObjective::LogNse, TObjective::SqrtNse}) {
    SCOPED_TRACE(ObjectiveName(objective));
    const TSearched s = Search(record, objective);
    ASSERT_TRUE(s.Best.Valid);
    // The determination starts from the measured runoff, the record from
    // another: the parameters it was made with fit almost perfectly.
    TCalibrationSettings settings;
    settings.Objective = objective;
    const double truth = TCalibration(record.View(), settings).Evaluate(made).Objective;
    EXPECT_GT(truth, 0.998);
    EXPECT_GE(s.Best.Objective, truth - 1e-4);
    EXPECT_EQ(s.Best.NrOfRes, 2);
    EXPECT_NEAR(s.Best.Alpha, 0.2, 0.01);
    EXPECT_TRUE(WithinBounds(s.Best.Store, {}));
    EXPECT_GT(s.Reports, 0);
  }
}

// The answer is that of the whole determination of the parameters found,
// and the same on one thread as on several, run after run.
TEST(CalibrationSearch, OneAnswerOnAnyNumberOfThreads) {
  const TRecord record = MadeRecord({25, 20, 0.8}, 400, 0.15);
  const TSearched one = Search(record, TObjective::Nse, {}, 1);
  ASSERT_TRUE(one.Best.Valid);
  for (unsigned threads : {2u, 3u, 1u}) {
    const TSearched again = Search(record, TObjective::Nse, {}, threads);
    EXPECT_EQ(again.Best.Store, one.Best.Store) << threads;
    EXPECT_EQ(again.Best.Objective, one.Best.Objective) << threads;
    EXPECT_EQ(again.Evaluations, one.Evaluations) << threads;
  }
  const TRun exact = DetermineRun(record.View(), one.Best.Store);
  EXPECT_EQ(exact.NrOfRes, one.Best.NrOfRes);
  EXPECT_EQ(exact.Alpha, one.Best.Alpha);
  EXPECT_EQ(exact.Fit[TCriterion::Nse], one.Best.Objective);
}

// On a long record the reservoirs and alpha reported are those of the
// exhaustive search of 5 x 10000 cascades, not of the quick guess.
TEST(CalibrationSearch, ReportsTheExhaustiveSearchOnALongRecord) {
  const TRecord record = MadeRecord({60, 30, 2}, 5000, 0.3);
  const TSearched s = Search(record, TObjective::Kge);
  ASSERT_TRUE(s.Best.Valid);
  const TRun run = DetermineRun(record.View(), s.Best.Store);
  ASSERT_TRUE(run.Ok());
  // The table the straightforward way, one cascade a pair, from 1-based
  // series.
  std::vector<double> meas{0}, rech{0};
  meas.insert(meas.end(), run.Measured.begin(), run.Measured.end());
  rech.insert(rech.end(), run.Recharge.begin(), run.Recharge.end());
  static TSumSqTable sums;
  ComputeSumSqReference(meas.data(), rech.data(), static_cast<int>(run.Measured.size()), run.Delta,
                        AlphaCandidateTable(), sums);
  int nr = 0;
  double alpha = 0;
  ASSERT_TRUE(SelectBestPair(sums, AlphaCandidateTable(), nr, alpha));
  EXPECT_EQ(s.Best.NrOfRes, nr);
  EXPECT_EQ(s.Best.Alpha, alpha);
  EXPECT_EQ(s.Best.Objective, run.Fit[TCriterion::Kge]);
}

// Global over the bounds: a dense random search of its own, polished by a
// compass search, judged by the whole determination, finds nothing better.
TEST(CalibrationSearch, ADenseRandomSearchFindsNothingBetter) {
  const TRecord record = MadeRecord({120, 40, 3}, 250, 0.25);
  for (TObjective objective : {TObjective::Nse, TObjective::Kge2012}) {
    SCOPED_TRACE(ObjectiveName(objective));
    const TSearched s = Search(record, objective);
    TWorkPool pool;
    TCalibrationSettings settings;
    settings.Objective = objective;
    TCalibration judge(record.View(), settings, &pool);
    std::mt19937 gen(99);
    std::uniform_real_distribution<double> u(0, 1);
    TCalibrationPoint best;
    const TCalibrationBounds bounds;
    auto storeOf = [&](double x, double y, double z) {
      const double maxSto = bounds.MaxStoLow * std::pow(bounds.MaxStoHigh / bounds.MaxStoLow, x);
      return StoredWithinBounds({maxSto, y * maxSto, z * maxSto / 10}, bounds);
    };
    double bx = 0, by = 0, bz = 0;
    for (int i = 0; i < 1500; ++i) {
      const double x = u(gen), y = u(gen), z = u(gen);
      const TCalibrationPoint p = judge.Evaluate(storeOf(x, y, z));
      if (p.Objective > best.Objective) {
        best = p;
        bx = x, by = y, bz = z;
      }
    }
    for (double step = 0.05; step > 1e-4; step /= 2) {
      for (bool moved = true; moved;) {
        moved = false;
        for (int axis = 0; axis < 3; ++axis)
          for (double sign : {-1.0, 1.0}) {
            double x = bx, y = by, z = bz;
            (axis == 0 ? x : axis == 1 ? y : z) += sign * step;
            x = std::clamp(x, 0.0, 1.0), y = std::clamp(y, 0.0, 1.0), z = std::clamp(z, 0.0, 1.0);
            const TCalibrationPoint p = judge.Evaluate(storeOf(x, y, z));
            if (p.Objective > best.Objective) {
              best = p;
              bx = x, by = y, bz = z;
              moved = true;
            }
          }
      }
    }
    EXPECT_GE(s.Best.Objective, best.Objective - 1e-4)
        << "found " << best.Store.MaxSto << "/" << best.Store.IniSto << "/" << best.Store.MaxEsc;
  }
}

TEST(CalibrationSearch, NarrowBoundsAndStoredValues) {
  const TRecord record = MadeRecord({40, 12, 1.5}, 120);
  const TSearched narrow = Search(record, TObjective::RSquare, {20, 30});
  EXPECT_GE(narrow.Best.Store.MaxSto, 20);
  EXPECT_LE(narrow.Best.Store.MaxSto, 30);
  EXPECT_TRUE(WithinBounds(narrow.Best.Store, {20, 30}));
  // One maximum storage only.
  const TSearched fixed = Search(record, TObjective::RSquare, {25, 25});
  EXPECT_EQ(fixed.Best.Store.MaxSto, 25);
  // Storages below 1, where the file keeps three decimals.
  const TSearched small = Search(MadeRecord({40, 12, 1.5}, 60), TObjective::RSquare, {0.0001, 3});
  ASSERT_TRUE(small.Best.Valid);
  const TStoreParameters& p = small.Best.Store;
  EXPECT_LE(p.MaxSto, 3);
  EXPECT_EQ(StoredParameter(p.MaxSto), p.MaxSto);
  EXPECT_EQ(StoredParameter(p.IniSto), p.IniSto);
  EXPECT_EQ(StoredParameter(p.MaxEsc), p.MaxEsc);
  EXPECT_GT(p.IniSto, 0);
}

}  // namespace
