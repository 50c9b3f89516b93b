// Makes the example files of Data/: input files with rainfall series with
// storms, runoff computed by the model itself from known parameters and a
// little noise on the measured runoff, all written through the input file
// writer; and beside each the output file its run writes.
//
//   tolvane-make-examples FOLDER
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "base/numformat.h"
#include "batch/consoledialogs.h"
#include "model/dmquorell.h"
#include "model/routing.h"
#include "sheet/sheetseries.h"

namespace {

// A uniform number in [0, 1) from the generator's raw output, so that the
// files come out the same with every standard library.
class TRandom {
public:
  explicit TRandom(std::uint32_t seed) : Gen(seed) {}
  double Uniform() { return static_cast<double>(Gen()) / 4294967296.0; }

private:
  std::mt19937 Gen;
};

struct TExample {
  const char* File;
  const char* Title1;
  bool Analysis;
  int Points;
  double Step;  // time units between points
  double MaxSto, IniSto, MaxEsc;
  int NrOfRes;
  double Alpha;
  double RunIni;
  double StormChance, StormDepth, Noise;
  std::uint32_t Seed;
};

const TExample Examples[] = {
    {"determine_hourly.inp", "Example catchment A, hourly record made by the model", true, 240, 1,
     20, 10, 0.5, 3, 0.15, 0.4, 0.06, 6, 0.03, 1},
    {"determine_daily.inp", "Example catchment B, daily record made by the model", true, 365, 1, 40,
     20, 2, 2, 0.08, 1.5, 0.25, 12, 0.03, 2},
    {"predict_daily.inp", "Example catchment B, daily rainfall for a prediction", false, 120, 1,
     40, 20, 2, 2, 0.08, 1.5, 0.25, 12, 0, 3},
    {"calibrate_daily.inp", "Example catchment C, daily record for a first calibration", true, 300, 1,
     6, 3, 0.2, 2, 0.3, 0.3, 0.5, 3, 0.03, 7},
};

bool Make(const TExample& ex) {
  TRandom random(ex.Seed);
  std::vector<double> times, rains;
  for (int i = 1; i <= ex.Points; ++i) {
    times.push_back(i * ex.Step);
    double rain = 0;
    if (random.Uniform() < ex.StormChance) rain = ex.StormDepth * -std::log(1 - random.Uniform());
    // Values as the file will hold them: two decimals, or two digits below 1.
    rains.push_back(rain < 0.05 ? 0 : std::round(rain * 100) / 100);
  }

  // Runoff by the model: the routing of the prediction with the known cascade.
  TConsoleDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  auto& ws = dm.Analysis();
  const auto runoff = ModelRunoff(dm, times, rains, {ex.MaxSto, ex.IniSto, ex.MaxEsc}, ex.NrOfRes,
                                  ex.Alpha, ex.RunIni);
  if (!runoff) return false;

  dm.IsAnalysis = ex.Analysis;
  dm.RunTag = RunTagFor(ex.Analysis);
  dm.Title1 = ex.Title1;
  dm.Title2 = "Made with " + std::to_string(ex.NrOfRes) + " reservoirs, alpha " +
              FormatFixed(ex.Alpha, 0, 3) + " per time unit; rain and runoff in mm per time unit";
  dm.MaxSto = ex.MaxSto;
  dm.IniSto = ex.IniSto;
  dm.MaxEsc = ex.MaxEsc;
  dm.RunIni = ex.RunIni;
  ws.NrOfRes = ex.NrOfRes;
  ws.Alpha = ex.Alpha;
  dm.NrOfData = ex.Points;
  PrepareWriteLayout(dm, ex.Points);
  for (int k = 1; k <= ex.Points; ++k) {
    const double noise = 1 + ex.Noise * (2 * random.Uniform() - 1);
    StoreWriteRow(dm, k, times[k - 1], rains[k - 1], (*runoff)[k - 1] * noise, true);
  }
  // Written from inside the folder under a bare name, so that line 7 does
  // not name the machine the examples were made on.
  dm.FileName = ex.File;
  return dm.WriteInputFile();
}

// The output file beside each example, as the program's Save/Run writes it.
bool Run(const TExample& ex) {
  TConsoleDialogs dialogs;
  TDMQuorell dm;
  dm.SetDialogs(&dialogs);
  dm.FileName = ex.File;
  dm.IsAnalysis = ex.Analysis;
  try {
    return dm.RunModel(ex.Analysis);
  } catch (const TInOutError& error) {
    std::cerr << error.what() << "\n";
    return false;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: tolvane-make-examples FOLDER\n";
    return 2;
  }
  std::error_code ec;
  std::filesystem::current_path(argv[1], ec);
  if (ec) {
    std::cerr << argv[1] << ": " << ec.message() << "\n";
    return 1;
  }
  for (const auto& ex : Examples) {
    if (!Make(ex) || !Run(ex)) {
      std::cerr << "could not make " << ex.File << "\n";
      return 1;
    }
    std::cout << ex.File << "\n";
  }
  return 0;
}
