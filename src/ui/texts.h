// The explanatory texts of the Intro tab and of the start-help window.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

extern const std::vector<const char*> IntroLines;
extern const std::vector<const char*> FirstReservoirLines;
extern const std::vector<const char*> CascadeLines;
extern const std::vector<const char*> HelpLines;

// The lines as the text of a memo.
inline QString MemoText(const std::vector<const char*>& lines) {
  QStringList list;
  for (const char* line : lines) list << QString::fromUtf8(line);
  return list.join('\n');
}

// Why Save/Run refuses a sheet; the calibration window refuses it alike.
inline constexpr char NotAllRealText[] = "Not all data values in the inputfile are real";
inline constexpr char InputErrorsText[] =
    "The input data were not saved due to input errors like negative values or a "
    "non-sequential time series";
