#include <gtest/gtest.h>

#include "model/drainage.h"

namespace {

struct TExample {
  TDrainageInputs Inputs;
  double X, EqDepth, EqDepthTolerance;
  bool Series;
  const char *AText, *BText;
};

TEST(Drainage, WorkedExamples) {
  const TExample examples[] = {
      // Thin layer, closed form: ln(L/U) and the logarithm in F cancel and
      // the rest is 3.142^2 / 9.872164, exactly 1 when one pi is used throughout.
      {{1, 1, 1, 1, 10, 10}, 0.6284, 1.0, 1e-12, false, " 0.400", " 0.800"},
      // Thick layer, series form.
      {{0.5, 1, 5, 0.5, 5, 20}, 1.571, 2.030, 5e-4, true, " 0.100", " 0.812"},
  };
  for (const auto& e : examples) {
    const TDrainageResult r = CalculateDrainage(e.Inputs);
    EXPECT_NEAR(r.X, e.X, 1e-12);
    EXPECT_EQ(r.Series.has_value(), e.Series);
    EXPECT_NEAR(r.EqDepth, e.EqDepth, e.EqDepthTolerance);
    EXPECT_EQ(FormatCoefficient(r.A, '.'), e.AText);
    EXPECT_EQ(FormatCoefficient(r.B, '.'), e.BText);
  }
  EXPECT_EQ(FormatCoefficient(0.4, ','), " 0,400");
  EXPECT_EQ(FormatCoefficient(-123.5, '.'), "-123.500");
}

// Both forms approximate one function: where they hand over (X = 1) the
// equivalent depth hardly jumps.
TEST(Drainage, BothFormsMeetWhereTheyHandOver) {
  TDrainageInputs closedSide{1, 1, 10 / 6.284, 1, 10, 10};
  TDrainageInputs seriesSide = closedSide;
  seriesSide.D *= 1 + 1e-9;
  const TDrainageResult closed = CalculateDrainage(closedSide);
  const TDrainageResult series = CalculateDrainage(seriesSide);
  ASSERT_FALSE(closed.Series.has_value());
  ASSERT_TRUE(series.Series.has_value());
  EXPECT_NEAR(closed.EqDepth, series.EqDepth, 1e-3);
}

TEST(Drainage, PorosityStrictlyBetweenOneAndThirtyForCalculate) {
  const std::pair<double, bool> cases[] = {{30, false}, {29.99, true}, {1, false},
                                           {1.01, true}, {30.5, false}};
  for (auto [porosity, valid] : cases)
    EXPECT_EQ(DrainageInputsValid({1, 1, 1, 1, porosity, 10}), valid) << porosity;
  EXPECT_FALSE(DrainageInputsValid({1, 1, 1, 1, 10, 0}));
  EXPECT_FALSE(DrainageInputsValid({1, 1, 1, 0, 10, 10}));
}

struct TFieldCase {
  TDrainageField Field;
  const char* Text;
  const char* Message;  // "" when accepted
  std::optional<double> Value;
  bool Emptied;
};

TEST(Drainage, FieldRules) {
  const TFieldCase cases[] = {
      {TDrainageField::Kb, "2,5", "", 2.5, false},
      {TDrainageField::Ka, "0", "Ka should be greater than zero", 0, true},
      {TDrainageField::U, "-0.1", "U should be greater than zero", 0, true},
      // Both ends of the porosity pass its field; a refused porosity or
      // spacing stays in the field.
      {TDrainageField::P, "30", "", 30, false},
      {TDrainageField::P, "1", "", 1, false},
      {TDrainageField::P, "30.5", "P should be less than 30%", 30.5, true},
      {TDrainageField::P, "0.5", "P should be greater than 1%", 0.5, true},
      {TDrainageField::P, "-4", "P should be greater than zero", -4, true},
      {TDrainageField::L, "-10", "L should be greater than zero", -10, true},
      // No number: field and text are left alone.
      {TDrainageField::D, "1,234.5", "'1,234.5' is not a valid floating point value",
       std::nullopt, false},
  };
  for (const auto& c : cases) {
    const TDrainageFieldCheck check = CheckDrainageField(c.Field, c.Text, '.');
    EXPECT_EQ(check.Message, c.Message) << c.Text;
    EXPECT_EQ(check.Value, c.Value) << c.Text;
    EXPECT_EQ(check.EmptyEdit, c.Emptied) << c.Text;
  }
}

}  // namespace
