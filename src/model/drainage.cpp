#include "model/drainage.h"

#include <cmath>

#include "base/numformat.h"
#include "base/numparse.h"

namespace {

// The calculator has always worked with pi to three decimals; its results
// are kept as they were.
constexpr double Pi = 3.142;
constexpr double TwoPi = 6.284;
constexpr double PiSquared = 9.872164;

constexpr double MinPorosity = 1;   // %
constexpr double MaxPorosity = 30;  // %

struct TFieldRule {
  const char* NotPositive;  // the message when the value is 0 or below
  bool KeepsRefused;        // a refused value stays in the field rather than 0
  bool Porosity;            // the porosity's bounds follow the sign test
};

constexpr TFieldRule FieldRules[] = {
    {"Ka should be greater than zero", false, false},
    {"Kb should be greater than zero", false, false},
    {"D should be greater than zero", false, false},
    {"U should be greater than zero", false, false},
    {"P should be greater than zero", true, true},
    {"L should be greater than zero", true, false},
};

}  // namespace

bool DrainageInputsValid(const TDrainageInputs& in) {
  return in.Ka > 0 && in.Kb > 0 && in.D > 0 && in.U > 0 && in.P > MinPorosity &&
         in.P < MaxPorosity && in.L > 0;
}

TDrainageResult CalculateDrainage(const TDrainageInputs& in) {
  TDrainageResult r;
  const double p = in.P / 100;
  r.A = 4 * in.Ka / (p * in.L * in.L);
  r.X = TwoPi * in.D / in.L;
  if (r.X > 1) {
    TDrainageSeries s;
    s.E2 = std::exp(-2 * r.X);
    s.E6 = std::exp(-6 * r.X);
    s.E10 = std::exp(-10 * r.X);
    s.T1 = 4 * s.E2 / (1 - s.E2);
    s.T3 = 4 * s.E6 / (3 * (1 - s.E6));
    s.T5 = 4 * s.E10 / (5 * (1 - s.E10));
    r.F = s.T1 + s.T3 + s.T5;
    r.Series = s;
  } else {
    r.F = std::log(0.5 * r.X / Pi) + PiSquared / (4 * r.X);
  }
  r.EqDepth = (Pi * in.L / 8) / (std::log(in.L / in.U) + r.F);
  r.B = 8 * in.Kb * r.EqDepth / (p * in.L * in.L);
  return r;
}

std::string FormatCoefficient(double value, char separator) {
  return FormatFixed(value, 6, 3, separator);
}

TDrainageFieldCheck CheckDrainageField(TDrainageField field, std::string_view text,
                                       char separator) {
  const auto value = StringToFloat(text, separator);
  if (!value) return {NotAFloatText(text), std::nullopt, false};
  const TFieldRule& rule = FieldRules[static_cast<int>(field)];
  const char* refusal = nullptr;
  if (*value <= 0) {
    refusal = rule.NotPositive;
  } else if (rule.Porosity && *value < MinPorosity) {
    refusal = "P should be greater than 1%";
  } else if (rule.Porosity && *value > MaxPorosity) {
    refusal = "P should be less than 30%";
  }
  if (!refusal) return {"", *value, false};
  return {refusal, rule.KeepsRefused ? *value : 0.0, true};
}
