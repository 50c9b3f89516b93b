#include "files/csvtable.h"

#include <algorithm>
#include <cmath>
#include <span>
#include <vector>

#include "base/numformat.h"
#include "files/outputlayout.h"

namespace {

std::string WithSeparator(std::string text, char decimalSeparator) {
  std::replace(text.begin(), text.end(), '.', decimalSeparator);
  return text;
}

std::string Full(double value, TCsvStyle style) {
  return WithSeparator(FullPrecision(value), style.DecimalSeparator);
}

std::string Printed(double value, TCsvStyle style) {
  // A small negative value prints as -0.00 and reads back as a negative
  // zero, which must keep its sign to give the same text again.
  const std::string text = FormatFixed(value, 0, 2, style.DecimalSeparator);
  return value == 0 && std::signbit(value) && text[0] != '-' ? "-" + text : text;
}

void AppendRow(std::string& out, int serial, const std::vector<std::string>& values,
               TCsvStyle style) {
  std::string line = std::to_string(serial);
  for (const auto& value : values) {
    line += style.CellSeparator;
    line += value;
  }
  AppendLine(out, line);
}

// The columns after the serial, as the run hands them to the output file.
std::string RunTable(TResultsVariant variant, std::span<const int> serial,
                     const std::vector<std::span<const double>>& columns, TCsvStyle style) {
  std::string out = CsvHeader(variant, style);
  for (std::size_t i = 0; i < serial.size(); ++i) {
    std::vector<std::string> values;
    for (const auto& column : columns) values.push_back(Full(column[i], style));
    AppendRow(out, serial[i], values, style);
  }
  return out;
}

}  // namespace

std::string CsvHeader(TResultsVariant variant, TCsvStyle style) {
  const std::vector<std::string> names =
      variant == TResultsVariant::Reconstruction
          ? std::vector<std::string>{"serial", "time", "rain", "recharge", "runoff_measured",
                                     "runoff_calculated"}
          : std::vector<std::string>{"serial", "time", "rain", "recharge", "runoff"};
  std::string line = names.front();
  for (std::size_t i = 1; i < names.size(); ++i) line += style.CellSeparator + names[i];
  std::string out;
  AppendLine(out, line);
  return out;
}

std::string ReconstructionCsv(const TReconstructionResults& r, TCsvStyle style) {
  return RunTable(TResultsVariant::Reconstruction, r.Serial,
                  {r.Time, r.Rain, r.Rech, r.RunMeas, r.RunCalc}, style);
}

std::string PredictionCsv(const TPredictionResults& r, TCsvStyle style) {
  return RunTable(TResultsVariant::Prediction, r.Serial, {r.Time, r.Rain, r.Rech, r.RunCalc},
                  style);
}

std::optional<std::string> OutputFileCsv(const std::string& content, const std::string& path,
                                         TCsvStyle style, std::string& error) {
  TResultsVariant variant = TResultsVariant::Reconstruction;
  TResultsTable table = ReadResultsTable(content, variant, false);
  if (!table.SectionFound) {
    variant = TResultsVariant::Prediction;
    table = ReadResultsTable(content, variant, false);
  }
  const std::string file = "The file \"" + path + "\" ";
  if (!table.SectionFound) {
    error = file + "holds no table of results: it has no line \"" +
            OutputLayout::ReconstructionSection + "\" or \"" + OutputLayout::PredictionSection +
            "\".";
    return std::nullopt;
  }
  if (table.BadNumber) {
    error = file + "holds a value that is no number in row " +
            std::to_string(table.Rows.size() + 1) + " of its table.";
    return std::nullopt;
  }
  if (table.Rows.empty()) {
    error = file + "holds no data points.";
    return std::nullopt;
  }
  const auto count = static_cast<std::size_t>(variant == TResultsVariant::Reconstruction
                                                  ? OutputLayout::ReconstructionValues
                                                  : OutputLayout::PredictionValues);
  std::string out = CsvHeader(variant, style);
  for (const TResultsRow& row : table.Rows) {
    std::vector<std::string> values;
    for (std::size_t v = 0; v < count; ++v) values.push_back(Printed(row.Values[v], style));
    AppendRow(out, row.Serial, values, style);
  }
  return out;
}
