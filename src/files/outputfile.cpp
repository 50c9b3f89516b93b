#include "files/outputfile.h"

#include "base/numformat.h"
#include "files/outputlayout.h"

namespace {

namespace L = OutputLayout;

// Lines 1 to 6 of both variants.
std::string Head(const std::string& title1, const std::string& title2, const std::string& input) {
  std::string out;
  AppendLine(out, L::FirstLine);
  AppendLine(out, "");
  AppendLine(out, title1);
  AppendLine(out, title2);
  AppendLine(out, L::InputNameLabel + input);
  AppendLine(out, "");
  return out;
}

template <std::size_t N>
void AppendLines(std::string& out, const std::array<std::string, N>& lines) {
  for (const auto& line : lines) AppendLine(out, line);
}

std::string Fixed10(double value) { return FormatFixed(value, 10, 2); }

}  // namespace

std::string FormatReconstructionResults(const TReconstructionResults& r) {
  std::string out = Head(r.Title1, r.Title2, r.InputPath);
  AppendLine(out, "Maximum dead storage:  " + FormatFixed(r.Store.MaxSto, 6, 2) + " mm");
  AppendLine(out, "Initial dead storage:  " + FormatFixed(r.Store.IniSto, 6, 2) + " mm");
  AppendLine(out, "Max. escape/time unit: " + FormatFixed(r.Store.MaxEsc, 6, 2) + " ");
  AppendLine(out, "Number of reservoirs:  " + FormatInt(r.NrOfRes, 3) + " ");
  AppendLine(out, "Alpha coefficient:     " + FormatFixed(r.Alpha, 7, 3) + " ");
  AppendLine(out, "");
  AppendLine(out, L::ReconstructionSection);
  AppendLines(out, L::ReconstructionHead);
  for (std::size_t i = 0; i < r.Time.size(); ++i) {
    const int serial = r.Serial[i];
    const char* pad = serial < 10 ? "  " : serial < 100 ? " " : "";
    AppendLine(out, " " + std::string(r.SerialText[i]) + pad + Fixed10(r.Time[i]) +
                        Fixed10(r.Rain[i]) + Fixed10(r.Rech[i]) + Fixed10(r.RunMeas[i]) +
                        Fixed10(r.RunCalc[i]));
  }
  AppendLine(out, L::ReconstructionRule);
  AppendLine(out, L::SdLabel + FormatFixed(r.StandardDeviation, 8, 3));
  AppendLine(out, L::RSquareLabel + FormatFixed(r.RSquare, 8, 2));
  return out;
}

std::string FormatPredictionResults(const TPredictionResults& r) {
  std::string out = Head(r.Title1, r.Title2, r.InputPath);
  AppendLine(out, "Maximum dead storage:   " + FormatFixed(r.Store.MaxSto, 6, 2) + " mm");
  AppendLine(out, "Initial dead storage:   " + FormatFixed(r.Store.IniSto, 6, 2) + " mm");
  AppendLine(out, "Max. escape/time unit:  " + FormatFixed(r.Store.MaxEsc, 6, 2) + " " + r.RateUnit);
  AppendLine(out, "Number of reservoirs:   " + FormatInt(r.NrOfRes, 3) + " ");
  AppendLine(out, "Alpha coefficient:      " + FormatFixed(r.Alpha, 7, 3) + " ");
  AppendLine(out, "");
  AppendLine(out, L::PredictionSection);
  AppendLines(out, L::PredictionHead);
  for (std::size_t i = 0; i < r.Time.size(); ++i) {
    const int serial = r.Serial[i];
    const char* pad = serial < 10 ? "   " : serial < 100 ? "  " : " ";
    AppendLine(out, pad + std::to_string(serial) + Fixed10(r.Time[i]) + Fixed10(r.Rain[i]) +
                        Fixed10(r.Rech[i]) + Fixed10(r.RunCalc[i]));
  }
  AppendLine(out, L::PredictionRule);
  return out;
}
