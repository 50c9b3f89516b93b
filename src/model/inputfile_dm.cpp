// The data module's side of the input file: Save/Run writes the sheet with
// WriteInputFile, "Open input" reads a file back with ReadInputFile, and the
// two runs read the file into their workspaces.
#include <cstring>
#include <string>

#include "files/filepaths.h"
#include "files/inputfile.h"
#include "model/dmquorell.h"
#include "model/runinput.h"

bool TDMQuorell::InputFileRecord(TInputFileWrite& file) const {
  file.Determination = IsAnalysis;
  file.AnalysisLayout = RunTag == " Ana";
  file.Title1 = Title1;
  file.Title2 = Title2;
  file.Path = FileName;
  file.Store = Store();
  file.NrOfRes = Analysis().NrOfRes;
  file.Alpha = Analysis().Alpha;
  file.RunIni = RunIni;

  // The sheet rows are elements 1..NrOfData; marked rows are left out and
  // the serials run on without gaps.
  const auto rows = static_cast<std::size_t>(NrOfData < 0 ? 0 : NrOfData);
  if (Times.size() <= rows || Rains.size() <= rows || RowFlags.size() <= rows ||
      (IsAnalysis && Runoffs.size() <= rows))
    return false;
  for (std::size_t k = 1; k <= rows; ++k) {
    if (RowFlags[k] != 0) continue;
    file.Times.push_back(Times[k]);
    file.Rains.push_back(Rains[k]);
    file.Runoffs.push_back(IsAnalysis ? Runoffs[k] : 0);
  }
  return true;
}

bool TDMQuorell::WriteInputFile() {
  TInputFileWrite file;
  if (!InputFileRecord(file)) {
    ReportProgramError(CorruptDataText());
    return false;
  }
  std::string error;
  if (!WriteFileAtomically(FileName, FormatInputFile(file), &error, /*syncToDisk=*/true)) {
    ShowMessage(OpenFailureText());
    return false;
  }
  return true;
}

bool TDMQuorell::ReadInputFile() {
  auto content = ReadWholeFile(FileName);
  if (!content) {
    ShowMessage(OpenFailureText());
    return false;
  }
  const TInputFileContents file = ReadInputContents(std::move(*content));
  RunTag = file.RunTag;
  Title1 = file.Title1;
  Title2 = file.Title2;
  LabelText = file.LastLabel;
  // A head value that is no number is an input error for the caller; the
  // fields read before it keep their new values, the rest stay as they were.
  const int read = file.HeadRead;
  if (read > 0) MaxSto = file.Store.MaxSto;
  if (read > 1) IniSto = file.Store.IniSto;
  if (read > 2) {
    MaxEsc = file.Store.MaxEsc;
    IsAnalysis = file.Determination();
  }
  if (!IsAnalysis && read > 2) {
    if (read > 3) Analysis().NrOfRes = file.NrOfRes;
    if (read > 4) Analysis().Alpha = file.Alpha;
    if (read > 5) RunIni = file.RunIni;
  }
  if (file.HeadCorrupt) throw TInvalidNumber();
  // The series are replaced by what the file holds, also when it holds no
  // data line or stops at a corrupt one (then the complete lines before it).
  Serials.clear();
  Times.clear();
  Rains.clear();
  Runoffs.clear();
  RowFlags.clear();
  for (const TInputPoint& point : file.Points) {
    Serials.push_back(point.Serial);
    Times.push_back(point.Time);
    Rains.push_back(point.Rain);
    Runoffs.push_back(point.Runoff);
    RowFlags.push_back(0);
  }
  NrOfData = static_cast<int>(Times.size());
  if (file.Corrupt) {
    ReportProgramError(CorruptDataText());
    return false;
  }
  return true;
}

namespace {

std::string ReadForRun(const TDMQuorell& dm) {
  auto content = ReadWholeFile(dm.FileName);
  if (!content) throw TInOutError(dm.OpenFailureText());
  return std::move(*content);
}

// Whether the run can go on with what the reader stopped at.
bool Accept(TDMQuorell& dm, TRunInput::TStop stop, int capacity, const char* run) {
  if (stop == TRunInput::TStop::TooMany) {
    dm.ShowMessage("The input file \"" + dm.FileName + "\" holds more than " +
                   std::to_string(capacity) + " data lines; the " + run + " takes at most " +
                   std::to_string(capacity) + " points");
  } else if (stop == TRunInput::TStop::Corrupt) {
    dm.ReportProgramError(dm.CorruptDataText());
  } else {
    return true;
  }
  dm.RunFailed = true;
  return false;
}

}  // namespace

bool ReadAnalysisInput(TDMQuorell& dm) {
  return LoadAnalysisInput(dm, ReadDeterminationInput(ReadForRun(dm), AnaCapacity));
}

bool LoadAnalysisInput(TDMQuorell& dm, const TRunInput& run) {
  auto& ws = dm.Analysis();
  dm.Title1 = run.Title1;
  dm.Title2 = run.Title2;
  ws.SetStore(run.Store);
  const int n = static_cast<int>(run.Points.size());
  for (int i = 1; i <= n; ++i) {
    const TInputPoint& point = run.Points[static_cast<std::size_t>(i - 1)];
    ws.Serial[i] = point.Serial;
    ws.Time[i] = point.Time;
    ws.Rain[i] = point.Rain;
    ws.RunMeas[i] = point.Runoff;
    const std::string text = std::to_string(point.Serial).substr(0, 7);
    std::memcpy(ws.SerialText[i], text.c_str(), text.size() + 1);
  }
  ws.AnaNrOfData = n;
  return Accept(dm, run.Stop, AnaCapacity, "model determination");
}

bool ReadPredictionInput(TDMQuorell& dm) {
  auto& ws = dm.Prediction();
  auto& ana = dm.Analysis();
  const TRunInput run = ReadPredictionInput(ReadForRun(dm), PredCapacity);
  dm.Title1 = run.Title1;
  dm.Title2 = run.Title2;
  ws.PredMaxSto = run.Store.MaxSto;
  ws.PredIniSto = run.Store.IniSto;
  ws.PredMaxEsc = run.Store.MaxEsc;
  ws.RateUnit = run.RateUnit;
  ana.NrOfRes = run.NrOfRes;
  ana.Alpha = run.Alpha;
  ws.PredRunIni = run.RunIni;
  const int n = static_cast<int>(run.Points.size());
  for (int i = 1; i <= n; ++i) {
    const TInputPoint& point = run.Points[static_cast<std::size_t>(i - 1)];
    ws.PredSerial[i] = point.Serial;
    ws.PredTime[i] = point.Time;
    ws.PredRain[i] = point.Rain;
  }
  ws.PredNrOfData = n;
  return Accept(dm, run.Stop, PredCapacity, "prediction");
}
