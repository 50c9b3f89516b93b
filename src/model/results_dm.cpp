// The data module's side of the output file: the writers at the end of a
// run, and the readers of the Output and Graphics tabs.
#include <cmath>
#include <string>
#include <vector>

#include "files/filepaths.h"
#include "files/outputfile.h"
#include "files/outputreader.h"
#include "model/criteria.h"
#include "model/dmquorell.h"

namespace {

// FileName goes to ".out" for the file and back to ".inp" for line 5, as
// the program has always left it; returns the output file's path.
std::string OutputPathAndInputName(TDMQuorell& dm) {
  dm.FileName = ChangeFileExt(dm.FileName, ".out");
  const std::string outPath = dm.FileName;
  dm.FileName = ChangeFileExt(dm.FileName, ".inp");
  return outPath;
}

void WriteResults(TDMQuorell& dm, const std::string& outPath, const std::string& text) {
  std::string error;
  if (!WriteFileAtomically(outPath, text, &error)) {
    dm.FileName = outPath;
    throw TInOutError("The file \"" + outPath + "\" could not be written: " + error);
  }
}

template <typename T>
std::span<const T> Points(const T* series, int n) {
  return {series + 1, static_cast<std::size_t>(n < 0 ? 0 : n)};
}

}  // namespace

TReconstructionResults TDMQuorell::ReconstructionResults() const {
  const auto& ws = Analysis();
  const int n = ws.AnaNrOfData;
  const TFitCriteria fit = FitCriteria(ws.RunMeas, ws.RunCalc, n);
  const double s2 = fit.Sums.SumSq;
  TReconstructionResults results;
  results.Title1 = Title1;
  results.Title2 = Title2;
  results.InputPath = FileName;
  results.Store = ws.Store();
  results.NrOfRes = ws.NrOfRes;
  results.Alpha = ws.Alpha;
  results.Serial = Points(ws.Serial, n);
  results.SerialText = Points(ws.SerialText, n);
  results.Time = Points(ws.Time, n);
  results.Rain = Points(ws.Rain, n);
  results.Rech = Points(ws.Rech, n);
  results.RunMeas = Points(ws.RunMeas, n);
  results.RunCalc = Points(ws.RunCalc, n);
  // A perfect fit or a single point has no spread to speak of.
  results.StandardDeviation = (s2 == 0 || n <= 1) ? 0.0 : std::exp(0.5 * std::log(s2 / (n - 1)));
  results.RSquare = fit[TCriterion::RSquare];
  return results;
}

TPredictionResults TDMQuorell::PredictionResults() const {
  const auto& ws = Prediction();
  const auto& ana = Analysis();
  const int n = ws.PredNrOfData;
  TPredictionResults results;
  results.Title1 = Title1;
  results.Title2 = Title2;
  results.InputPath = FileName;
  results.Store = ws.Store();
  results.RateUnit = ws.RateUnit;
  results.NrOfRes = ana.NrOfRes;
  results.Alpha = ana.Alpha;
  results.Serial = Points(ws.PredSerial, n);
  results.Time = Points(ws.PredTime, n);
  results.Rain = Points(ws.PredRain, n);
  results.Rech = Points(ws.PredRech, n);
  results.RunCalc = Points(ana.RunCalc, n);
  return results;
}

void TDMQuorell::WriteReconstructionResults() {
  auto& ws = Analysis();
  const std::string outPath = OutputPathAndInputName(*this);
  const int n = ws.AnaNrOfData;
  const TFitCriteria fit = FitCriteria(ws.RunMeas, ws.RunCalc, n);
  ws.SumRunMeas = fit.Sums.SumMeas;
  ws.MeanRunMeas = n > 0 ? ws.SumRunMeas / n : 0;
  ws.RSquare = fit[TCriterion::RSquare];
  WriteResults(*this, outPath, FormatReconstructionResults(ReconstructionResults()));
}

void TDMQuorell::WritePredictionResults() {
  const std::string outPath = OutputPathAndInputName(*this);
  WriteResults(*this, outPath, FormatPredictionResults(PredictionResults()));
}

bool TDMQuorell::LoadOutputLines(const std::string& path) {
  auto content = ReadWholeFile(path);
  if (!content) {
    ShowMessage(OutputLinesOpenFailureText(path));
    return false;
  }
  std::vector<std::string> lines = ReadOutputLines(std::move(*content));
  // A file without any character leaves the lines as they were.
  OutputLineCount = static_cast<int>(lines.size());
  if (!lines.empty()) OutputLines = std::move(lines);
  return true;
}

bool TDMQuorell::ReadResultsHead() {
  auto content = ReadWholeFile(ResultsFileName);
  if (!content) {
    ShowMessage(ResultsOpenFailureText(ResultsFileName));
    return false;
  }
  const TResultsHead head = ReadResultsHeadText(std::move(*content));
  Title1 = head.Title1;
  Title2 = head.Title2;
  ResultsTag = head.Tag;
  return true;
}

bool TDMQuorell::ReadResultsForGraph(TGraphKind kind) {
  auto content = ReadWholeFile(ResultsFileName);
  if (!content) {
    ShowMessage(ResultsOpenFailureText(ResultsFileName));
    return false;
  }
  const TGraphKindInfo& info = InfoOf(kind);
  const TResultsTable table =
      ReadResultsTable(std::move(*content),
                       info.Reconstruction ? TResultsVariant::Reconstruction
                                           : TResultsVariant::Prediction,
                       info.ReadsRSquare);
  // The graph series and NrOfData describe what was read, never more.
  const std::size_t n = table.Rows.size();
  NrOfData = static_cast<int>(n);
  Serials.assign(n, 0);
  for (auto* series : {&GraphTime, &GraphRain, &GraphRecharge, &GraphRunCalc, &GraphRunMeas})
    series->assign(n, 0.0);
  if (!table.SectionFound) {
    ShowMessage("The file \"" + ResultsFileName + "\" holds no " +
                (info.Reconstruction
                     ? "reconstruction results: it has no line \"RECONSTRUCTION:\"."
                     : "prediction results: it has no line \"PREDICTION runoff:\"."));
    return false;
  }
  for (std::size_t i = 0; i < n; ++i) {
    const TResultsRow& row = table.Rows[i];
    Serials[i] = row.Serial;
    GraphTime[i] = row.Values[0];
    if (info.Reconstruction) {
      GraphRain[i] = row.Values[1];
      GraphRecharge[i] = row.Values[2];
      GraphRunMeas[i] = row.Values[3];
      GraphRunCalc[i] = row.Values[4];
    } else {
      // The prediction's rain stands in GraphRunCalc and its runoff in GraphRain.
      GraphRunCalc[i] = row.Values[1];
      GraphRecharge[i] = row.Values[2];
      GraphRain[i] = row.Values[3];
    }
  }
  if (table.BadNumber) throw TInvalidNumber();
  if (info.ReadsRSquare) {
    // The one trapped read: an R square that is no number counts as 0.
    Analysis().RSquare = table.RSquare.value_or(0);
    if (!table.RSquare) return true;
  }
  if (kind == TGraphKind::ObservedCalculated) GraphTime = GraphRunMeas;
  return true;
}
