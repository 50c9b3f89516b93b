// What every reader of the input file knows of its layout.
#pragma once

#include <cstddef>

#include "files/textreader.h"

// The label in front of every parameter value; the reservoir line's label is
// longer, and the integer is read across its remaining blanks.
inline constexpr std::size_t LabelWidth = 23;

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
