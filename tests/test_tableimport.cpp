// The reader of spreadsheet tables: what it finds, what it reads, what it
// refuses and what it says.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <sstream>

#include "files/tabledates.h"
#include "files/tableimport.h"

namespace {

// Options for a determination from columns date, rain, runoff.
TTableImportOptions Dated(int date = 1, int rain = 2, int runoff = 3) {
  TTableImportOptions o;
  o.FileName = "t.csv";
  o.DateColumn.Number = date;
  o.RainColumn.Number = rain;
  o.RunoffColumn.Number = runoff;
  return o;
}

TTableImportOptions ByRow(int rain = 1, int runoff = 2) {
  TTableImportOptions o;
  o.FileName = "t.csv";
  o.RainColumn.Number = rain;
  o.RunoffColumn.Number = runoff;
  return o;
}

bool Says(const TTableImport& r, const std::string& part) {
  return r.Error.find(part) != std::string::npos;
}

// ---- Dates

struct TDateCase {
  const char* Text;
  const char* Reads;  // as written back with its time, or nullptr: no date
};

class TableDates : public ::testing::TestWithParam<TDateCase> {};

TEST_P(TableDates, ReadAsExportsWriteThem) {
  const auto date = ParseTableDate(GetParam().Text);
  if (!GetParam().Reads) {
    EXPECT_FALSE(date.has_value()) << FormatTableDate(date->Seconds, true);
    return;
  }
  ASSERT_TRUE(date.has_value());
  EXPECT_EQ(FormatTableDate(date->Seconds, true), GetParam().Reads);
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TableDates,
    ::testing::Values(TDateCase{"1985-01-01", "1985-01-01 00:00"},
                      TDateCase{"1985-1-5", "1985-01-05 00:00"},
                      TDateCase{"1985/01/31", "1985-01-31 00:00"},
                      TDateCase{"31.12.1985", "1985-12-31 00:00"},
                      TDateCase{"1.2.1985", "1985-02-01 00:00"},
                      TDateCase{"1984-02-29", "1984-02-29 00:00"},
                      TDateCase{"2000-02-29", "2000-02-29 00:00"},
                      TDateCase{"1985-01-01 06:30", "1985-01-01 06:30"},
                      TDateCase{"1985-01-01T06:30:15", "1985-01-01 06:30:15"},
                      TDateCase{"1985/03/01 7:05", "1985-03-01 07:05"},
                      TDateCase{"31.12.1985 23:00", "1985-12-31 23:00"},
                      TDateCase{"31.12.1985 24:00", "1986-01-01 00:00"},
                      TDateCase{"  1985-01-01  ", "1985-01-01 00:00"},
                      TDateCase{"1969-12-31 23:00", "1969-12-31 23:00"},
                      TDateCase{"1985-02-29", nullptr}, TDateCase{"1900-02-29", nullptr},
                      TDateCase{"1985-13-01", nullptr}, TDateCase{"1985-00-10", nullptr},
                      TDateCase{"1985-04-31", nullptr}, TDateCase{"85-01-01", nullptr},
                      TDateCase{"1985.01.01", nullptr}, TDateCase{"01/01/1985", nullptr},
                      TDateCase{"1985-01/01", nullptr}, TDateCase{"1985-01-01 25:00", nullptr},
                      TDateCase{"1985-01-01 24:30", nullptr}, TDateCase{"1985-01-01 12:60", nullptr},
                      TDateCase{"1985-01-01 6", nullptr}, TDateCase{"1985-01-01T", nullptr},
                      TDateCase{"1985-01-01x", nullptr}, TDateCase{"1985-01-01 06:30:1", nullptr},
                      TDateCase{"", nullptr}, TDateCase{"NA", nullptr},
                      TDateCase{"19850101", nullptr}));

TEST(TableDates, SecondsCountFromTheStartOf1970) {
  EXPECT_EQ(ParseTableDate("1970-01-01")->Seconds, 0);
  EXPECT_EQ(ParseTableDate("1985-01-01")->Seconds, 473385600);
  EXPECT_EQ(ParseTableDate("01.03.2000 01:00:01")->Seconds, 951868800 + 3601);
  EXPECT_FALSE(ParseTableDate("1985-01-01")->HasTime);
  EXPECT_TRUE(ParseTableDate("1985-01-01 00:00")->HasTime);
  EXPECT_EQ(TableDateOf(1972, 1, 1)->Seconds, ParseTableDate("1972-01-01")->Seconds);
  EXPECT_FALSE(TableDateOf(1972, 2, 30));
  EXPECT_EQ(FormatTableDate(473385600, false), "1985-01-01");
}

// ---- Delimiters, decimals, headers

struct TLayoutCase {
  const char* Name;
  const char* Table;
  TTableDelimiter Delimiter, Finds;
  TTableDecimal Decimal;
  char DecimalFound;
};

class TableLayout : public ::testing::TestWithParam<TLayoutCase> {};

TEST_P(TableLayout, TheSameRecordInEveryNotation) {
  const auto& c = GetParam();
  auto o = Dated();
  o.Delimiter = c.Delimiter;
  o.Decimal = c.Decimal;
  const auto r = ImportTable(c.Table, o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Delimiter, c.Finds);
  EXPECT_EQ(r.Decimal, c.DecimalFound);
  EXPECT_EQ(r.Times, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(r.Rains, (std::vector<double>{2.5, 0, 12}));
  EXPECT_EQ(r.Runoffs, (std::vector<double>{0.75, 1, 1.25}));
}

const auto A = TTableDelimiter::Auto;
const auto DA = TTableDecimal::Auto;

INSTANTIATE_TEST_SUITE_P(
    Notations, TableLayout,
    ::testing::Values(
        TLayoutCase{"CommaPoint", "1985-01-01,2.5,0.75\n1985-01-02,0,1\n1985-01-03,12,1.25\n", A,
                    TTableDelimiter::Comma, DA, '.'},
        TLayoutCase{"SemicolonComma", "1985-01-01;2,5;0,75\n1985-01-02;0;1\n1985-01-03;12;1,25\n",
                    A, TTableDelimiter::Semicolon, DA, ','},
        TLayoutCase{"SemicolonPoint", "1985-01-01;2.5;0.75\n1985-01-02;0;1\n1985-01-03;12;1.25\n",
                    A, TTableDelimiter::Semicolon, DA, '.'},
        TLayoutCase{"TabComma", "01.01.1985\t2,5\t0,75\n02.01.1985\t0\t1\n03.01.1985\t12\t1,25\n", A,
                    TTableDelimiter::Tab, DA, ','},
        // Tabs win over semicolons, semicolons over commas.
        TLayoutCase{"TabBeforeSemicolon",
                    "1985-01-01\t2,5\t0,75\tx;y\n1985-01-02\t0\t1\n1985-01-03\t12\t1,25\n", A,
                    TTableDelimiter::Tab, DA, ','},
        TLayoutCase{"GivenSemicolon", "1985-01-01;2,5;0,75\n1985-01-02;0;1\n1985-01-03;12;1,25\n",
                    TTableDelimiter::Semicolon, TTableDelimiter::Semicolon, TTableDecimal::Comma,
                    ','},
        // A quoted decimal comma in a comma-separated export.
        TLayoutCase{"QuotedCommaDecimal",
                    "\"1985-01-01\",\"2,5\",\"0,75\"\n\"1985-01-02\",\"0\",\"1\"\n"
                    "\"1985-01-03\",\"12\",\"1,25\"\n",
                    A, TTableDelimiter::Comma, TTableDecimal::Comma, ','},
        TLayoutCase{"BomCrLfBlanks",
                    "\xEF\xBB\xBF 1985-01-01 ; 2,5 ;0,75  \r\n\r\n1985-01-02;0;1\r\n"
                    "1985-01-03;12;1,25\r\n\r\n   \r\n",
                    A, TTableDelimiter::Semicolon, DA, ','},
        TLayoutCase{"LoneCr", "1985-01-01,2.5,0.75\r1985-01-02,0,1\r1985-01-03,12,1.25", A,
                    TTableDelimiter::Comma, DA, '.'},
        TLayoutCase{"EmptyCellsAtTheEnd", "1985-01-01;2,5;0,75;;\n1985-01-02;0;1;;\n"
                                          ";;;;\n1985-01-03;12;1,25;;\n\x1A junk",
                    A, TTableDelimiter::Semicolon, DA, ',' }),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(TableImport, DecimalsOutsideTheirNotationAreRefused) {
  // A thousands point beside a decimal comma, a comma where points were asked
  // for and a point where commas were.
  struct TCase {
    const char* Table;
    TTableDecimal Decimal;
    const char* Says;
  } cases[] = {
      {"1985-01-01;1.234,5;1\n", TTableDecimal::Auto, "column 2: \"1.234,5\" is not a number"},
      {"1985-01-01;2,5;1\n", TTableDecimal::Point, "column 2: \"2,5\" is not a number"},
      {"1985-01-01;2.5;1\n", TTableDecimal::Comma, "column 2: \"2.5\" is not a number"},
      {"1985-01-01,\"2,5\",1\n", TTableDecimal::Auto, "column 2: \"2,5\" is not a number"},
  };
  for (const auto& c : cases) {
    auto o = Dated();
    o.Decimal = c.Decimal;
    const auto r = ImportTable(c.Table, o);
    EXPECT_TRUE(Says(r, c.Says)) << c.Table << ": " << r.Error;
    EXPECT_TRUE(r.Times.empty());
  }
}

struct THeaderCase {
  const char* Name;
  const char* Table;
  TTableHeader Header;
  int HeaderLine;
  const char* Says;  // nullptr: read, first point from the line after the header
};

class TableHeader : public ::testing::TestWithParam<THeaderCase> {};

TEST_P(TableHeader, FoundByTheCellsNeeded) {
  const auto& c = GetParam();
  auto o = ByRow(2, 3);
  o.Header = c.Header;
  const auto r = ImportTable(c.Table, o);
  if (c.Says) {
    EXPECT_TRUE(Says(r, c.Says)) << r.Error;
    return;
  }
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.HeaderLine, c.HeaderLine);
  EXPECT_EQ(r.Lines.front(), c.HeaderLine + 1);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, TableHeader,
    ::testing::Values(
        THeaderCase{"Names", "day,P,Q\n1,2,3\n2,3,4\n", TTableHeader::Auto, 1, nullptr},
        THeaderCase{"Numbers", "1,2,3\n2,3,4\n", TTableHeader::Auto, 0, nullptr},
        // The first column is not needed: its text makes no header.
        THeaderCase{"TextOutsideTheColumns", "x,2,3\ny,3,4\n", TTableHeader::Auto, 0, nullptr},
        THeaderCase{"OneNameIsEnough", "1,2,Q\n2,3,4\n3,4,5\n", TTableHeader::Auto, 1, nullptr},
        THeaderCase{"AfterBlankLines", "\n\n day , P , Q \n1,2,3\n2,3,4\n", TTableHeader::Auto, 3,
                    nullptr},
        THeaderCase{"GivenYes", "1,2,3\n2,3,4\n3,4,5\n", TTableHeader::Yes, 1, nullptr},
        // Missing codes are values, not names: the row is read, its rain is missing.
        THeaderCase{"MissingCodes", "x,NA,-999\n2,3,4\n", TTableHeader::Auto, 0,
                    "t.csv:1: column 2: rain missing (\"NA\") at time 1"},
        THeaderCase{"GivenNo", "day,P,Q\n1,2,3\n", TTableHeader::No, 0,
                    "t.csv:1: column 2: \"P\" is not a number"}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(TableImport, EveryColumnOptionTakesAHeaderName) {
  const std::string table =
      "Year;MONTH;day;when;t;P_mm;Q_mm\n"
      "1985;1;1;1985-01-01;0,5;1;2\n"
      "1985;1;2;1985-01-02;1,5;3;4\n";
  TTableImportOptions o;
  o.FileName = "t.csv";
  o.RainColumn.Name = "p_MM";
  o.RunoffColumn.Name = "q_mm";
  for (int source = 0; source < 4; ++source) {
    SCOPED_TRACE(source);
    auto c = o;
    if (source == 1) c.TimeColumn.Name = "T";
    if (source == 2) c.DateColumn.Name = "When";
    if (source == 3) c.DateColumns = {TableColumnOf("year"), TableColumnOf("month"), TableColumnOf("Day")};
    const auto r = ImportTable(table, c);
    ASSERT_TRUE(r.Ok()) << r.Error;
    EXPECT_EQ(r.HeaderLine, 1);
    EXPECT_EQ(r.Rains, (std::vector<double>{1, 3}));
    EXPECT_EQ(r.Runoffs, (std::vector<double>{2, 4}));
    const std::vector<double> times = source == 1 ? std::vector<double>{0.5, 1.5}
                                                  : std::vector<double>{1, 2};
    EXPECT_EQ(r.Times, times);
    EXPECT_EQ(r.Title2, source >= 2 ? "time 1 = 1985-01-01, time unit 1 day" : "");
  }
}

TEST(TableImport, ColumnsByNameThatCannotBeFound) {
  struct TCase {
    const char* Table;
    const char* Rain;
    TTableHeader Header;
    const char* Says;
  } cases[] = {
      {"date;P;Q\n1985-01-01;1;2\n", "Rain", TTableHeader::Auto,
       "t.csv:1: no column \"Rain\" in the header (date, P, Q)"},
      {"date;P;P\n1985-01-01;1;2\n", "p", TTableHeader::Auto,
       "t.csv:1: the header has \"p\" twice (columns 2 and 3)"},
      {"date;P;Q\n1985-01-01;1;2\n", "P", TTableHeader::No, "a column by name needs a header line"},
  };
  for (const auto& c : cases) {
    auto o = Dated();
    o.RainColumn = TableColumnOf(c.Rain);
    o.Header = c.Header;
    EXPECT_TRUE(Says(ImportTable(c.Table, o), c.Says)) << ImportTable(c.Table, o).Error;
  }
}

// ---- Dates in the record: MOPEX columns, steps, units, the period

TEST(TableImport, MopexColumnsAndItsPeriodByDate) {
  std::string table;
  for (int d = 1; d <= 31; ++d)
    table += "1972,1," + std::to_string(d) + "," + std::to_string(d) + ",0.5," +
             std::to_string(100 + d) + ",0,0\n";
  for (int d = 1; d <= 29; ++d)
    table += "1972,2," + std::to_string(d) + ",0,0.5,1,0,0\n";
  TTableImportOptions o;
  o.FileName = "m.csv";
  o.DateColumns = {TableColumnOf("1"), TableColumnOf("2"), TableColumnOf("3")};
  o.RainColumn.Number = 4;
  o.RunoffColumn.Number = 6;
  o.From = "1972-01-30";
  o.To = "02.02.1972";
  const auto r = ImportTable(table, o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Times, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(r.Rains, (std::vector<double>{30, 31, 0, 0}));
  EXPECT_EQ(r.Runoffs, (std::vector<double>{130, 131, 1, 1}));
  EXPECT_EQ(r.Lines, (std::vector<int>{30, 31, 32, 33}));
  EXPECT_EQ(r.FirstDate, "1972-01-30");
  EXPECT_EQ(r.LastDate, "1972-02-02");
  EXPECT_EQ(r.Title2, "time 1 = 1972-01-30, time unit 1 day");
  EXPECT_EQ(r.Selected, 4);

  o.From = "1972-03-01";
  o.To = "";
  EXPECT_TRUE(Says(ImportTable(table, o),
                   "m.csv: no rows in the period from 1972-03-01 on (the rows run from 1972-01-01 "
                   "to 1972-02-29)"));
  o.From = "1972-02-01";
  o.To = "1972-01-31";
  EXPECT_TRUE(Says(ImportTable(table, o), "the period ends (1972-01-31) before it starts"));
  o.From = "";
  o.To = "";
  std::string bad = table;
  bad.replace(bad.find("1972,2,5,"), 9, "1972,2,30,");
  EXPECT_TRUE(Says(ImportTable(bad, o),
                   "m.csv:36: column 1, column 2, column 3: \"1972\", \"2\", \"30\" make no date"));
}

TEST(TableImport, HoursTheirUnitAndTheWholeLastDay) {
  std::string table = "time\train\tq\n";
  for (int h = 0; h < 30; ++h) {
    char line[64];
    std::snprintf(line, sizeof line, "%s %02d:00\t%d\t1\n", h < 24 ? "1985-06-01" : "1985-06-02",
                  h % 24, h);
    table += line;
  }
  auto o = Dated();
  // Hours under the day as unit would be written as 1.04, 1.08 ...
  auto r = ImportTable(table, o);
  EXPECT_TRUE(Says(r, "t.csv:3: 1985-06-01 01:00 follows 1985-06-01 00:00 of line 2: a step of 1 "
                      "hour is no whole number of days (for data with hours take the time unit "
                      "hour)"))
      << r.Error;
  o.TimeUnit = TTableTimeUnit::Hour;
  o.From = "1985-06-01 20:00";
  o.To = "1985-06-01";  // the whole day
  r = ImportTable(table, o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Times, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(r.Rains, (std::vector<double>{20, 21, 22, 23}));
  EXPECT_EQ(r.Title2, "time 1 = 1985-06-01 20:00, time unit 1 hour");
}

struct TStepCase {
  const char* Name;
  const char* Dates;  // one a line
  TTableTimeUnit Unit;
  const char* Says;   // nullptr: read with these times
  std::vector<double> Times;
};

class TableSteps : public ::testing::TestWithParam<TStepCase> {};

TEST_P(TableSteps, OneStepForTheWholeRecord) {
  const auto& c = GetParam();
  std::string table;
  std::istringstream dates(c.Dates);
  for (std::string date; std::getline(dates, date);) table += date + ";1;1\n";
  auto o = Dated();
  o.TimeUnit = c.Unit;
  const auto r = ImportTable(table, o);
  if (c.Says) {
    EXPECT_TRUE(Says(r, c.Says)) << r.Error;
    EXPECT_TRUE(r.Times.empty());
  } else {
    ASSERT_TRUE(r.Ok()) << r.Error;
    EXPECT_EQ(r.Times, c.Times);
  }
}

const auto Day = TTableTimeUnit::Day;
const auto Hour = TTableTimeUnit::Hour;

INSTANTIATE_TEST_SUITE_P(
    Dates, TableSteps,
    ::testing::Values(
        TStepCase{"Daily", "1985-02-27\n1985-02-28\n1985-03-01\n", Day, nullptr, {1, 2, 3}},
        TStepCase{"Weekly", "1985-01-01\n1985-01-08\n1985-01-15\n", Day, nullptr, {1, 8, 15}},
        TStepCase{"ThreeHourly", "1985-01-01 00:00\n1985-01-01 03:00\n1985-01-01 06:00\n", Hour,
                  nullptr, {1, 4, 7}},
        TStepCase{"DailyInHours", "1985-01-01\n1985-01-02\n", Hour, nullptr, {1, 25}},
        TStepCase{"OneRow", "1985-01-01\n", Day, nullptr, {1}},
        TStepCase{"ADayMissing", "1985-01-01\n1985-01-02\n1985-01-04\n1985-01-05\n", Day,
                  "t.csv:3: 1985-01-04 follows 1985-01-02 of line 2; the dates must follow each "
                  "other at one step of 1 day",
                  {}},
        TStepCase{"TwiceTheSameDay", "1985-01-01\n1985-01-02\n1985-01-02\n", Day,
                  "t.csv:3: 1985-01-02 follows 1985-01-02 of line 2; the dates must follow each "
                  "other at one step of 1 day",
                  {}},
        TStepCase{"Backwards", "1985-01-02\n1985-01-01\n", Day,
                  "t.csv:2: 1985-01-01 follows 1985-01-02 of line 1; the dates must increase", {}},
        TStepCase{"HalfHours", "1985-01-01 00:00\n1985-01-01 00:30\n", Hour,
                  "a step of 30 minutes is no whole number of hours", {}},
        TStepCase{"NotADate", "1985-01-01\n1985-01-32\n", Day,
                  "t.csv:2: column 1: \"1985-01-32\" is not a date", {}},
        // Values without their date.
        TStepCase{"NoDate", "1985-01-01\n\n", Day, "t.csv:2: column 1: \"\" is not a date", {}}),
    [](const auto& test) { return std::string(test.param.Name); });

// ---- Missing values

struct TGapCase {
  const char* Name;
  std::vector<const char*> Runoffs;
  int MaxGap;
  const char* Says;  // nullptr: read, with these runoffs and interpolated lines
  std::vector<double> Read;
  std::vector<int> InterpolatedLines;
};

class TableGaps : public ::testing::TestWithParam<TGapCase> {};

TEST_P(TableGaps, ShortRunsOfRunoffAreInterpolated) {
  const auto& c = GetParam();
  std::string table = "date;rain;flow\n";
  for (std::size_t i = 0; i < c.Runoffs.size(); ++i)
    table += "1990-01-" + std::string(i < 9 ? "0" : "") + std::to_string(i + 1) + ";1;" +
             c.Runoffs[i] + "\n";
  auto o = Dated();
  o.MaxGap = c.MaxGap;
  const auto r = ImportTable(table, o);
  if (c.Says) {
    EXPECT_TRUE(Says(r, c.Says)) << r.Error;
    return;
  }
  ASSERT_TRUE(r.Ok()) << r.Error;
  ASSERT_EQ(r.Runoffs.size(), c.Read.size());
  for (std::size_t i = 0; i < c.Read.size(); ++i) EXPECT_DOUBLE_EQ(r.Runoffs[i], c.Read[i]) << i;
  std::vector<int> lines;
  for (const auto& value : r.Interpolated) lines.push_back(value.Line);
  EXPECT_EQ(lines, c.InterpolatedLines);
  EXPECT_EQ(r.Rains, std::vector<double>(c.Read.size(), 1.0));
}

INSTANTIATE_TEST_SUITE_P(
    Runs, TableGaps,
    ::testing::Values(
        TGapCase{"None", {"1", "2", "3"}, 3, nullptr, {1, 2, 3}, {}},
        TGapCase{"OneInTheMiddle", {"1", "", "2"}, 3, nullptr, {1, 1.5, 2}, {3}},
        TGapCase{"ThreeOfEveryCode", {"4", "NA", "nan", "-999", "0"}, 3, nullptr, {4, 3, 2, 1, 0},
                 {3, 4, 5}},
        TGapCase{"CodesWithDecimals", {"2", "-9999,0", "-999.00", "5"}, 3, nullptr, {2, 3, 4, 5},
                 {3, 4}},
        TGapCase{"TwoRuns", {"1", "NA", "3", "NA", "NA", "9"}, 2, nullptr, {1, 2, 3, 5, 7, 9},
                 {3, 5, 6}},
        TGapCase{"TooLong", {"1", "NA", "NA", "NA", "NA", "9"}, 3,
                 "t.csv:3: column 3 (flow): runoff missing from 1990-01-02 to 1990-01-05 (4 "
                 "values, lines 3 to 6); at most 3 in a row are interpolated",
                 {}, {}},
        TGapCase{"NoneAllowed", {"1", "NA", "3"}, 0,
                 "t.csv:3: column 3 (flow): runoff missing on 1990-01-02 (1 value, line 3); at "
                 "most 0 in a row are interpolated",
                 {}, {}},
        TGapCase{"AtTheStart", {"NA", "", "3", "4"}, 3,
                 "t.csv:2: column 3 (flow): runoff missing from 1990-01-01 to 1990-01-02 (2 "
                 "values, lines 2 to 3) at the start of the period",
                 {}, {}},
        TGapCase{"AtTheEnd", {"3", "4", "NA"}, 3,
                 "t.csv:4: column 3 (flow): runoff missing on 1990-01-03 (1 value, line 4) at the "
                 "end of the period",
                 {}, {}},
        TGapCase{"NotACode", {"3", "n/a", "4"}, 3, "t.csv:3: column 3 (flow): \"n/a\" is not a number",
                 {}, {}}),
    [](const auto& test) { return std::string(test.param.Name); });

TEST(TableImport, MissingRainIsRefusedAndCodesAreTheUsers) {
  const std::string table = "date;rain;flow\n1990-01-01;1;2\n1990-01-02;NA;3\n1990-01-03;-1;4\n";
  auto o = Dated();
  EXPECT_TRUE(Says(ImportTable(table, o),
                   "t.csv:3: column 2 (rain): rain missing (\"NA\") on 1990-01-02; only a missing "
                   "runoff is interpolated"));
  // Codes of one's own: NA is then a text like any other, -1 a hole, and
  // the empty cell stays one.
  o.Missing = {"-1"};
  EXPECT_TRUE(Says(ImportTable(table, o), "t.csv:3: column 2 (rain): \"NA\" is not a number"));
  const auto r = ImportTable("date;rain;flow\n1990-01-01;1;2\n1990-01-02;1;-1\n1990-01-03;1;\n"
                             "1990-01-04;1;8\n",
                             o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Runoffs, (std::vector<double>{2, 4, 6, 8}));
  ASSERT_EQ(r.Interpolated.size(), 2u);
  EXPECT_EQ(r.Interpolated[0].When, "1990-01-02");
  EXPECT_EQ(r.Interpolated[1].Runoff, 6);
}

TEST(TableImport, ATimeColumnLeavesOutRowsWithAMissingValue) {
  // The times are the user's: the row goes, its gap shows in them.
  TTableImportOptions o = ByRow(2, 3);
  o.TimeColumn.Number = 1;
  const std::string table = "t;P;Q\n0,5;1;2\n1,5;NA;3\n2,5;2;\n\n3,5;0;1\n4,5;0;1\n";
  auto r = ImportTable(table, o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Times, (std::vector<double>{0.5, 3.5, 4.5}));
  EXPECT_EQ(r.Selected, 6);
  EXPECT_EQ(r.LeftOut, 3);
  EXPECT_TRUE(r.Interpolated.empty());
  // The period by time value.
  o.From = "1";
  o.To = "3.5";
  r = ImportTable(table, o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Times, (std::vector<double>{3.5}));
  EXPECT_EQ(r.Selected, 4);
}

TEST(TableImport, RowsByNumberAndAPeriodOfRowTimes) {
  const std::string table = "P,Q\n10,1\n11,1\n12,1\n13,1\n14,1\n";
  auto o = ByRow();
  o.From = "2";
  o.To = "4";
  auto r = ImportTable(table, o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Times, (std::vector<double>{1, 2, 3}));
  EXPECT_EQ(r.Rains, (std::vector<double>{11, 12, 13}));
  // --first-row counts lines of the file, never the header.
  o = ByRow();
  o.Rows = 2;
  r = ImportTable(table, o);
  EXPECT_EQ(r.Lines, (std::vector<int>{2, 3}));
  o.FirstRow = 4;
  r = ImportTable(table, o);
  EXPECT_EQ(r.Lines, (std::vector<int>{4, 5}));
  o.Rows = 5;
  EXPECT_TRUE(Says(ImportTable(table, o), "t.csv: has 6 lines, fewer than rows 4 to 8"));
}

TEST(TableImport, RefusalsOfTheTableAsAWhole) {
  struct TCase {
    std::string Table;
    const char* Says;
  } cases[] = {
      {"", "t.csv: holds no rows of data"},
      {"\r\n \r\n", "t.csv: holds no rows of data"},
      {"date;P;Q\n", "t.csv: holds no rows of data"},
      {std::string("\xFF\xFE" "d\0a\0", 6), "t.csv: is UTF-16 text"},
      {"1985-01-01;1\n", "t.csv:1: column 3 is missing (the line has 2)"},
      {"date;P;Q\n1985-01-01;1\n", "t.csv:2: column 3 (Q) is missing (the line has 2)"},
  };
  for (const auto& c : cases) {
    const auto r = ImportTable(c.Table, Dated());
    EXPECT_TRUE(Says(r, c.Says)) << r.Error;
  }
  auto o = Dated();
  o.TimeColumn.Number = 1;
  EXPECT_TRUE(Says(ImportTable("1;1;1\n", o), "one of a time column, a date column"));
  o = Dated();
  o.RunoffColumn = {};
  EXPECT_TRUE(Says(ImportTable("1;1;1\n", o), "a runoff column is needed"));
}

TEST(TableImport, QuotedCellsKeepTheirDelimiters) {
  auto o = Dated();
  o.RainColumn = TableColumnOf("Rain, mm");
  o.RunoffColumn = TableColumnOf("q \"OBS\"");
  const auto r = ImportTable("date,note,\"Rain, mm\",\"Q \"\"obs\"\"\"\n"
                             "1985-01-01,\"a, b; c\",1.5,\"2\"\n"
                             "1985-01-02,\"\",\"0\",3\n",
                             o);
  ASSERT_TRUE(r.Ok()) << r.Error;
  EXPECT_EQ(r.Names, (std::vector<std::string>{"date", "note", "Rain, mm", "Q \"obs\""}));
  EXPECT_EQ(r.Rains, (std::vector<double>{1.5, 0}));
  EXPECT_EQ(r.Runoffs, (std::vector<double>{2, 3}));
}

TEST(TableImport, PreviewShowsTheFirstRowsAsSplit) {
  auto o = Dated();
  o.RainColumn.Name = "P";
  const auto p = PreviewTable("Datum;P;Q\n01.01.1985;1,5;2\n\n02.01.1985;0;\n03.01.1985;0;2\n", o, 2);
  EXPECT_TRUE(p.Error.empty()) << p.Error;
  EXPECT_EQ(p.Delimiter, TTableDelimiter::Semicolon);
  EXPECT_EQ(p.HeaderLine, 1);
  EXPECT_EQ(p.Names, (std::vector<std::string>{"Datum", "P", "Q"}));
  EXPECT_EQ(p.Lines, (std::vector<int>{2, 4}));
  EXPECT_EQ(p.Cells[1], (std::vector<std::string>{"02.01.1985", "0", ""}));
  EXPECT_EQ(p.LineCount, 5);
}

TEST(TableImport, AnyBytesAreReadOrRefusedInWords) {
  // Pieces of tables in random order: whatever comes out is either points
  // or a message, never both, never a crash.
  const std::string pieces[] = {"1985-01-01", "31.12.1985 24:00", ";", ",", "\t", "\"", "\"\"",
                                "\r", "\n", "\r\n", "NA", "", "-999", "1,5", "2.5", "x",
                                "\xEF\xBB\xBF", "\x1A", std::string(1, '\0'),
                                "9999999999999999999999", "1e400", " ", "P", "1972"};
  std::mt19937 random(18);
  for (int round = 0; round < 3000; ++round) {
    std::string table;
    const int n = static_cast<int>(random() % 40);
    for (int i = 0; i < n; ++i) table += pieces[random() % std::size(pieces)];
    auto o = round % 3 == 0 ? Dated() : ByRow(1 + round % 2, 2 + round % 3);
    if (round % 5 == 0) {
      o.DateColumn = {};
      o.DateColumns = {TableColumnOf("1"), TableColumnOf("2"), TableColumnOf("3")};
    }
    o.MaxGap = round % 4;
    const auto r = ImportTable(table, o);
    if (r.Ok()) {
      EXPECT_FALSE(r.Times.empty());
      EXPECT_EQ(r.Times.size(), r.Rains.size());
      EXPECT_EQ(r.Times.size(), r.Runoffs.size());
    } else {
      EXPECT_TRUE(r.Times.empty());
      EXPECT_EQ(r.Error.rfind("t.csv", 0), 0u) << r.Error;
    }
    PreviewTable(table, o, 5);
  }
}

}  // namespace
