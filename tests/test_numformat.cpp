#include <gtest/gtest.h>

#include "base/numformat.h"

namespace {

struct TFormatCase {
  double Value;
  int Width;
  int Decimals;  // -1: exponential notation
  const char* Expected;
};

void PrintTo(const TFormatCase& c, std::ostream* os) {
  *os << c.Value << " width " << c.Width << " decimals " << c.Decimals;
}

class NumberFormat : public ::testing::TestWithParam<TFormatCase> {};

TEST_P(NumberFormat, GivesExactText) {
  const auto& c = GetParam();
  const std::string text =
      c.Decimals < 0 ? FormatExp(c.Value, c.Width) : FormatFixed(c.Value, c.Width, c.Decimals);
  EXPECT_EQ(text, c.Expected) << "value " << c.Value;
}

INSTANTIATE_TEST_SUITE_P(
    Examples, NumberFormat,
    ::testing::Values(
        // Exponential notation, 12 and 10 characters.
        TFormatCase{0.5, 12, -1, " 5.000E-0001"}, TFormatCase{0, 12, -1, " 0.000E+0000"},
        TFormatCase{0.1234, 12, -1, " 1.234E-0001"}, TFormatCase{-0.25, 12, -1, "-2.500E-0001"},
        TFormatCase{0.5, 10, -1, " 5.0E-0001"}, TFormatCase{0, 10, -1, " 0.0E+0000"},
        TFormatCase{0.123, 10, -1, " 1.2E-0001"}, TFormatCase{-0.0, 10, -1, " 0.0E+0000"},
        // Ties of exactly representable values go away from zero.
        TFormatCase{0.125, 10, -1, " 1.3E-0001"}, TFormatCase{-0.125, 10, -1, "-1.3E-0001"},
        TFormatCase{0.375, 10, -1, " 3.8E-0001"}, TFormatCase{0.00390625, 12, -1, " 3.906E-0003"},
        // A carry that reaches the first digit moves the exponent.
        TFormatCase{0.999, 10, -1, " 1.0E+0000"}, TFormatCase{0.0999, 10, -1, " 1.0E-0001"},
        // 0.15 is a little below its decimal: no tie, rounds down.
        TFormatCase{0.15, 10, -1, " 1.5E-0001"}, TFormatCase{0.145, 10, -1, " 1.4E-0001"},
        TFormatCase{1e-300, 10, -1, " 1.0E-0300"}, TFormatCase{123456.0, 10, -1, " 1.2E+0005"},
        // Fixed notation.
        TFormatCase{100, 8, 2, "  100.00"}, TFormatCase{0.5, 8, 3, "   0.500"},
        TFormatCase{0.1, 8, 3, "   0.100"}, TFormatCase{0, 8, 3, "   0.000"},
        TFormatCase{12.5, 10, 2, "     12.50"}, TFormatCase{2.675, 10, 2, "      2.67"},
        TFormatCase{0.125, 8, 2, "    0.13"}, TFormatCase{-0.125, 8, 2, "   -0.13"},
        TFormatCase{1.005, 8, 2, "    1.00"}, TFormatCase{2.5, 4, 0, "   3"},
        TFormatCase{-2.5, 4, 0, "  -3"}, TFormatCase{0.0625, 8, 3, "   0.063"},
        TFormatCase{-0.0004, 8, 3, "  -0.000"},
        // A negative value that rounds to zero keeps its sign; -0.0 has none.
        TFormatCase{-0.004, 8, 2, "   -0.00"}, TFormatCase{-0.0049, 8, 2, "   -0.00"},
        TFormatCase{-0.0, 8, 2, "    0.00"}, TFormatCase{-0.4, 4, 0, "  -0"},
        TFormatCase{-1e-20, 8, 12, "-0.000000000000"}, TFormatCase{-0.005, 8, 2, "   -0.01"}, TFormatCase{-1.5, 8, 2, "   -1.50"},
        TFormatCase{99.995, 8, 2, "  100.00"}, TFormatCase{9.995, 5, 2, " 9.99"},
        TFormatCase{12345678.9, 10, 2, "12345678.90"}, TFormatCase{1e20, 6, 2, "100000000000000000000.00"},
        TFormatCase{0.8333333333, 8, 2, "    0.83"}, TFormatCase{0.70710678, 8, 3, "   0.707"}));

TEST(NumberFormat, ParametersAndSeriesChooseTheirForm) {
  EXPECT_EQ(FormatParameter(100), "  100.00");
  EXPECT_EQ(FormatParameter(0.1), "   0.100");
  EXPECT_EQ(FormatParameter(0), "   0.000");
  EXPECT_EQ(FormatParameter(-3), "  -3.000");
  EXPECT_EQ(FormatParameter(-0.0004), "  -0.000");
  EXPECT_EQ(FormatParameter(1), "    1.00");
  EXPECT_EQ(FormatSeries(1, 12), "        1.00");
  EXPECT_EQ(FormatSeries(0.5, 12), " 5.000E-0001");
  EXPECT_EQ(FormatSeries(12.5, 10), "     12.50");
  EXPECT_EQ(FormatSeries(0.25, 10), " 2.5E-0001");
  EXPECT_EQ(FormatSeries(-5, 10), "-5.0E+0000");
  EXPECT_EQ(FormatInt(3, 2), " 3");
  EXPECT_EQ(FormatInt(123456, 5), "123456");
}

}  // namespace
