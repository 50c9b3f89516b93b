#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <limits>
#include <memory>
#include <random>
#include <sstream>

#include "model/search.h"
#include "support/test_support.h"

namespace {

struct TSeries {
  std::vector<double> RunMeas{0};  // 1-based
  std::vector<double> Rech{0};
  double Delta = 1;
};

struct TTable {
  TSumSqTable T;
};

TSeries Synthetic(int n, unsigned seed, double delta) {
  std::mt19937 gen(seed);
  std::uniform_real_distribution<double> runoff(0.001, 5), rain(0, 1);
  TSeries s;
  s.Delta = delta;
  for (int t = 1; t <= n; ++t) {
    s.RunMeas.push_back(runoff(gen));
    // Mostly dry, now and then a burst.
    s.Rech.push_back(rain(gen) < 0.8 ? 0 : 40 * rain(gen));
  }
  return s;
}

// Measured runoff of a real record, with a recharge made from its rainfall.
TSeries Record(const std::string& path, int first, int rows) {
  std::ifstream in(path);
  TSeries s;
  std::string line;
  for (int row = 1; std::getline(in, line); ++row) {
    if (row < first) continue;
    if (row >= first + rows) break;
    std::stringstream cells(line);
    std::string cell;
    std::vector<double> v;
    while (std::getline(cells, cell, ',')) v.push_back(std::stod(cell));
    s.RunMeas.push_back(std::max(v[5], 0.001));
    s.Rech.push_back(std::max(0.0, v[3] - 2));
  }
  return s;
}

void ExpectSameTables(const TSeries& s) {
  static double candidates[CascadeColumns + 1];
  BuildAlphaCandidates(candidates);
  auto fastTable = std::make_unique<TTable>();
  auto referenceTable = std::make_unique<TTable>();
  auto* fast = &fastTable->T;
  auto* reference = &referenceTable->T;
  const int n = static_cast<int>(s.RunMeas.size()) - 1;
  ComputeSumSq(s.RunMeas.data(), s.Rech.data(), n, s.Delta, candidates, *fast);
  ComputeSumSqReference(s.RunMeas.data(), s.Rech.data(), n, s.Delta, candidates, *reference);
  int differences = 0;
  for (int r = 1; r <= MaxReservoirs; ++r)
    for (int k = 1; k <= AlphaCandidates; ++k)
      if (std::memcmp(&(*fast)[r][k], &(*reference)[r][k], sizeof(double)) != 0 && ++differences < 5)
        ADD_FAILURE() << "r " << r << " k " << k << ": " << (*fast)[r][k] << " vs "
                      << (*reference)[r][k];
  EXPECT_EQ(differences, 0);
}

TEST(Search, CandidatesAreBuiltByRepeatedAddition) {
  static double candidates[CascadeColumns + 1];
  BuildAlphaCandidates(candidates);
  EXPECT_EQ(candidates[1], 0.002);
  double c = 0.002;
  for (int k = 2; k <= AlphaCandidates; ++k) c = c + 0.002;
  EXPECT_EQ(candidates[AlphaCandidates], c);
  // Repeated addition drifts from k * 0.002: the search must use the sums.
  EXPECT_NE(candidates[AlphaCandidates], 20.0);
  EXPECT_NEAR(candidates[AlphaCandidates], 20.0, 1e-9);
}

TEST(Search, FastTableEqualsTheStraightforwardOneOnSyntheticSeries) {
  for (int n : {1, 2, 3, 17, 250}) {
    SCOPED_TRACE(n);
    ExpectSameTables(Synthetic(n, 11u + n, 1));
  }
  SCOPED_TRACE("uneven step");
  ExpectSameTables(Synthetic(40, 5, 0.37));
  SCOPED_TRACE("step 0");
  ExpectSameTables(Synthetic(40, 6, 0));
}

TEST(Search, FastTableEqualsTheStraightforwardOneOnRealRecords) {
  const auto shared = SharedDataDir();
  if (shared.empty()) GTEST_SKIP() << "no shared data";
  ExpectSameTables(Record(shared + "/catchments/mopex_25.csv", 1000, 180));
  ExpectSameTables(Record(shared + "/catchments/mopex_120.csv", 2000, 600));
}

TEST(Search, StepZeroGivesEqualSums) {
  const auto s = Synthetic(30, 9, 0);
  static double candidates[CascadeColumns + 1];
  BuildAlphaCandidates(candidates);
  auto holder = std::make_unique<TTable>();
  auto* table = &holder->T;
  ComputeSumSq(s.RunMeas.data(), s.Rech.data(), 30, 0, candidates, *table);
  for (int k = 2; k <= AlphaCandidates; ++k) ASSERT_EQ((*table)[1][k], (*table)[1][1]);
  for (int r = 2; r <= MaxReservoirs; ++r) ASSERT_EQ((*table)[r][77], (*table)[1][1]);
}

}  // namespace

namespace {

TEST(Search, SelectionTiesGoToFewerReservoirsThenSmallerAlpha) {
  static double candidates[CascadeColumns + 1];
  BuildAlphaCandidates(candidates);
  auto holder = std::make_unique<TTable>();
  auto& table = holder->T;
  auto fill = [&](double value) {
    for (int r = 1; r <= MaxReservoirs; ++r)
      for (int k = 1; k <= AlphaCandidates; ++k) table[r][k] = value;
  };
  int nr = 0;
  double alpha = 0;

  fill(5);
  table[3][40] = 1;
  table[2][900] = 1;
  table[2][700] = 1;
  EXPECT_TRUE(SelectBestPair(table, candidates, nr, alpha));
  EXPECT_EQ(nr, 2);
  EXPECT_EQ(alpha, candidates[700]);

  // Sums of a million and more are still chosen.
  fill(2e6);
  table[4][9] = 1.5e6;
  SelectBestPair(table, candidates, nr, alpha);
  EXPECT_EQ(nr, 4);
  EXPECT_EQ(alpha, candidates[9]);

  // Nothing finite at all: no pair is chosen, the first one is left.
  for (double none : {std::numeric_limits<double>::quiet_NaN(),
                      std::numeric_limits<double>::infinity()}) {
    fill(none);
    EXPECT_FALSE(SelectBestPair(table, candidates, nr, alpha));
    EXPECT_EQ(nr, 1);
    EXPECT_EQ(alpha, 0.002);
  }

  // A NaN or infinite first sum does not hide a real one.
  table[1][1] = std::numeric_limits<double>::quiet_NaN();
  table[5][10000] = 3;
  EXPECT_TRUE(SelectBestPair(table, candidates, nr, alpha));
  EXPECT_EQ(nr, 5);
  EXPECT_EQ(alpha, candidates[10000]);
}

}  // namespace
