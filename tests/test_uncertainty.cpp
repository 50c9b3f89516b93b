// The uncertainty analysis: the Latin hypercube, the behavioural set and its
// weights, the weighted quantiles, the bands, and a record made by the model
// whose own parameters the analysis must find plausible.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

#include "model/dmquorell.h"
#include "model/engine.h"
#include "model/search.h"
#include "model/uncertainty.h"
#include "model/workpool.h"
#include "support/test_support.h"

namespace {

const double NaN = std::numeric_limits<double>::quiet_NaN();

// A daily-like record made by the analysis with a known store, 3 reservoirs
// and a candidate alpha: the determination of that store gives it back.
const TStoreParameters Known{60, 30, 2.5};
constexpr int KnownReservoirs = 3;
double KnownAlpha() { return AlphaCandidateTable()[175]; }

TRecord MadeRecord(int n, double noise = 0) {
  std::mt19937 gen(5);
  auto uniform = [&] { return static_cast<double>(gen()) / 4294967296.0; };
  TRecord r;
  for (int t = 1; t <= n; ++t) {
    r.Time.push_back(t);
    r.Rain.push_back(uniform() < 0.3 ? 30 * uniform() * uniform() : 0);
    r.Runoff.push_back(t % 2 == 1 ? 1 : 2);  // only the first starts the cascade
  }
  const TRun run = ReconstructRun(r.View(), Known, KnownReservoirs, KnownAlpha());
  for (std::size_t t = 0; t < r.Runoff.size(); ++t)
    r.Runoff[t] = run.Calculated[t] * (1 + noise * (uniform() - 0.5));
  return r;
}

TUncertaintySettings Small(int samples) {
  TUncertaintySettings s;
  s.Samples = samples;
  s.Bounds = {5, 300};
  return s;
}

TUncertaintySample WithObjective(double objective) {
  TUncertaintySample s;
  s.Valid = std::isfinite(objective);
  s.Objective = objective;
  return s;
}

bool SameSamples(const std::vector<TUncertaintySample>& a, const std::vector<TUncertaintySample>& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (a[i].Store != b[i].Store || a[i].NrOfRes != b[i].NrOfRes || a[i].Alpha != b[i].Alpha ||
        !(a[i].Objective == b[i].Objective) || a[i].Fit.Values != b[i].Fit.Values)
      return false;
  return true;
}

bool SameBands(const TBands& a, const TBands& b) {
  auto same = [](const std::vector<double>& x, const std::vector<double>& y) {
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
      if (!(x[i] == y[i]) && !(std::isnan(x[i]) && std::isnan(y[i]))) return false;
    return true;
  };
  return same(a.Best, b.Best) && same(a.Q05, b.Q05) && same(a.Q50, b.Q50) && same(a.Q95, b.Q95);
}

TEST(Uncertainty, EveryStratumOfEveryParameterTakenOnce) {
  const TRecord r = MadeRecord(200);
  TUncertaintySettings s = Small(97);
  s.SlowPath = true;
  const auto samples = SampleUncertainty(r.View(), s, nullptr);
  ASSERT_EQ(samples.size(), 97u);
  // Each parameter back on its unit scale: its stratum floor(u * N).
  auto strata = [&](auto unit) {
    std::vector<int> seen(samples.size(), 0);
    for (const auto& x : samples) {
      const double u = unit(x);
      EXPECT_GT(u, 0);
      EXPECT_LT(u, 1);
      ++seen[static_cast<std::size_t>(u * static_cast<double>(samples.size()))];
    }
    return std::count(seen.begin(), seen.end(), 1) == static_cast<long>(samples.size());
  };
  EXPECT_TRUE(strata([&](const auto& x) { return std::log(x.Store.MaxSto / 5) / std::log(300.0 / 5); }));
  EXPECT_TRUE(strata([](const auto& x) { return x.Store.IniSto / x.Store.MaxSto; }));
  EXPECT_TRUE(strata([](const auto& x) { return x.Store.MaxEsc / (x.Store.MaxSto / 10); }));
  EXPECT_TRUE(strata([](const auto& x) { return x.BaseShare; }));
  EXPECT_TRUE(strata([](const auto& x) {
    return std::log(x.BaseAlpha / BaseAlphaLow) / std::log(BaseAlphaHigh / BaseAlphaLow);
  }));
}

TEST(Uncertainty, SameSeedSameSamplesAndBandsOnOneAndAllCores) {
  const TRecord r = MadeRecord(400, 0.2);
  TWorkPool one(1), all(0), two(2);
  TUncertaintySettings s = Small(300);
  s.WarmUp = 30;
  std::vector<std::vector<TUncertaintySample>> runs;
  std::vector<TBands> bands;
  for (TWorkPool* pool : {static_cast<TWorkPool*>(nullptr), &one, &all, &two}) {
    auto samples = SampleUncertainty(r.View(), s, pool);
    std::string error;
    const auto b = SelectConfirmed(r.View(), samples, {std::nullopt, 0.2}, s, pool, error);
    ASSERT_TRUE(b) << error;
    bands.push_back(ComputeBands(r.View(), samples, *b, s, pool));
    runs.push_back(std::move(samples));
  }
  for (std::size_t k = 1; k < runs.size(); ++k) {
    EXPECT_TRUE(SameSamples(runs[0], runs[k])) << k;
    EXPECT_TRUE(SameBands(bands[0], bands[k])) << k;
  }
  s.Seed = 2;
  EXPECT_FALSE(SameSamples(runs[0], SampleUncertainty(r.View(), s, &all)));
}

TEST(Uncertainty, TheModelsOwnParametersAreBehaviouralAndTheRecordInTheBand) {
  const TRecord r = MadeRecord(730, 0.05);
  TWorkPool pool;
  TUncertaintySettings s = Small(1500);
  s.WarmUp = 60;
  auto samples = SampleUncertainty(r.View(), s, &pool);
  std::string error;
  const auto b = SelectConfirmed(r.View(), samples, {std::nullopt, 0.1}, s, &pool, error);
  ASSERT_TRUE(b) << error;
  std::vector<double> maxSto, maxEsc, reservoirs, alpha;
  for (std::size_t i : b->Members) {
    EXPECT_TRUE(samples[i].Determined);
    maxSto.push_back(samples[i].Store.MaxSto);
    maxEsc.push_back(samples[i].Store.MaxEsc);
    reservoirs.push_back(samples[i].NrOfRes);
    alpha.push_back(samples[i].Alpha);
  }
  auto within = [&](const std::vector<double>& v, double known) {
    return WeightedQuantile(v, b->Weights, 0.05) <= known && known <= WeightedQuantile(v, b->Weights, 0.95);
  };
  EXPECT_TRUE(within(maxSto, Known.MaxSto));
  EXPECT_TRUE(within(maxEsc, Known.MaxEsc));
  EXPECT_TRUE(within(reservoirs, KnownReservoirs));
  EXPECT_TRUE(within(alpha, KnownAlpha()));
  const TBands bands = ComputeBands(r.View(), samples, *b, s, &pool);
  const TBandFit fit = JudgeBands(r.Runoff, bands, s.WarmUp);
  EXPECT_GT(fit.ContainingRatio, 0.5);
  EXPECT_GT(fit.RelativeWidth, 0);
  // The best member is at least as good as the model's own store judged by
  // the same determination, less what the sampling misses.
  TRunSettings run;
  run.WarmUp = s.WarmUp;
  const double own = DetermineRun(r.View(), Known, run).Fit[TCriterion::Nse];
  double best = -1;
  for (std::size_t i : b->Members) best = std::max(best, samples[i].Objective);
  EXPECT_GT(best, own - 0.02);
}

TEST(Uncertainty, ConfirmedSamplesAreWhatTheirDeterminationGives) {
  const TRecord r = MadeRecord(300, 0.1);
  TUncertaintySettings s = Small(200);
  auto samples = SampleUncertainty(r.View(), s, nullptr);
  const auto guessed = samples;
  std::string error;
  int determined = 0;
  const auto b = SelectConfirmed(r.View(), samples, {0.0, std::nullopt}, s, nullptr, error, &determined);
  ASSERT_TRUE(b) << error;
  EXPECT_GE(determined, static_cast<int>(b->Members.size()));
  for (std::size_t i = 0; i < samples.size(); ++i) {
    if (!samples[i].Determined) {
      EXPECT_LT(samples[i].Objective, -ConfirmMargin);
      continue;
    }
    const TRun run = DetermineRun(r.View(), samples[i].Store);
    ASSERT_TRUE(run.Ok());
    EXPECT_EQ(samples[i].NrOfRes, run.NrOfRes);
    EXPECT_EQ(samples[i].Alpha, run.Alpha);
    EXPECT_EQ(samples[i].Objective, run.Fit[TCriterion::Nse]);
    // Least squares over every point is NSE's best: the guess can only
    // lose to the whole search.
    EXPECT_GE(samples[i].Objective, guessed[i].Objective);
  }
}

struct TQuantileCase {
  const char* Name;
  std::vector<double> Values, Weights;
  double P, Expected;
};

class Quantile : public ::testing::TestWithParam<TQuantileCase> {};

TEST_P(Quantile, ByHand) {
  const auto& c = GetParam();
  const double q = WeightedQuantile(c.Values, c.Weights, c.P);
  if (std::isnan(c.Expected))
    EXPECT_TRUE(std::isnan(q)) << q;
  else
    EXPECT_EQ(q, c.Expected);
}

// Sorted: 1 (weight 1), 2 (2), 3 (1), 5 (0, left out); 4 in all.
INSTANTIATE_TEST_SUITE_P(
    Weighted, Quantile,
    ::testing::Values(TQuantileCase{"Lowest", {3, 1, 2, 5}, {1, 1, 2, 0}, 0.05, 1},
                      TQuantileCase{"ReachedExactly", {3, 1, 2, 5}, {1, 1, 2, 0}, 0.25, 1},
                      TQuantileCase{"Median", {3, 1, 2, 5}, {1, 1, 2, 0}, 0.5, 2},
                      TQuantileCase{"ThreeQuarters", {3, 1, 2, 5}, {1, 1, 2, 0}, 0.75, 2},
                      TQuantileCase{"Above", {3, 1, 2, 5}, {1, 1, 2, 0}, 0.8, 3},
                      TQuantileCase{"Highest", {3, 1, 2, 5}, {1, 1, 2, 0}, 1, 3},
                      TQuantileCase{"NotANumberLeftOut", {NaN, 4, 7}, {5, 1, 1}, 0.95, 7},
                      TQuantileCase{"NothingWeighs", {1, 2}, {0, 0}, 0.5, NaN},
                      TQuantileCase{"Empty", {}, {}, 0.5, NaN}),
    CaseName);

struct TSelectCase {
  const char* Name;
  TBehaviouralRule Rule;
  std::vector<std::size_t> Members;  // empty: refused
  double Threshold;
  std::vector<double> Weights;
  const char* Says;
};

class Select : public ::testing::TestWithParam<TSelectCase> {};

TEST_P(Select, MembersWeightsAndRefusals) {
  const auto& c = GetParam();
  const std::vector<TUncertaintySample> samples{WithObjective(0.9), WithObjective(0.5),
                                                WithObjective(0.7), WithObjective(NaN),
                                                WithObjective(0.8)};
  std::string error;
  const auto b = SelectBehavioural(samples, c.Rule, error);
  if (c.Members.empty()) {
    ASSERT_FALSE(b);
    EXPECT_NE(error.find(c.Says), std::string::npos) << error;
    return;
  }
  ASSERT_TRUE(b) << error;
  EXPECT_EQ(b->Members, c.Members);
  EXPECT_DOUBLE_EQ(b->Threshold, c.Threshold);
  ASSERT_EQ(b->Weights.size(), c.Weights.size());
  for (std::size_t k = 0; k < c.Weights.size(); ++k) EXPECT_NEAR(b->Weights[k], c.Weights[k], 1e-12);
}

INSTANTIATE_TEST_SUITE_P(
    Rules, Select,
    ::testing::Values(
        // Above 0.6: 0.9, 0.7 and 0.8 weigh 0.3, 0.1 and 0.2 of 0.6.
        TSelectCase{"Threshold", {0.6, std::nullopt}, {0, 2, 4}, 0.6, {0.5, 1.0 / 6, 1.0 / 3}, ""},
        // The best 40 % of 5: 0.9 and 0.8, above the best left out, 0.7.
        TSelectCase{"BestShare", {std::nullopt, 0.4}, {0, 4}, 0.7, {2.0 / 3, 1.0 / 3}, ""},
        // Every valid one: the lowest is the threshold and weighs nothing.
        TSelectCase{"EveryOne", {std::nullopt, 1.0}, {0, 1, 2, 4}, 0.5, {0.4 / 0.9, 0, 0.2 / 0.9, 0.3 / 0.9}, ""},
        TSelectCase{"OnTheThresholdAlone", {0.9, std::nullopt}, {0}, 0.9, {1}, ""},
        TSelectCase{"NoneReaches", {0.95, std::nullopt}, {}, 0, {}, "lower threshold"},
        TSelectCase{"ThresholdAboveOne", {1.5, std::nullopt}, {}, 0, {}, "out of range"},
        TSelectCase{"ThresholdNoNumber", {NaN, std::nullopt}, {}, 0, {}, "out of range"},
        TSelectCase{"ShareOfNothing", {std::nullopt, 0.0}, {}, 0, {}, "out of range"},
        TSelectCase{"ShareAboveOne", {std::nullopt, 1.5}, {}, 0, {}, "out of range"},
        TSelectCase{"Both", {0.5, 0.5}, {}, 0, {}, "either"},
        TSelectCase{"Neither", {}, {}, 0, {}, "either"}),
    CaseName);

TEST(Uncertainty, BandsAreTheWeightedQuantilesOfTheMembersRuns) {
  const TRecord r = MadeRecord(250, 0.2);
  TWorkPool pool(2);
  TUncertaintySettings s = Small(120);
  s.SlowPath = true;
  auto samples = SampleUncertainty(r.View(), s, &pool);
  std::string error;
  const auto b = SelectConfirmed(r.View(), samples, {std::nullopt, 0.25}, s, &pool, error);
  ASSERT_TRUE(b) << error;
  const TBands bands = ComputeBands(r.View(), samples, *b, s, &pool);
  ASSERT_EQ(bands.Q50.size(), r.Time.size());
  // Each member's own reconstruction, held as a float.
  std::vector<std::vector<double>> runs;
  std::size_t best = b->Members.front();
  for (std::size_t i : b->Members) {
    TRunSettings run;
    run.Extensions = {true, samples[i].BaseShare, samples[i].BaseAlpha};
    const TRun rebuilt = ReconstructRun(r.View(), samples[i].Store, samples[i].NrOfRes, samples[i].Alpha, run);
    ASSERT_TRUE(rebuilt.Ok());
    if (samples[i].Objective > samples[best].Objective) best = i;
    runs.push_back(rebuilt.Calculated);
  }
  for (std::size_t t = 0; t < r.Time.size(); t += 7) {
    std::vector<double> at;
    for (const auto& run : runs) at.push_back(static_cast<float>(run[t]));
    EXPECT_EQ(bands.Q05[t], WeightedQuantile(at, b->Weights, 0.05)) << t;
    EXPECT_EQ(bands.Q50[t], WeightedQuantile(at, b->Weights, 0.5)) << t;
    EXPECT_EQ(bands.Q95[t], WeightedQuantile(at, b->Weights, 0.95)) << t;
    EXPECT_LE(bands.Q05[t], bands.Q50[t]);
    EXPECT_LE(bands.Q50[t], bands.Q95[t]);
  }
  TRunSettings run;
  run.Extensions = {true, samples[best].BaseShare, samples[best].BaseAlpha};
  EXPECT_EQ(bands.Best, ReconstructRun(r.View(), samples[best].Store, samples[best].NrOfRes,
                                       samples[best].Alpha, run).Calculated);
  // In blocks of a few points, each rerunning every member: the same.
  EXPECT_TRUE(SameBands(bands, ComputeBands(r.View(), samples, *b, s, &pool, 7 * b->Members.size() * sizeof(float))));
  // The window's table gives the same for this set and for another.
  const TBandTable table(r.View(), samples, s, &pool);
  EXPECT_TRUE(SameBands(bands, table.Bands(*b)));
  const auto wider = SelectBehavioural(samples, {std::nullopt, 0.6}, error);
  ASSERT_TRUE(wider);
  EXPECT_TRUE(SameBands(ComputeBands(r.View(), samples, *wider, s, nullptr), table.Bands(*wider)));
}

TEST(Uncertainty, JudgeBandsByHand) {
  TBands bands;
  bands.Q05 = {9, 0, 2.5, 2, 5};
  bands.Q95 = {9, 2, 3, 4, 6};
  // Warm-up 1: of 1, 2, 3, 4 only 1 (in 0..2) and 3 (in 2..4) are inside.
  const TBandFit fit = JudgeBands(std::vector<double>{1, 1, 2, 3, 4}, bands, 1);
  EXPECT_DOUBLE_EQ(fit.ContainingRatio, 0.5);
  EXPECT_DOUBLE_EQ(fit.RelativeWidth, (2 + 0.5 + 2 + 1) / 10.0);
}

}  // namespace
