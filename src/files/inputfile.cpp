#include "files/inputfile.h"

#include <utility>

#include "base/numformat.h"
#include "files/inputlayout.h"
#include "files/textreader.h"

std::string FormatInputFile(const TInputFileWrite& file) {
  std::string out;
  AppendLine(out, " Input data for Tolvane program");
  AppendLine(out, file.Determination ? " Analysis and reconstruction" : " Prediction runoff");
  AppendLine(out, "");
  AppendLine(out, file.Title1);
  AppendLine(out, file.Title2);
  AppendLine(out, "");
  AppendLine(out, FileNameLabel + file.Path);
  AppendLine(out, MaxStoLabel + FormatParameter(file.Store.MaxSto));
  AppendLine(out, IniStoLabel + FormatParameter(file.Store.IniSto));
  AppendLine(out, MaxEscLabel + FormatParameter(file.Store.MaxEsc));
  if (!file.AnalysisLayout) {
    AppendLine(out, NrOfResLabel + FormatInt(file.NrOfRes, 2));
    AppendLine(out, AlphaLabel + FormatParameter(file.Alpha));
    AppendLine(out, RunIniLabel + FormatParameter(file.RunIni));
  }
  AppendLine(out, "");
  const std::string rule = file.AnalysisLayout ? DeterminationRule() : PredictionRule();
  AppendLine(out, rule);
  AppendLine(out, file.AnalysisLayout ? DeterminationHeading : PredictionHeading);
  AppendLine(out, rule);
  for (std::size_t k = 0; k < file.Times.size(); ++k) {
    std::string line = FormatInt(static_cast<long long>(k) + 1, 5) + " " +
                       FormatSeries(file.Times[k], 12) + " " + FormatSeries(file.Rains[k], 10);
    if (file.Determination) line += " " + FormatSeries(file.Runoffs[k], 10);
    AppendLine(out, line);
  }
  return out;
}

namespace {

// Lines 1 to 7 as every reader takes them: the two titles, the rest skipped.
void ReadTitles(TTextReader& in, std::string& title1, std::string& title2) {
  for (int i = 0; i < 3; ++i) in.SkipLine();
  title1 = in.ReadLine();
  title2 = in.ReadLine();
  in.SkipLine();
  in.SkipLine();
}

}  // namespace

TInputFileContents ReadInputContents(std::string content) {
  TTextReader in(std::move(content));
  TInputFileContents file;
  in.SkipLine();
  file.RunTag = in.ReadChars(4);
  in.SkipLine();
  in.SkipLine();
  file.Title1 = in.ReadLine();
  file.Title2 = in.ReadLine();
  in.SkipLine();
  in.SkipLine();
  try {
    for (double* parameter : {&file.Store.MaxSto, &file.Store.IniSto, &file.Store.MaxEsc}) {
      file.LastLabel = in.ReadChars(LabelWidth);
      *parameter = in.ReadReal();
      in.SkipLine();
      ++file.HeadRead;
    }
    if (!file.Determination()) {
      file.NrOfRes = ReadIntegerParameterLine(in);
      ++file.HeadRead;
      file.Alpha = ReadParameterLine(in);
      ++file.HeadRead;
      file.RunIni = ReadParameterLine(in);
      ++file.HeadRead;
    }
  } catch (const TInvalidNumber&) {
    file.HeadCorrupt = true;
    return file;
  }
  const bool determination = file.Determination();
  for (int i = 0; i < 4; ++i) in.SkipLine();
  while (!in.OnlyBlanksLeft()) {
    TInputPoint point;
    try {
      point.Serial = in.ReadInteger();
      point.Time = in.ReadReal();
      point.Rain = in.ReadReal();
      if (determination) point.Runoff = in.ReadReal();
    } catch (const TInvalidNumber&) {
      file.Corrupt = true;
      break;
    }
    in.SkipLine();
    file.Points.push_back(point);
  }
  return file;
}

TRunInput ReadDeterminationInput(std::string content, int capacity) {
  TTextReader in(std::move(content));
  TRunInput run;
  ReadTitles(in, run.Title1, run.Title2);
  run.Store.MaxSto = ReadParameterLine(in);
  run.Store.IniSto = ReadParameterLine(in);
  run.Store.MaxEsc = ReadParameterLine(in);
  for (int i = 0; i < 4; ++i) in.SkipLine();
  // Blank lines after the last data line are no point.
  while (!in.OnlyBlanksLeft()) {
    if (static_cast<int>(run.Points.size()) == capacity) {
      run.Stop = TRunInput::TStop::TooMany;
      break;
    }
    TInputPoint point;
    try {
      point.Serial = in.ReadInteger();
      point.Time = in.ReadReal();
      point.Rain = in.ReadReal();
      point.Runoff = in.ReadReal();
    } catch (const TInvalidNumber&) {
      run.Stop = TRunInput::TStop::Corrupt;
      break;
    }
    in.SkipLine();
    run.Points.push_back(point);
  }
  return run;
}

TRunInput ReadPredictionInput(std::string content, int capacity) {
  TTextReader in(std::move(content));
  TRunInput run;
  ReadTitles(in, run.Title1, run.Title2);
  run.Store.MaxSto = ReadParameterLine(in);
  run.Store.IniSto = ReadParameterLine(in);
  in.SkipChars(LabelWidth);
  run.Store.MaxEsc = in.ReadReal();
  run.RateUnit = in.ReadRestOfLine();
  in.SkipLine();
  run.NrOfRes = ReadIntegerParameterLine(in);
  run.Alpha = ReadParameterLine(in);
  run.RunIni = ReadParameterLine(in);
  // The heading block: one more line when its fourth line is no rule.
  std::string head;
  for (int i = 0; i < 4; ++i) {
    head = in.ReadChars(4);
    in.SkipLine();
  }
  if (head != " ---") in.SkipLine();
  while (!in.OnlyBlanksLeft()) {
    if (static_cast<int>(run.Points.size()) == capacity) {
      run.Stop = TRunInput::TStop::TooMany;
      break;
    }
    TInputPoint point;
    try {
      point.Serial = in.ReadInteger();
      point.Time = in.ReadReal();
      point.Rain = in.ReadReal();
    } catch (const TInvalidNumber&) {
      run.Stop = TRunInput::TStop::Corrupt;
      break;
    }
    in.SkipLine();
    run.Points.push_back(point);
  }
  return run;
}
