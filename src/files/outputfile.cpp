// The output file of a run: the reconstruction of a model determination or
// the prediction, for people, spreadsheets and the graphs.
#include <cmath>
#include <cstdlib>
#include <string>

#include "files/filepaths.h"
#include "files/numformat.h"
#include "model/criteria.h"
#include "model/dmquorell.h"

namespace {


// Lines 1 to 6 of both variants; FileName goes to ".out" for the file and
// back to ".inp" for line 5, as the program has always left it.
std::string BeginResults(TDMQuorell& dm, std::string& outPath) {
  dm.FileName = ChangeFileExt(dm.FileName, ".out");
  outPath = dm.FileName;
  std::string out;
  AppendLine(out, "RESULTS OF Tolvane PROGRAM");
  AppendLine(out, "");
  AppendLine(out, dm.Title1);
  AppendLine(out, dm.Title2);
  dm.FileName = ChangeFileExt(dm.FileName, ".inp");
  AppendLine(out, "Name of input file used: " + dm.FileName);
  AppendLine(out, "");
  return out;
}

void Finish(TDMQuorell& dm, const std::string& outPath, const std::string& out) {
  std::string error;
  if (!WriteFileAtomically(outPath, out, &error)) {
    dm.FileName = outPath;
    throw TInOutError("The file \"" + outPath + "\" could not be written: " + error);
  }
}

std::string Fixed10(double value) { return FormatFixed(value, 10, 2); }

}  // namespace

void TDMQuorell::WriteReconstructionResults() {
  auto& ws = AnalysisWorkspace;
  std::string outPath;
  std::string out = BeginResults(*this, outPath);
  AppendLine(out, "Maximum dead storage:  " + FormatFixed(ws.AnaMaxSto, 6, 2) + " mm");
  AppendLine(out, "Initial dead storage:  " + FormatFixed(ws.AnaIniSto, 6, 2) + " mm");
  AppendLine(out, "Max. escape/time unit: " + FormatFixed(ws.AnaMaxEsc, 6, 2) + " ");
  AppendLine(out, "Number of reservoirs:  " + FormatInt(ws.NrOfRes, 3) + " ");
  AppendLine(out, "Alpha coefficient:     " + FormatFixed(ws.Alpha, 7, 3) + " ");
  AppendLine(out, "");
  AppendLine(out, "RECONSTRUCTION:");
  AppendLine(out, std::string(55, '-'));
  AppendLine(out, "Serial    Time      Rain    Recharge   Runoff    Runoff");
  AppendLine(out, " No.                         calc.     meas.     calc. ");
  AppendLine(out, std::string(10, ' '));
  AppendLine(out, std::string(55, '-'));

  const int n = ws.AnaNrOfData;
  for (int i = 1; i <= n; ++i) {
    const int serial = ws.Serial[i];
    const char* pad = serial < 10 ? "  " : serial < 100 ? " " : "";
    AppendLine(out, " " + std::string(ws.SerialText[i]) + pad + Fixed10(ws.Time[i]) + Fixed10(ws.Rain[i]) +
                  Fixed10(ws.Rech[i]) + Fixed10(ws.RunMeas[i]) + Fixed10(ws.RunCalc[i]));
  }
  AppendLine(out, std::string(64, '-'));
  const TFitCriteria fit = FitCriteria(ws.RunMeas, ws.RunCalc, n);
  const double s2 = fit.SumSq;
  // A perfect fit or a single point has no spread to speak of.
  const double sd = (s2 == 0 || n <= 1) ? 0.0 : std::exp(0.5 * std::log(s2 / (n - 1)));
  ws.SumRunMeas = fit.SumMeas;
  ws.MeanRunMeas = n > 0 ? ws.SumRunMeas / n : 0;
  ws.RSquare = fit.RSquare;
  AppendLine(out, "Stand. dev. of diff. calc. from meas. runoff:" + FormatFixed(sd, 8, 3));
  AppendLine(out, "Coefficient of explanation (R square) is    :" + FormatFixed(ws.RSquare, 8, 2));
  Finish(*this, outPath, out);
}

void TDMQuorell::WritePredictionResults() {
  auto& ws = PredictionWorkspace;
  auto& ana = AnalysisWorkspace;
  std::string outPath;
  std::string out = BeginResults(*this, outPath);
  AppendLine(out, "Maximum dead storage:   " + FormatFixed(ws.PredMaxSto, 6, 2) + " mm");
  AppendLine(out, "Initial dead storage:   " + FormatFixed(ws.PredIniSto, 6, 2) + " mm");
  AppendLine(out, "Max. escape/time unit:  " + FormatFixed(ws.PredMaxEsc, 6, 2) + " " + ws.RateUnit);
  AppendLine(out, "Number of reservoirs:   " + FormatInt(ana.NrOfRes, 3) + " ");
  AppendLine(out, "Alpha coefficient:      " + FormatFixed(ana.Alpha, 7, 3) + " ");
  AppendLine(out, "");
  AppendLine(out, "PREDICTION runoff:");
  AppendLine(out, std::string(46, '-'));
  AppendLine(out, "Serial    Time   Rain/Irr  Recharge    Runoff ");
  AppendLine(out, std::string(8, ' ') + "   t       mm/t      mm/t       mm/t ");
  AppendLine(out, std::string(48, '-'));
  for (int i = 1; i <= ws.PredNrOfData; ++i) {
    const int serial = ws.PredSerial[i];
    const char* pad = serial < 10 ? "   " : serial < 100 ? "  " : " ";
    AppendLine(out, pad + std::to_string(serial) + Fixed10(ws.PredTime[i]) + Fixed10(ws.PredRain[i]) +
                  Fixed10(ws.PredRech[i]) + Fixed10(ana.RunCalc[i]));
  }
  AppendLine(out, std::string(47, '-'));
  Finish(*this, outPath, out);
}
