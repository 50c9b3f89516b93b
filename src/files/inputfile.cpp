#include "files/inputfile.h"

#include <optional>
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

// The data lines, four numbers a line with the runoff, three without; blank
// lines after the last one are no point. A reader that takes at most
// capacity points (none: any number) stops at a further line.
TRunInput::TStop ReadDataLines(TTextReader& in, bool withRunoff, std::optional<int> capacity,
                               std::vector<TInputPoint>& points) {
  while (!in.OnlyBlanksLeft()) {
    if (capacity && static_cast<int>(points.size()) == *capacity) return TRunInput::TStop::TooMany;
    TInputPoint point;
    try {
      point.Serial = in.ReadInteger();
      point.Time = in.ReadReal();
      point.Rain = in.ReadReal();
      if (withRunoff) point.Runoff = in.ReadReal();
    } catch (const TInvalidNumber&) {
      return TRunInput::TStop::Corrupt;
    }
    in.SkipLine();
    points.push_back(point);
  }
  return TRunInput::TStop::None;
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
  for (int i = 0; i < 4; ++i) in.SkipLine();
  file.Corrupt =
      ReadDataLines(in, file.Determination(), std::nullopt, file.Points) == TRunInput::TStop::Corrupt;
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
  run.Stop = ReadDataLines(in, true, capacity, run.Points);
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
  run.Stop = ReadDataLines(in, false, capacity, run.Points);
  return run;
}
