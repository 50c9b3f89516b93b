#include "files/runinput.h"

#include <cstring>
#include <string>

#include "files/inputlayout.h"
#include "files/textreader.h"
#include "model/dmquorell.h"

namespace {

TTextReader OpenForRun(const TDMQuorell& dm) {
  auto reader = TTextReader::Open(dm.FileName);
  if (!reader) throw TInOutError(dm.OpenFailureText());
  return std::move(*reader);
}

// Lines 1 to 7: the two titles, the rest skipped.
void ReadTitles(TTextReader& in, TDMQuorell& dm) {
  for (int i = 0; i < 3; ++i) in.SkipLine();
  dm.Title1 = in.ReadLine();
  dm.Title2 = in.ReadLine();
  in.SkipLine();
  in.SkipLine();
}

bool RefuseCapacity(TDMQuorell& dm, int capacity, const char* run) {
  dm.ShowMessage("The input file \"" + dm.FileName + "\" holds more than " +
                 std::to_string(capacity) + " data lines; the " + run + " takes at most " +
                 std::to_string(capacity) + " points");
  dm.RunFailed = true;
  return false;
}

bool RefuseCorrupt(TDMQuorell& dm) {
  dm.ReportProgramError(dm.CorruptDataText());
  dm.RunFailed = true;
  return false;
}

}  // namespace

bool ReadAnalysisInput(TDMQuorell& dm) {
  auto& ws = AnalysisWorkspace;
  TTextReader in = OpenForRun(dm);
  ReadTitles(in, dm);
  ws.AnaMaxSto = ReadParameterLine(in);
  ws.AnaIniSto = ReadParameterLine(in);
  ws.AnaMaxEsc = ReadParameterLine(in);
  for (int i = 0; i < 4; ++i) in.SkipLine();
  int count = 0;
  // Blank lines after the last data line are no point.
  while (!in.OnlyBlanksLeft()) {
    if (count == AnaCapacity) return RefuseCapacity(dm, AnaCapacity, "model determination");
    const int i = count + 1;
    try {
      ws.Serial[i] = in.ReadInteger();
      ws.Time[i] = in.ReadReal();
      ws.Rain[i] = in.ReadReal();
      ws.RunMeas[i] = in.ReadReal();
    } catch (const TInvalidNumber&) {
      ws.AnaNrOfData = count;
      return RefuseCorrupt(dm);
    }
    in.SkipLine();
    const std::string text = std::to_string(ws.Serial[i]).substr(0, 7);
    std::memcpy(ws.SerialText[i], text.c_str(), text.size() + 1);
    count = i;
  }
  ws.AnaNrOfData = count;
  return true;
}

bool ReadPredictionInput(TDMQuorell& dm) {
  auto& ws = PredictionWorkspace;
  auto& ana = AnalysisWorkspace;
  TTextReader in = OpenForRun(dm);
  ReadTitles(in, dm);
  ws.PredMaxSto = ReadParameterLine(in);
  ws.PredIniSto = ReadParameterLine(in);
  in.SkipChars(LabelWidth);
  ws.PredMaxEsc = in.ReadReal();
  ws.RateUnit = in.ReadRestOfLine();
  in.SkipLine();
  ana.NrOfRes = ReadIntegerParameterLine(in);
  ana.Alpha = ReadParameterLine(in);
  ws.PredRunIni = ReadParameterLine(in);
  std::string head;
  for (int i = 0; i < 4; ++i) {
    head = in.ReadChars(4);
    in.SkipLine();
  }
  if (head != " ---") in.SkipLine();
  int count = 0;
  while (!in.OnlyBlanksLeft()) {
    if (count == PredCapacity) return RefuseCapacity(dm, PredCapacity, "prediction");
    const int i = count + 1;
    try {
      ws.PredSerial[i] = in.ReadInteger();
      ws.PredTime[i] = in.ReadReal();
      ws.PredRain[i] = in.ReadReal();
    } catch (const TInvalidNumber&) {
      ws.PredNrOfData = count;
      return RefuseCorrupt(dm);
    }
    in.SkipLine();
    count = i;
  }
  ws.PredNrOfData = count;
  return true;
}
