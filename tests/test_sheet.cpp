// The rules of the input sheet that need no window: typed numbers, the
// general number form, the field checks, gathering the grid and pasting.
#include <gtest/gtest.h>

#include <optional>

#include "graphs/quorellutils.h"
#include "sheet/fieldchecks.h"
#include "base/numformat.h"
#include "base/numparse.h"
#include "sheet/pasteblock.h"
#include "sheet/sheetseries.h"
#include "support/test_support.h"

namespace {

TEST(StringToFloat, ReadsEitherSeparatorOnEitherSystem) {
  struct TCase {
    const char* Text;
    char Separator;
    std::optional<double> Value;
  };
  const TCase cases[] = {
      {"2.5", '.', 2.5},      {"2,5", '.', 2.5},       {"2,5", ',', 2.5},   {"2.5", ',', 2.5},
      {" 3 ", '.', 3},        {"-0.3", '.', -0.3},     {"1e3", '.', 1000},  {"2,5E-6", '.', 2.5e-6},
      {"1,234.5", '.', {}},   {"1.234,5", ',', {}},    {"", '.', {}},       {"abc", ',', {}},
      {"2.5.1", '.', {}},     {"inf", '.', {}},        {"1e999", '.', {}},  {"5 5", '.', {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(StringToFloat(c.Text, c.Separator), c.Value) << c.Text << " with " << c.Separator;
  }
}

TEST(FormatGeneral, ShortestFormWithTheUsersSeparator) {
  struct TCase {
    double Value;
    char Separator;
    const char* Text;
  };
  const TCase cases[] = {
      {50, '.', "50"},
      {0.1, '.', "0.1"},
      {2.5e-6, '.', "2.5E-6"},
      {0.0001, '.', "0.0001"},
      {0.00001, '.', "1E-5"},
      {0.1 + 0.2, '.', "0.3"},
      {1.0 / 3, '.', "0.333333333333333"},
      {123456789012345, '.', "123456789012345"},
      {1e15, '.', "1E15"},
      {-2.5, ',', "-2,5"},
      {1e20, ',', "1E20"},
      {0, '.', "0"},
      {100.0 / 7, ',', "14,2857142857143"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatGeneral(c.Value, c.Separator), c.Text) << c.Value;
}

TEST(FormatGeneral, ReadsBackAsTheSameValueToFifteenDigits) {
  for (double v : {0.2, 1.5, 40.0, 0.0125, 1234.5678, 3e-7, 0.08}) {
    const auto back = StringToFloat(FormatGeneral(v, ','), ',');
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, v);
  }
}

TEST(NrOfDataCheck, LimitsAndMessages) {
  struct TCase {
    const char* Text;
    const char* Message;
    std::optional<std::string> NewText;
    std::optional<int> Count;
  };
  const TCase cases[] = {
      {"11", " The minimum number of data is 12", "12", {}},
      {"12", "", {}, 12},
      {" 20 ", "", {}, 20},
      {"1500", "", {}, 1500},
      {"1501", " The maximum number of data is 1500. Not enough? Contact the author.", "1500", {}},
      {"-3", " The minimum number of data is 12", "12", {}},
      {"abc", "The number of data is not a valid integer", {}, {}},
      {"12.5", "The number of data is not a valid integer", {}, {}},
      {"", "The number of data is not a valid integer", {}, {}},
  };
  for (const auto& c : cases) {
    const auto check = CheckNrOfData(c.Text);
    EXPECT_EQ(check.Message, c.Message) << c.Text;
    EXPECT_EQ(check.NewText, c.NewText) << c.Text;
    EXPECT_EQ(check.Count, c.Count) << c.Text;
  }
}

TEST(FieldCheck, MessagesReplacementsAndTheValueTheModelTakes) {
  using F = TSheetField;
  struct TCase {
    F Field;
    const char* Text;
    const char* MaxStorage;
    std::vector<std::string> Messages;
    std::optional<std::string> NewText;
    std::optional<double> Value;
  };
  const TCase cases[] = {
      {F::MaxStorage, "-5", "-5", {"The maximum storage must be >= 0"}, "0", 0},
      {F::MaxStorage, "0", "0", {}, {}, 0},
      {F::MaxStorage, "", "", {"The maximum storage is not a valid real"}, "0", 0},
      {F::InitialStorage, "120", "100", {"The initial storage be <= the maximum storage"}, "100", 100},
      {F::InitialStorage, "100", "100", {}, {}, 100},
      {F::InitialStorage, "-1", "100", {"The initial storage must be >= 0"}, "0", 0},
      {F::InitialStorage, "x", "100", {"The initial storage is not a valid real"}, "0", 0},
      {F::EscapeRate, "15", "100", {}, "10", 10},
      {F::EscapeRate, "10", "100", {}, {}, 10},
      {F::EscapeRate, "0,5", "3", {}, "0.3", 0.3},
      {F::EscapeRate, "-2", "100", {"The escape rate must be >= 0"}, "0", 0},
      {F::EscapeRate, "?", "100", {"The escape rate is not a valid real"}, "0", 0},
      {F::AlphaValue, "-0.3", "100", {}, {}, -0.3},
      {F::AlphaValue, "a", "100", {"The A coefficient is not a valid real"}, "0", 0},
      {F::InitialRunoff, "-1", "100", {"The initial runoff must be >= 0"}, "0", 0},
      {F::InitialRunoff, "2,5", "100", {}, {}, 2.5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.Text);
    const auto check = CheckField(c.Field, c.Text, c.MaxStorage, '.');
    EXPECT_EQ(check.Messages, c.Messages);
    EXPECT_EQ(check.NewText, c.NewText);
    EXPECT_EQ(check.Value, c.Value);
    EXPECT_FALSE(check.ConversionError);
  }
}

TEST(FieldCheck, AMaximumStorageThatIsNoNumberLeavesTheModelAlone) {
  auto check = CheckField(TSheetField::InitialStorage, "30", "", '.');
  EXPECT_EQ(check.ConversionError, "'' is not a valid floating point value");
  EXPECT_FALSE(check.Value);
  EXPECT_FALSE(check.NewText);
  // A text already replaced is what the field shows, and so what the model takes.
  check = CheckField(TSheetField::EscapeRate, "-1", "abc", '.');
  EXPECT_EQ(check.ConversionError, "'abc' is not a valid floating point value");
  EXPECT_EQ(check.NewText, "0");
  EXPECT_EQ(check.Value, 0);
}

TEST(FieldCheck, OneTenthIsShownWithTheUsersSeparator) {
  const auto check = CheckField(TSheetField::EscapeRate, "2", "5", ',');
  EXPECT_EQ(check.NewText, "0,5");
  EXPECT_EQ(check.Value, 0.5);
}

// ---- Gathering the grid for Save/Run

TSheetCells Grid(const std::vector<std::vector<std::string>>& rows, int cols = 3) {
  TSheetCells cells(cols, static_cast<int>(rows.size()));
  for (int r = 0; r < static_cast<int>(rows.size()); ++r)
    for (int c = 0; c < static_cast<int>(rows[r].size()); ++c) cells.SetCell(c, r, rows[r][c]);
  return cells;
}

TEST(GatherSheet, RowsWithAnEmptyCellAreLeftOutAndTheRestCompacted) {
  std::vector<std::vector<std::string>> rows;
  for (int r = 1; r <= 20; ++r)
    rows.push_back({std::to_string(r), r == 3 ? "2,5" : "1.5", (r == 5 || r == 9) ? "" : "0.5"});
  const auto cells = Grid(rows);
  TDMQuorell dm;
  dm.IsAnalysis = true;
  const auto gathered = GatherSheet(cells, dm, 20, 20, '.');
  ASSERT_TRUE(gathered.AllReal);
  EXPECT_EQ(gathered.Kept, 18);
  EXPECT_EQ(dm.RowFlags[5], 1);
  EXPECT_EQ(dm.RowFlags[9], 1);
  EXPECT_EQ(dm.RowFlags[6], 0);
  EXPECT_EQ(dm.Times[6], 6);
  EXPECT_EQ(dm.Rains[3], 2.5);
  EXPECT_TRUE(CheckSeries(dm, 20));

  EXPECT_EQ(CompactToReadLayout(dm, 20), 18);
  EXPECT_EQ(dm.Times[0], 1);
  EXPECT_EQ(dm.Times[4], 6);   // row 5 gone
  EXPECT_EQ(dm.Times[7], 10);  // row 9 gone
  EXPECT_EQ(dm.Times[17], 20);
  // Filled from the compacted series, the sheet shows the saved points in their rows.
  TSheetCells shown(3, 18);
  FillCells(shown, dm, 18, true, '.');
  EXPECT_EQ(shown.Cell(0, 4), "6");
  EXPECT_EQ(shown.Cell(1, 2), "2.5");
  EXPECT_EQ(shown.Cell(2, 17), "0.5");
}

TEST(GatherSheet, UnderThePredictionTheThirdColumnIsNotLookedAt) {
  const auto cells = Grid({{"1", "2", ""}, {"2", "", "x"}, {"3", "1", "abc"}, {"", "1", "1"}});
  TDMQuorell dm;
  dm.IsAnalysis = false;
  const auto gathered = GatherSheet(cells, dm, 4, 4, '.');
  ASSERT_TRUE(gathered.AllReal);
  EXPECT_EQ(gathered.Kept, 2);
  EXPECT_EQ(dm.RowFlags[1], 0);
  EXPECT_EQ(dm.RowFlags[2], 1);
  EXPECT_EQ(dm.RowFlags[3], 0);
  EXPECT_EQ(dm.RowFlags[4], 1);
}

TEST(GatherSheet, ATextThatIsNoNumberStopsTheGathering) {
  for (const auto& bad : {std::vector<std::string>{"a", "1", "1"}, {"1", " ", "1"}, {"1", "1", "1,2.3"}}) {
    const auto cells = Grid({{"1", "1", "1"}, bad, {"3", "1", "1"}});
    TDMQuorell dm;
    dm.IsAnalysis = true;
    EXPECT_FALSE(GatherSheet(cells, dm, 3, 3, '.').AllReal) << bad[0] << bad[1] << bad[2];
  }
}

TEST(CheckSeries, EqualTimesAndNegativeValuesAreRefused) {
  struct TCase {
    std::vector<std::vector<std::string>> Rows;
    bool Analysis;
    bool Fit;
  };
  const TCase cases[] = {
      {{{"1", "0", "0"}, {"2", "0", "0"}, {"2", "0", "0"}, {"3", "0", "0"}}, true, false},
      {{{"1", "0", "0"}, {"2", "-0.1", "0"}, {"3", "0", "0"}}, true, false},
      {{{"1", "0", "0"}, {"2", "0", "-1"}, {"3", "0", "0"}}, true, false},
      {{{"1", "0", "0"}, {"2", "0", "-1"}, {"3", "0", "0"}}, false, true},
      {{{"2", "0", "0"}, {"3", "0", ""}, {"2", "0", "1"}}, true, false},  // a left-out row separates nothing
      {{{"3", "0", "0"}, {"2", "0", ""}, {"1", "0", "0"}}, true, false},
      {{{"5", "0", "0"}}, true, true},
  };
  for (const auto& c : cases) {
    const auto cells = Grid(c.Rows);
    TDMQuorell dm;
    dm.IsAnalysis = c.Analysis;
    const int n = static_cast<int>(c.Rows.size());
    ASSERT_TRUE(GatherSheet(cells, dm, n, n, '.').AllReal);
    EXPECT_EQ(CheckSeries(dm, n), c.Fit) << &c - cases;
  }
}

// ---- Pasting blocks

std::string Block(int lines, const char* end = "\r\n", int firstTime = 1) {
  std::string text;
  for (int i = 0; i < lines; ++i)
    text += std::to_string(firstTime + i) + "\t" + std::to_string(i % 5) + ".5\t" + std::to_string(i % 3) + end;
  return text;
}

class Paste : public ::testing::Test {
protected:
  void SetUp() override {
    dm.SetDialogs(&dialogs);
    for (int r = 0; r < 15; ++r)
      for (int c = 0; c < 3; ++c) cells.SetCell(c, r, "0");
  }
  bool PasteAt(int col, const std::string& text, int row, int sheetRows = 15) {
    return HandlePasteMultiCell(cells, col, text, row, dm, sheetRows, '.');
  }
  TRecordingDialogs dialogs;
  TDMQuorell dm;
  TSheetCells cells{3, 15};
};

TEST_F(Paste, AHundredLinesIntoFifteenRows) {
  ASSERT_TRUE(PasteAt(0, Block(100), 0));
  EXPECT_EQ(cells.RowCount(), 100);
  EXPECT_EQ(dm.NrOfData, 100);
  EXPECT_TRUE(dm.IsAnalysis);
  EXPECT_TRUE(dialogs.Questions.empty());
  EXPECT_EQ(dm.Times[99], 100);
  EXPECT_EQ(dm.Rains[1], 1.5);
  EXPECT_EQ(dm.Runoffs[2], 2);
  EXPECT_EQ(dm.RowFlags.size(), 101u);
}

TEST_F(Paste, FewerLinesAskWhetherToKeepTheOriginalNumber) {
  dialogs.Answer = false;
  ASSERT_TRUE(PasteAt(0, Block(10), 0));
  EXPECT_EQ(dialogs.Questions, std::vector<std::string>{KeepRowsQuestion});
  EXPECT_EQ(cells.RowCount(), 10);
  EXPECT_EQ(dm.NrOfData, 10);

  dialogs.Answer = true;
  cells.SetRowCount(15);
  ASSERT_TRUE(PasteAt(0, Block(10, "\r\n", 31), 0));
  EXPECT_EQ(cells.RowCount(), 15);
  EXPECT_EQ(dm.NrOfData, 15);
  EXPECT_EQ(cells.Cell(0, 12), "0");  // the earlier rows below the block, read as zeros
  EXPECT_EQ(dm.Times[12], 0);
  EXPECT_EQ(dm.Times[9], 40);
}

TEST_F(Paste, CellsThatCannotBeReadFailThePaste) {
  struct TCase {
    std::string Text;
    int Row;
  };
  const TCase cases[] = {
      {"1\t1\t1\r\n3.5\t1\t1\r\n", 0},  // a time that is no whole number
      {"1\t1.5E-3\t1\r\n", 0},          // the exponent letter is dropped: 1.5-3
      {"1\t\t1\r\n", 0},                // an empty rain
      {"1\t1,234.5\t1\r\n", 0},         // a thousands separator
      {Block(3), 14},                   // the block leaves rows of "0"... and one past them empty
  };
  for (const auto& c : cases) {
    TDMQuorell fresh;
    fresh.SetDialogs(&dialogs);
    TSheetCells grid(3, 15);
    EXPECT_FALSE(HandlePasteMultiCell(grid, 0, c.Text, c.Row, fresh, 15, '.')) << c.Text;
  }
}

TEST_F(Paste, BothDecimalSeparatorsArriveAsNumbers) {
  ASSERT_TRUE(PasteAt(0, "1\t2,5\t0,75\r\n2\t3.5\t1\r\n", 0, 2));
  EXPECT_EQ(dm.Rains[0], 2.5);
  EXPECT_EQ(dm.Runoffs[0], 0.75);
  EXPECT_EQ(dm.Rains[1], 3.5);
}

TEST_F(Paste, ABlockAtRowFiveKeepsTheRowsAbove) {
  ASSERT_TRUE(PasteAt(0, Block(100, "\r\n", 5), 5));
  EXPECT_EQ(cells.RowCount(), 105);
  EXPECT_EQ(dm.NrOfData, 105);
  EXPECT_EQ(cells.Cell(0, 4), "0");
  EXPECT_EQ(dm.Times[5], 5);
  EXPECT_EQ(dm.Times[104], 104);
}

TEST_F(Paste, ASingleLineFillsItsRowAndKeepsTheRowCount) {
  for (int row : {0, 5}) {
    ASSERT_TRUE(PasteAt(0, "7\t8\t9", row)) << row;
    EXPECT_EQ(cells.RowCount(), 15) << row;
    EXPECT_EQ(cells.Cell(0, row), "7");
    EXPECT_EQ(cells.Cell(2, row), "9");
    EXPECT_EQ(dm.Rains[row], 8);
  }
}

TEST_F(Paste, LineFeedsAloneAndALastLineWithoutItsEnd) {
  ASSERT_TRUE(PasteAt(0, Block(20, "\n"), 0));
  EXPECT_EQ(cells.RowCount(), 20);
  EXPECT_EQ(dm.Times[19], 20);

  std::string text = Block(20);
  text.erase(text.size() - 2);  // as a text editor copies it
  ASSERT_TRUE(PasteAt(0, text, 0));
  EXPECT_EQ(cells.RowCount(), 20);
  EXPECT_EQ(dm.Times[19], 20);
}

TEST_F(Paste, ATwoColumnBlockLeavesTheRunoffColumnAsItWas) {
  for (int r = 0; r < 15; ++r) cells.SetCell(2, r, "4");
  ASSERT_TRUE(PasteAt(0, "1\t1\r\n2\t2\r\n3\t3\r\n", 0, 3));
  EXPECT_EQ(dm.Runoffs[1], 4);

  TSheetCells empty(3, 15);
  EXPECT_FALSE(HandlePasteMultiCell(empty, 0, "1\t1\r\n2\t2\r\n", 0, dm, 2, '.'));
}

TEST_F(Paste, ABlockWiderThanTheGridFollowsTheGridsColumns) {
  cells.SetColCount(2);
  ASSERT_TRUE(PasteAt(0, Block(12), 0, 12));
  EXPECT_FALSE(dm.IsAnalysis);
  EXPECT_EQ(cells.Cell(2, 3), "0");  // kept, not shown
}

TEST(PasteBlock, OnlyTabsAndLineEndsMakeABlock) {
  EXPECT_TRUE(IsPasteBlock("1\t2"));
  EXPECT_TRUE(IsPasteBlock("1\r\n"));
  EXPECT_TRUE(IsPasteBlock("1\n2"));
  EXPECT_FALSE(IsPasteBlock("12.5"));
}

}  // namespace
