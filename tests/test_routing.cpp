#include <gtest/gtest.h>

#include <cmath>

#include "model/dmquorell.h"
#include "model/routing.h"
#include "support/test_support.h"

namespace {

class Routing : public ::testing::Test {
protected:
  void SetUp() override {
    dm.SetDialogs(&dialogs);
  }
  void Analysis(std::vector<double> times, std::vector<double> rain, double maxSto, double iniSto,
                double maxEsc) {
    auto& ws = dm.Analysis();
    ws.AnaNrOfData = static_cast<int>(times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
      ws.Time[i + 1] = times[i];
      ws.Rain[i + 1] = rain[i];
    }
    ws.AnaMaxSto = maxSto;
    ws.AnaIniSto = iniSto;
    ws.AnaMaxEsc = maxEsc;
  }
  void Prediction(std::vector<double> times, std::vector<double> rain, double maxSto,
                  double iniSto, double maxEsc) {
    auto& ws = dm.Prediction();
    ws.PredNrOfData = static_cast<int>(times.size());
    for (std::size_t i = 0; i < times.size(); ++i) {
      ws.PredTime[i + 1] = times[i];
      ws.PredRain[i + 1] = rain[i];
    }
    ws.PredMaxSto = maxSto;
    ws.PredIniSto = iniSto;
    ws.PredMaxEsc = maxEsc;
  }
  TRecordingDialogs dialogs;
  TDMQuorell dm;
};

TEST_F(Routing, PreReservoirByHand) {
  // Point 1: deficit 6 swallows rain 3, storage 7. Point 2: escape 0.7 makes
  // the deficit 3.7, rain 5 overflows 1.3. Point 3: full, escape 1, no rain:
  // storage 9. Point 4: escape 0.9, rain 2 overflows by 0.1.
  Analysis({1, 2, 3, 4}, {3, 5, 0, 2}, 10, 4, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  const auto& r = dm.Analysis().Rech;
  EXPECT_EQ(r[1], 0);
  EXPECT_NEAR(r[2], 1.3, 1e-12);
  EXPECT_EQ(r[3], 0);
  EXPECT_NEAR(r[4], 0.1, 1e-12);
  EXPECT_EQ(dm.Analysis().Delta, 1);
  EXPECT_TRUE(dm.Analysis().StorageOk);
  EXPECT_FALSE(dm.Analysis().AnaTimeError);
  EXPECT_TRUE(dialogs.Messages.empty());
}

TEST_F(Routing, FirstPointOverflowsBeyondTheInitialDeficit) {
  Analysis({1}, {10}, 10, 4, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_EQ(dm.Analysis().Rech[1], 4);
  // Rain equal to the deficit fills the reservoir without recharge.
  Analysis({1}, {6}, 10, 4, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_EQ(dm.Analysis().Rech[1], 0);
}

TEST_F(Routing, WithoutEscapeEveryRainAfterFillingIsRecharge) {
  Analysis({1, 2, 3, 4}, {5, 1, 2, 3}, 10, 10, 0);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  for (int i = 1; i <= 4; ++i) EXPECT_EQ(dm.Analysis().Rech[i], dm.Analysis().Rain[i]);
}

TEST_F(Routing, ZeroInitialStorageDiffersBetweenTheVariants) {
  // The determination starts from a tenth of the maximum storage.
  Analysis({1, 2}, {95, 0}, 100, 0, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_EQ(dm.Analysis().AnaIniSto, 10);
  EXPECT_EQ(dm.Analysis().Rech[1], 5);
  // The prediction takes 0: rain 30 fills 30 of 100, no recharge; the escape
  // of the next step then is 0.3 of MaxEsc.
  Prediction({1, 2}, {30, 70.1}, 100, 0, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Prediction));
  EXPECT_EQ(dm.Prediction().PredIniSto, 0);
  EXPECT_EQ(dm.Prediction().PredRech[1], 0);
  EXPECT_EQ(dm.Prediction().PredRech[2], 0);
  Prediction({1, 2}, {30, 71}, 100, 0, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Prediction));
  EXPECT_NEAR(dm.Prediction().PredRech[2], 0.7, 1e-12);
}

TEST_F(Routing, EqualTimesPassTheDeterminationOnly) {
  Analysis({1, 2, 2, 3}, {0, 0, 0, 0}, 10, 5, 1);
  EXPECT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_TRUE(dialogs.Messages.empty());

  Prediction({1, 2, 2, 3}, {0, 0, 0, 0}, 10, 5, 1);
  EXPECT_FALSE(RoutePreReservoir(dm, TRouteVariant::Prediction));
  EXPECT_TRUE(dm.Prediction().PredTimeError);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], "Incorrect time sequence encountered Please correct the input file");
}

TEST_F(Routing, FallingTimeStopsTheDetermination) {
  Analysis({1, 2, 1.5}, {0, 0, 0}, 10, 5, 1);
  EXPECT_FALSE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_TRUE(dm.Analysis().AnaTimeError);
  EXPECT_EQ(dm.Analysis().Delta, -0.5);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], "Incorrect time sequence encountered. Please correct the input file");
}

