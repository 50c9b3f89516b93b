// The three parameters of the pre-reservoir, as one record wherever they
// travel together (the data module and the workspaces keep the program's
// own field names for them).
#pragma once

#include <compare>

struct TStoreParameters {
  double MaxSto = 0;  // maximum (dead) storage, mm
  double IniSto = 0;  // initial storage, mm
  double MaxEsc = 0;  // maximum escape rate, mm per time unit
  auto operator<=>(const TStoreParameters&) const = default;
};
