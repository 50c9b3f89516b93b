// What every reader of the input file knows of its layout.
#pragma once

#include <cstddef>
#include <string>

#include "files/textreader.h"

// Line 2 of an input file decides its layout: " Ana" begins it for a
// model determination.
inline bool HoldsDetermination(std::string content) {
  TTextReader in(std::move(content));
  in.SkipLine();
  return in.ReadChars(4) == " Ana";
}

// The label in front of every parameter value; the reservoir line's label is
// longer, and the integer is read across its remaining blanks.
inline constexpr std::size_t LabelWidth = 23;

// Lines 7 to 10 as the writer begins them.
inline constexpr const char* FileNameLabel = " Filename: ";
inline constexpr const char* MaxStoLabel = " Maximum dead storage: ";
inline constexpr const char* IniStoLabel = " Initial dead storage: ";
inline constexpr const char* MaxEscLabel = " Max.escape/time unit: ";
// Lines 11 to 13 of the prediction layout.
inline constexpr const char* NrOfResLabel = " Number of reservoirs:    ";
inline constexpr const char* AlphaLabel = " Reaction factor:      ";
inline constexpr const char* RunIniLabel = " Initial runoff:       ";

// The rules and the heading around the table of each layout.
inline std::string DeterminationRule() { return " " + std::string(39, '-'); }
inline std::string PredictionRule() { return " " + std::string(28, '-'); }
inline constexpr const char* DeterminationHeading = "  Serial    T i m e   R a i n    Run-off";
inline constexpr const char* PredictionHeading = "  Serial    T i m e   R a i n";

// A parameter line: the label skipped, the value read, the line end skipped.
inline double ReadParameterLine(TTextReader& in) {
  in.SkipChars(LabelWidth);
  const double value = in.ReadReal();
  in.SkipLine();
  return value;
}

inline int ReadIntegerParameterLine(TTextReader& in) {
  in.SkipChars(LabelWidth);
  const int value = in.ReadInteger();
  in.SkipLine();
  return value;
}
