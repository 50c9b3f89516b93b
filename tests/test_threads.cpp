// Data modules with workspaces of their own: two model runs at once on two
// threads give exactly what they give one after the other.
#include <gtest/gtest.h>

#include <thread>

#include "model/calibration.h"
#include "model/dmquorell.h"
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
                     const TStoreParameters& candidate) {
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  const std::string input = folder + "/run.inp";
  WriteFileBytes(input, ReadFileBytes(SourceDir() + "/Data/" + example));
  dm.FileName = input;
  TRunResult result;
  if (!dm.RunModel(true)) return result;
  result.Output = ReadFileBytes(folder + "/run.out");
  result.NrOfRes = dm.Analysis().NrOfRes;
  result.Alpha = dm.Analysis().Alpha;
  result.RSquare = dm.Analysis().RSquare;
  TCalibration calibration(dm, TCriterion::Nse, {});
  result.Objective = calibration.Evaluate(candidate).Objective;
  return result;
}

TEST(Threads, TwoDeterminationsAtOnceGiveWhatTheyGiveOneByOne) {
  TScratchDir a, b;
  const TStoreParameters candidateA{30, 12, 1.5}, candidateB{8, 2, 0.4};
  const TRunResult aloneA = Determine("determine_daily.inp", a.Path.string(), candidateA);
  const TRunResult aloneB = Determine("calibrate_daily.inp", b.Path.string(), candidateB);
  ASSERT_FALSE(aloneA.Output.empty());
  ASSERT_FALSE(aloneB.Output.empty());
  ASSERT_NE(aloneA.Output, aloneB.Output);

  for (int round = 0; round < 3; ++round) {
    TRunResult togetherA, togetherB;
    std::thread first([&] { togetherA = Determine("determine_daily.inp", a.Path.string(), candidateA); });
    std::thread second([&] { togetherB = Determine("calibrate_daily.inp", b.Path.string(), candidateB); });
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
