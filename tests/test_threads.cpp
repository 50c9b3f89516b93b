// Data modules with workspaces of their own: two model runs at once on two
// threads give exactly what they give one after the other.
#include <gtest/gtest.h>

#include <thread>

#include "model/calibration.h"
#include "model/dmquorell.h"
#include "model/workpool.h"
#include "support/test_support.h"

namespace {

struct TRunResult {
  std::string Output;
  int NrOfRes = 0;
  double Alpha = 0;
  double RSquare = 0;
  double Objective = 0;
};

// The determination of an example (under another name in a folder of its
// own) and one calibration candidate on the same record.
TRunResult Determine(const std::string& example, const std::string& folder,
                     const TStoreParameters& candidate, TWorkPool* pool) {
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  dm.SetWorkPool(pool);
  const std::string input = folder + "/run.inp";
  WriteFileBytes(input, ReadFileBytes(SourceDir() + "/Data/" + example));
  dm.FileName = input;
  TRunResult result;
  if (!dm.RunModel(true)) return result;
  result.Output = ReadFileBytes(folder + "/run.out");
  result.NrOfRes = dm.Analysis().NrOfRes;
  result.Alpha = dm.Analysis().Alpha;
  result.RSquare = dm.Analysis().RSquare;
  const auto& ws = dm.Analysis();
  const auto n = static_cast<std::size_t>(ws.AnaNrOfData);
  const TRecordView record{{ws.Time + 1, n}, {ws.Rain + 1, n}, {ws.RunMeas + 1, n}};
  TCalibrationSettings settings;
  settings.Objective = TCriterion::Nse;
  TCalibration calibration(record, settings, pool);
  result.Objective = calibration.Evaluate(candidate).Objective;
  return result;
}

// Also when both share one pool of threads: the second to come runs its
// items on its own thread.
TEST(Threads, TwoDeterminationsAtOnceGiveWhatTheyGiveOneByOne) {
  TScratchDir a, b;
  TWorkPool pool;
  const TStoreParameters candidateA{30, 12, 1.5}, candidateB{8, 2, 0.4};
  const TRunResult aloneA = Determine("determine_daily.inp", a.Path.string(), candidateA, nullptr);
  const TRunResult aloneB = Determine("calibrate_daily.inp", b.Path.string(), candidateB, nullptr);
  ASSERT_FALSE(aloneA.Output.empty());
  ASSERT_FALSE(aloneB.Output.empty());
  ASSERT_NE(aloneA.Output, aloneB.Output);

  for (int round = 0; round < 3; ++round) {
    TRunResult togetherA, togetherB;
    TWorkPool* shared = round == 0 ? nullptr : &pool;
    std::thread first([&] { togetherA = Determine("determine_daily.inp", a.Path.string(), candidateA, shared); });
    std::thread second([&] { togetherB = Determine("calibrate_daily.inp", b.Path.string(), candidateB, shared); });
    first.join();
    second.join();
    for (const auto& [alone, together] : {std::pair{&aloneA, &togetherA}, {&aloneB, &togetherB}}) {
      EXPECT_EQ(together->Output, alone->Output);
      EXPECT_EQ(together->NrOfRes, alone->NrOfRes);
      EXPECT_EQ(together->Alpha, alone->Alpha);
      EXPECT_EQ(together->RSquare, alone->RSquare);
      EXPECT_EQ(together->Objective, alone->Objective);
    }
  }
}

}  // namespace
