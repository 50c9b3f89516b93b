// Tables for spreadsheets: the cells, both conventions, full precision of a
// run and the printed values of an output file.
#include <gtest/gtest.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "files/csvtable.h"
#include "support/test_support.h"

namespace {

// The cells of a CSV line.
std::vector<std::string> Cells(const std::string& line, char separator) {
  std::vector<std::string> cells(1);
  for (char c : line) {
    if (c == separator)
      cells.emplace_back();
    else
      cells.back() += c;
  }
  return cells;
}

double ReadBack(std::string text, char decimalSeparator) {
  for (char& c : text)
    if (c == decimalSeparator) c = '.';
  double value = std::nan("");
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  EXPECT_EQ(result.ptr, text.data() + text.size()) << text;
  return value;
}

// Values that two decimals or fifteen digits would lose.
const std::vector<double> Awkward = {0.1 + 0.2, 1.0 / 3, 0.004, 1e-5, 2.5e-300,
                                     std::numeric_limits<double>::denorm_min(), 12345.678901234567,
                                     -0.001, 0, 1e22};

struct TStyleCase {
  const char* Name;
  TCsvStyle Style;
};

class CsvOfARun : public ::testing::TestWithParam<TStyleCase> {};

TEST_P(CsvOfARun, ReadsBackToEveryValue) {
  const TCsvStyle style = GetParam().Style;
  const std::size_t n = Awkward.size();
  std::vector<int> serial(n);
  std::vector<double> time(n), rain(n), rech(n), meas(n), calc(n);
  for (std::size_t i = 0; i < n; ++i) {
    serial[i] = static_cast<int>(i) + 7;
    time[i] = 0.5 * static_cast<double>(i);
    rain[i] = Awkward[i];
    rech[i] = Awkward[(i + 1) % n];
    meas[i] = Awkward[(i + 2) % n];
    calc[i] = Awkward[(i + 3) % n];
  }
  TReconstructionResults r;
  r.Serial = serial;
  r.Time = time;
  r.Rain = rain;
  r.Rech = rech;
  r.RunMeas = meas;
  r.RunCalc = calc;
  TPredictionResults p;
  p.Serial = serial;
  p.Time = time;
  p.Rain = rain;
  p.Rech = rech;
  p.RunCalc = calc;

  for (bool reconstruction : {true, false}) {
    const std::string csv = reconstruction ? ReconstructionCsv(r, style) : PredictionCsv(p, style);
    ASSERT_EQ(csv.substr(csv.size() - 2), "\r\n");
    const auto lines = SplitCrLfLines(csv);
    ASSERT_EQ(lines.size(), n + 1);
    const std::vector<std::string> header =
        reconstruction ? std::vector<std::string>{"serial", "time", "rain", "recharge",
                                                  "runoff_measured", "runoff_calculated"}
                       : std::vector<std::string>{"serial", "time", "rain", "recharge", "runoff"};
    EXPECT_EQ(Cells(lines[0], style.CellSeparator), header);
    for (std::size_t i = 0; i < n; ++i) {
      const auto cells = Cells(lines[i + 1], style.CellSeparator);
      ASSERT_EQ(cells.size(), reconstruction ? 6u : 5u) << lines[i + 1];
      EXPECT_EQ(cells[0], std::to_string(serial[i]));
      const std::vector<double> expected =
          reconstruction ? std::vector<double>{time[i], rain[i], rech[i], meas[i], calc[i]}
                         : std::vector<double>{time[i], rain[i], rech[i], calc[i]};
      for (std::size_t v = 0; v < expected.size(); ++v) {
        // The other convention's decimal separator never appears.
        EXPECT_EQ(cells[v + 1].find(style.DecimalSeparator == ',' ? '.' : ','), std::string::npos)
            << cells[v + 1];
        EXPECT_EQ(ReadBack(cells[v + 1], style.DecimalSeparator), expected[v]) << lines[i + 1];
      }
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Styles, CsvOfARun,
                         ::testing::Values(TStyleCase{"Point", CsvPointStyle},
                                           TStyleCase{"European", CsvEuropeanStyle}),
                         CaseName);

TEST(CsvStyle, FollowsTheSystemsDecimalSeparator) {
  EXPECT_EQ(CsvStyleFor(',').CellSeparator, ';');
  EXPECT_EQ(CsvStyleFor(',').DecimalSeparator, ',');
  EXPECT_EQ(CsvStyleFor('.').CellSeparator, ',');
  EXPECT_EQ(CsvStyleFor('.').DecimalSeparator, '.');
}

// An output file as the writers make it, of the variant.
std::string OutputText(bool reconstruction, const std::vector<double>& values) {
  const std::size_t n = values.size();
  std::vector<int> serial(n);
  std::vector<TSerialText> text(n);
  std::vector<double> time(n), other(n);
  for (std::size_t i = 0; i < n; ++i) {
    serial[i] = static_cast<int>(i) + 1;
    const std::string digits = std::to_string(serial[i]);
    std::copy(digits.begin(), digits.end(), text[i]);
    text[i][digits.size()] = 0;
    time[i] = static_cast<double>(i) + 1;
    other[i] = 0.25 * static_cast<double>(i);
  }
  if (reconstruction) {
    TReconstructionResults r;
    r.Title1 = "PREDICTION runoff: a title that looks like the other section";
    r.Serial = serial;
    r.SerialText = text;
    r.Time = time;
    r.Rain = values;
    r.Rech = other;
    r.RunMeas = values;
    r.RunCalc = other;
    return FormatReconstructionResults(r);
  }
  TPredictionResults p;
  p.Title1 = "RECONSTRUCTION: a title that looks like the other section";
  p.Serial = serial;
  p.Time = time;
  p.Rain = values;
  p.Rech = other;
  p.RunCalc = values;
  return FormatPredictionResults(p);
}

TEST(CsvOfAnOutputFile, HoldsThePrintedValues) {
  // -0.001 prints as -0.00, 0.125 is a tie that goes up.
  const std::vector<double> values = {1.456, 0.004, 12345.678, -0.001, 0.125};
  struct TCase {
    bool Reconstruction;
    TCsvStyle Style;
    std::vector<std::string> Lines;
  };
  const TCase cases[] = {
      {true, CsvPointStyle,
       {"serial,time,rain,recharge,runoff_measured,runoff_calculated",
        "1,1.00,1.46,0.00,1.46,0.00", "2,2.00,0.00,0.25,0.00,0.25",
        "3,3.00,12345.68,0.50,12345.68,0.50", "4,4.00,-0.00,0.75,-0.00,0.75",
        "5,5.00,0.13,1.00,0.13,1.00"}},
      {false, CsvEuropeanStyle,
       {"serial;time;rain;recharge;runoff", "1;1,00;1,46;0,00;1,46", "2;2,00;0,00;0,25;0,00",
        "3;3,00;12345,68;0,50;12345,68", "4;4,00;-0,00;0,75;-0,00", "5;5,00;0,13;1,00;0,13"}},
  };
  for (const auto& c : cases) {
    std::string error;
    const std::string content = OutputText(c.Reconstruction, values);
    const auto csv = OutputFileCsv(content, "x.out", c.Style, error);
    ASSERT_TRUE(csv) << error;
    EXPECT_EQ(SplitCrLfLines(*csv), c.Lines);
    EXPECT_EQ(csv->substr(csv->size() - 2), "\r\n");
    // Cell for cell the text of the file's own table line.
    const auto fileLines = SplitCrLfLines(content);
    const std::size_t first = c.Reconstruction ? 18 : 17;
    for (std::size_t i = 0; i < values.size(); ++i) {
      std::string printed = fileLines[first + i];
      for (char& ch : printed)
        if (ch == '.') ch = c.Style.DecimalSeparator;
      std::vector<std::string> tokens;
      for (std::size_t at = 0; (at = printed.find_first_not_of(' ', at)) != std::string::npos;) {
        const std::size_t end = printed.find(' ', at);
        tokens.push_back(printed.substr(at, end - at));
        at = end;
      }
      EXPECT_EQ(Cells(c.Lines[i + 1], c.Style.CellSeparator), tokens);
    }
  }
}

TEST(CsvOfAnOutputFile, RefusesWhatHoldsNoTable) {
  const std::string good = OutputText(true, {1, 2, 3});
  std::string badNumber = good;
  badNumber.replace(badNumber.find("2.00      0.25"), 4, "2.x0");
  const std::string headOnly = good.substr(0, good.find(" 1        1.00"));
  struct TCase {
    const char* Name;
    std::string Content;
    const char* Says;
  };
  const TCase cases[] = {
      {"InputFile", " x\r\n Ana\r\n", "holds no table of results: it has no line "
                                      "\"RECONSTRUCTION:\" or \"PREDICTION runoff:\"."},
      {"BadNumber", badNumber, "holds a value that is no number in row 2 of its table."},
      {"HeadOnly", headOnly, "holds no data points."},
  };
  for (const auto& c : cases) {
    std::string error;
    EXPECT_FALSE(OutputFileCsv(c.Content, "/d/x.out", CsvPointStyle, error)) << c.Name;
    EXPECT_EQ(error, std::string("The file \"/d/x.out\" ") + c.Says) << c.Name;
  }
}

}  // namespace
