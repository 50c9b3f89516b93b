// The reaction function of a subsurface drainage system, Alfa = A.Q + B,
// from soil and drain data, with the equivalent depth of Hooghoudt's drain
// spacing formula: the closed form for thin layers, the series form for
// thick ones. The calculator window reads its fields with these.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The six inputs as the user gives them.
struct TDrainageInputs {
  double Ka = 0;  // hydraulic conductivity above drain level, m/day
  double Kb = 0;  // hydraulic conductivity below drain level, m/day
  double D = 0;   // depth of the soil layer below drain level, m
  double U = 0;   // wet perimeter of the drain or ditch, m
  double P = 0;   // drainable porosity of the top soil, in %
  double L = 0;   // drain spacing, m
};

// The exponentials and terms of the series form of F.
struct TDrainageSeries {
  double E2 = 0, E6 = 0, E10 = 0;
  double T1 = 0, T3 = 0, T5 = 0;
};

struct TDrainageResult {
  double A = 0;        // the factor of Q
  double X = 0;        // 2 pi D / L
  double F = 0;        // correction term of the equivalent depth
  double EqDepth = 0;  // equivalent depth, m
  double B = 0;        // the constant
  // Only a thick layer (X > 1) takes the series form.
  std::optional<TDrainageSeries> Series;
};

// Every input within its range; the porosity strictly between 1 and 30 %,
// although its field lets both ends through.
bool DrainageInputsValid(const TDrainageInputs& in);

// The coefficients for valid inputs.
TDrainageResult CalculateDrainage(const TDrainageInputs& in);

// A coefficient as the window shows it: at least six characters with three
// decimals, in the user's decimal separator.
std::string FormatCoefficient(double value, char separator);

enum class TDrainageField { Ka, Kb, D, U, P, L };

// What leaving an input field does.
struct TDrainageFieldCheck {
  std::string Message;          // empty when the entry is accepted
  std::optional<double> Value;  // the field's value afterwards; empty: unchanged
  bool EmptyEdit = false;       // a refused entry is wiped from the edit
  bool Accepted() const { return Message.empty(); }
};

// text: the edit's text, read with `separator` or else the other of point
// and comma.
TDrainageFieldCheck CheckDrainageField(TDrainageField field, std::string_view text, char separator);
