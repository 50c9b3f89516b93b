#include <gtest/gtest.h>

#include "files/textreader.h"

#include <limits>
#include <string>

namespace {

TEST(TextReader, NumbersAreTokensBetweenControlCharacters) {
  TTextReader in(" 12\t-3.5e+1\r\n\r\n  +7 .5 5. 1E3\r\n");
  EXPECT_EQ(in.ReadInteger(), 12);
  EXPECT_EQ(in.ReadReal(), -35.0);
  // A number missing from its line is taken from the next one.
  EXPECT_EQ(in.ReadInteger(), 7);
  EXPECT_EQ(in.ReadReal(), 0.5);
  EXPECT_EQ(in.ReadReal(), 5.0);
  EXPECT_EQ(in.ReadReal(), 1000.0);
  // At the end of the file a number reads 0, without error.
  EXPECT_EQ(in.ReadReal(), 0.0);
  EXPECT_EQ(in.ReadInteger(), 0);
  EXPECT_TRUE(in.Eof());
}

TEST(TextReader, CharacterTwentySixEndsTheFile) {
  TTextReader in("1 2\x1A 3 4\r\n");
  EXPECT_EQ(in.ReadInteger(), 1);
  EXPECT_EQ(in.ReadReal(), 2.0);
  EXPECT_TRUE(in.OnlyBlanksLeft());
  EXPECT_EQ(in.ReadReal(), 0.0);
  EXPECT_TRUE(in.Eof());
}

TEST(TextReader, LinesAndCharacters) {
  TTextReader in("first line\r\nsecond\nthird line here\r\n");
  EXPECT_EQ(in.ReadChars(3), "fir");
  in.SkipLine();
  // A lone line feed ends a line as well.
  EXPECT_EQ(in.ReadChars(20), "second");
  EXPECT_EQ(in.ReadLine(), "");
  in.SkipChars(6);
  EXPECT_EQ(in.ReadLine(), "line here");
  EXPECT_TRUE(in.Eof());
  in.SkipLine();
  in.SkipChars(5);
  EXPECT_EQ(in.ReadLine(), "");
}

TEST(TextReader, ACarriageReturnAloneIsPartOfTheLine) {
  TTextReader in("abc\rdef\r\nab\rcd\r\n1\r2\r\nlast\r");
  EXPECT_EQ(in.ReadLine(), "abc\rdef");
  EXPECT_EQ(in.ReadChars(3), "ab\r");
  EXPECT_EQ(in.ReadRestOfLine(), "cd");
  in.SkipLine();
  // Between numbers it still separates them, its code being below 32.
  EXPECT_EQ(in.ReadInteger(), 1);
  EXPECT_EQ(in.ReadInteger(), 2);
  in.SkipLine();
  EXPECT_EQ(in.ReadLine(), "last\r");
  EXPECT_TRUE(in.Eof());
}

TEST(TextReader, SkipCharsCountsLineEnds) {
  TTextReader in("ab\r\ncd");
  in.SkipChars(4);
  EXPECT_EQ(in.ReadChars(5), "cd");
}

TEST(TextReader, RestOfLineLeavesTheLineEnd) {
  TTextReader in(" 2.00 mm/t\r\n 3\r\n");
  EXPECT_EQ(in.ReadReal(), 2.0);
  EXPECT_EQ(in.ReadRestOfLine(), " mm/t");
  in.SkipLine();
  EXPECT_EQ(in.ReadInteger(), 3);
}

struct TBadToken {
  const char* Text;
  bool Integer;
};

class InvalidNumber : public ::testing::TestWithParam<TBadToken> {};

TEST_P(InvalidNumber, Throws) {
  TTextReader in(GetParam().Text);
  if (GetParam().Integer)
    EXPECT_THROW(in.ReadInteger(), TInvalidNumber);
  else
    EXPECT_THROW(in.ReadReal(), TInvalidNumber);
}

INSTANTIATE_TEST_SUITE_P(
    Tokens, InvalidNumber,
    ::testing::Values(TBadToken{"abc", false}, TBadToken{"1,5", false}, TBadToken{"1e", false},
                      TBadToken{"--1", false}, TBadToken{"inf", false}, TBadToken{"nan", false},
                      TBadToken{"NaN", false}, TBadToken{"Infinity", false},
                      TBadToken{"1e400", false}, TBadToken{"-1e400", false},
                      TBadToken{"0.1e310", false}, TBadToken{"1e99999999999999999999", false}, TBadToken{".", false}, TBadToken{"+-1", false},
                      TBadToken{"0x10", false}, TBadToken{"1.5", true}, TBadToken{"+", true},
                      TBadToken{"+-3", true}, TBadToken{"99999999999", true},
                      TBadToken{"12a", true},
                      // Longer than any number the program writes.
                      TBadToken{"1111111111111111111111111111111111111111111111111111111111111111111",
                                false}));

TEST(ParseReal, AcceptsTheProgramsNotation) {
  EXPECT_EQ(ParseReal("5.0E-0001"), 0.5);
  EXPECT_EQ(ParseReal("-2.500E-0001"), -0.25);
  EXPECT_EQ(ParseReal("+12"), 12.0);
  EXPECT_EQ(ParseReal("12.50"), 12.5);
  EXPECT_FALSE(ParseReal(""));
  EXPECT_FALSE(ParseReal(" 1"));
  // An exponent that underflows is still a number: the nearest double.
  EXPECT_EQ(ParseReal("1e-400"), 0.0);
  EXPECT_EQ(ParseReal("-1e-400"), 0.0);
  EXPECT_EQ(ParseReal("1e-99999999999999999999"), 0.0);
  EXPECT_EQ(ParseReal("0.001e-322"), 0.0);
  EXPECT_EQ(ParseReal("1000e-330"), 0.0);
  EXPECT_EQ(ParseReal("1e-310"), 1e-310);
  EXPECT_EQ(ParseReal("3e-324"), std::numeric_limits<double>::denorm_min());
  EXPECT_EQ(ParseReal("1.7976931348623157e308"), std::numeric_limits<double>::max());
  // A mantissa too long for any file's field, read as a whole: overflow.
  EXPECT_FALSE(ParseReal("1" + std::string(400, '0') + "e-1"));
  EXPECT_EQ(ParseInteger("-4"), -4);
  EXPECT_EQ(ParseInteger("+4"), 4);
}

}  // namespace
