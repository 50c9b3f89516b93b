// What every reader of the input file knows of its layout.
#pragma once

#include <cstddef>

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