TEST_F(Routing, TimeCheckComesBeforeStorageCheck) {
  Analysis({2, 1}, {0, 0}, 0, 0, 1);
  dm.Analysis().StorageOk = true;
  EXPECT_FALSE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_TRUE(dm.Analysis().AnaTimeError);
  EXPECT_TRUE(dm.Analysis().StorageOk);

  dialogs.Messages.clear();
  Prediction({1, 2}, {0, 0}, 0, 0, 1);
  EXPECT_FALSE(RoutePreReservoir(dm, TRouteVariant::Prediction));
  EXPECT_FALSE(dm.Analysis().StorageOk);
  EXPECT_FALSE(dm.Prediction().PredTimeError);
  ASSERT_EQ(dialogs.Messages.size(), 1u);
  EXPECT_EQ(dialogs.Messages[0], "The Maximum Storage must be > 0");
}

TEST_F(Routing, SinglePointPassesBothChecks) {
  Analysis({1}, {0}, -1, 0, 1);
  dm.Analysis().StorageOk = false;
  EXPECT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_FALSE(dm.Analysis().StorageOk);  // keeps what it had
}

TEST_F(Routing, UnequalStepsEscapeByTheirOwnStep) {
  // Steps 1 then 3: the escape of the second step is three times as large.
  Analysis({0, 1, 4}, {10, 0, 0}, 10, 10, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  EXPECT_EQ(dm.Analysis().Delta, 3);
  Analysis({0, 1, 4, 5}, {10, 0, 0, 3.7}, 10, 10, 1);
  ASSERT_TRUE(RoutePreReservoir(dm, TRouteVariant::Analysis));
  // Storage 10, then 9 (escape 1), then 9 - 2.7 = 6.3, then escape 0.63:
  // deficit 4.33 and rain 3.7 does not overflow.
  EXPECT_EQ(dm.Analysis().Rech[4], 0);
}

TEST_F(Routing, CascadeByHand) {
  // C = 0.5: each reservoir keeps half its runoff and passes half its inflow.
  auto& ws = dm.Analysis();
  ws.AnaNrOfData = 4;
  ws.Delta = 1;
  ws.RunMeas[1] = 4;
  const double rech[] = {0, 0, 0, 4, 0};
  for (int t = 1; t <= 4; ++t) ws.Rech[t] = rech[t];
  const double alpha = std::log(2.0);
  const double c = std::exp(-alpha);
  RouteCascade(dm, alpha, 2, TRouteVariant::Analysis);
  const double run1[] = {0, 4, c * 4, c * (c * 4) + (1 - c) * 4, 0};
  EXPECT_DOUBLE_EQ(ws.Run[1][2], 2);
  EXPECT_DOUBLE_EQ(ws.Run[1][3], 3);
  EXPECT_DOUBLE_EQ(ws.Run[1][4], 1.5);
  EXPECT_EQ(ws.Run[1][3], run1[3]);
  EXPECT_DOUBLE_EQ(ws.RunCalc[1], 2);
  EXPECT_DOUBLE_EQ(ws.RunCalc[2], 2);
  EXPECT_DOUBLE_EQ(ws.RunCalc[3], 2.5);
  EXPECT_DOUBLE_EQ(ws.RunCalc[4], 2);

  // The prediction starts the last reservoir at the initial runoff.
  auto& pw = dm.Prediction();
  pw.PredNrOfData = 4;
  pw.PredRunIni = 4;
  for (int t = 1; t <= 4; ++t) pw.PredRech[t] = rech[t];
  RouteCascade(dm, alpha, 2, TRouteVariant::Prediction);
  EXPECT_EQ(ws.RunCalc[1], 4);
  EXPECT_DOUBLE_EQ(ws.RunCalc[2], 2);
  EXPECT_DOUBLE_EQ(ws.RunCalc[3], 2.5);
}

TEST_F(Routing, AlphaZeroKeepsTheInitialRunoff) {
  auto& ws = dm.Analysis();
  ws.AnaNrOfData = 3;
  ws.Delta = 1;
  ws.RunMeas[1] = 2.5;
  ws.Rech[2] = 10;
  ws.Rech[3] = 20;
  RouteCascade(dm, 0, 3, TRouteVariant::Analysis);
  for (int t = 1; t <= 3; ++t) EXPECT_EQ(ws.RunCalc[t], 2.5);
  RouteCascade(dm, 0.3, 1, TRouteVariant::Analysis);
  EXPECT_EQ(ws.RunCalc[1], 2.5);  // one reservoir starts at the measured runoff
}

TEST_F(Routing, CascadeUsesTheLastStepThroughout) {
  auto& ws = dm.Analysis();
  ws.AnaNrOfData = 3;
  ws.RunMeas[1] = 1;
  ws.Rech[2] = 0;
  ws.Rech[3] = 0;
  ws.Delta = 2;
  RouteCascade(dm, 0.5, 1, TRouteVariant::Analysis);
  const double c = std::exp(-0.5 * 2);
  EXPECT_EQ(ws.RunCalc[2], c * 1 + (1 - c) * 0);
  EXPECT_EQ(ws.RunCalc[3], c * ws.RunCalc[2]);
}

}  // namespace
