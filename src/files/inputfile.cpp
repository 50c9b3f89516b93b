// The input file: the record of one input sheet, written by Save/Run and
// read back by "Open input".
#include <string>

#include "files/filepaths.h"
#include "files/numformat.h"
#include "files/inputlayout.h"
#include "files/textreader.h"
#include "model/dmquorell.h"

bool TDMQuorell::WriteInputFile() {
  const bool ana = RunTag == " Ana";
  std::string out;
  AppendLine(out, " Input data for Tolvane program");
  AppendLine(out, IsAnalysis ? " Analysis and reconstruction" : " Prediction runoff");
  AppendLine(out, "");
  AppendLine(out, Title1);
  AppendLine(out, Title2);
  AppendLine(out, "");
  AppendLine(out, FileNameLabel + FileName);
  AppendLine(out, MaxStoLabel + FormatParameter(MaxSto));
  AppendLine(out, IniStoLabel + FormatParameter(IniSto));
  AppendLine(out, MaxEscLabel + FormatParameter(MaxEsc));
  if (!ana) {
    AppendLine(out, " Number of reservoirs:    " + FormatInt(AnalysisWorkspace.NrOfRes, 2));
    AppendLine(out, " Reaction factor:      " + FormatParameter(AnalysisWorkspace.Alpha));
    AppendLine(out, " Initial runoff:       " + FormatParameter(RunIni));
  }
  AppendLine(out, "");
  if (ana) {
    const std::string rule = " " + std::string(39, '-');
    AppendLine(out, rule);
    AppendLine(out, "  Serial    T i m e   R a i n    Run-off");
    AppendLine(out, rule);
  } else {
    const std::string rule = " " + std::string(28, '-');
    AppendLine(out, rule);
    AppendLine(out, "  Serial    T i m e   R a i n");
    AppendLine(out, rule);
  }

  // The sheet rows are elements 1..NrOfData; marked rows are left out and
  // the serials run on without gaps.
  const auto rows = static_cast<std::size_t>(NrOfData < 0 ? 0 : NrOfData);
  if (Times.size() <= rows || Rains.size() <= rows || RowFlags.size() <= rows ||
      (IsAnalysis && Runoffs.size() <= rows)) {
    ReportProgramError(CorruptDataText());
    return false;
  }
  int serial = 0;
  for (std::size_t k = 1; k <= rows; ++k) {
    if (RowFlags[k] != 0) continue;
    ++serial;
    std::string line =
        FormatInt(serial, 5) + " " + FormatSeries(Times[k], 12) + " " + FormatSeries(Rains[k], 10);
    if (IsAnalysis) line += " " + FormatSeries(Runoffs[k], 10);
    AppendLine(out, line);
  }

  std::string error;
  if (!WriteFileAtomically(FileName, out, &error, /*syncToDisk=*/true)) {
    ShowMessage(OpenFailureText());
    return false;
  }
  return true;
}

bool TDMQuorell::ReadInputFile() {
  auto reader = TTextReader::Open(FileName);
  if (!reader) {
    ShowMessage(OpenFailureText());
    return false;
  }
  TTextReader& in = *reader;
  in.SkipLine();
  RunTag = in.ReadChars(4);
  in.SkipLine();
  in.SkipLine();
  Title1 = in.ReadLine();
  Title2 = in.ReadLine();
  in.SkipLine();
  in.SkipLine();
  double* parameters[] = {&MaxSto, &IniSto, &MaxEsc};
  for (double* parameter : parameters) {
    LabelText = in.ReadChars(LabelWidth);
    *parameter = in.ReadReal();
    in.SkipLine();
  }
  IsAnalysis = RunTag == " Ana";
  if (!IsAnalysis) {
    AnalysisWorkspace.NrOfRes = ReadIntegerParameterLine(in);
    AnalysisWorkspace.Alpha = ReadParameterLine(in);
    RunIni = ReadParameterLine(in);
  }
  for (int i = 0; i < 4; ++i) in.SkipLine();

  // The series are replaced by what the file holds, also when it holds no
  // data line or stops at a corrupt one (then the complete lines before it).
  Serials.clear();
  Times.clear();
  Rains.clear();
  Runoffs.clear();
  RowFlags.clear();
  bool corrupt = false;
  while (!in.OnlyBlanksLeft()) {
    int serial = 0;
    double time = 0, rain = 0, runoff = 0;
    try {
      serial = in.ReadInteger();
      time = in.ReadReal();
      rain = in.ReadReal();
      if (IsAnalysis) runoff = in.ReadReal();
    } catch (const TInvalidNumber&) {
      corrupt = true;
      break;
    }
    in.SkipLine();
    Serials.push_back(serial);
    Times.push_back(time);
    Rains.push_back(rain);
    Runoffs.push_back(runoff);
    RowFlags.push_back(0);
  }
  NrOfData = static_cast<int>(Times.size());
  if (corrupt) {
    ReportProgramError(CorruptDataText());
    return false;
  }
  return true;
}
