#include "model/validation.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <tuple>

#include "base/errors.h"
#include "base/numformat.h"
#include "base/numparse.h"
#include "files/filepaths.h"
#include "files/inputfile.h"
#include "files/inputlayout.h"
#include "files/modelfile.h"
#include "files/outputlayout.h"
#include "files/outputreader.h"
#include "files/textreader.h"
#include "model/dmquorell.h"
#include "model/engine.h"
#include "model/routing.h"
#include "model/runwarnings.h"
#include "model/search.h"

TFittedModel FittedModelOf(const TAnalysisWorkspace& ws) {
  return {ws.Store(), ws.NrOfRes, ws.Alpha};
}

std::string CheckWarmUp(int warmUp, int points) {
  if (warmUp < 0) return "The warm-up must be 0 points or more";
  if (points < 2)
    return "The record holds " + std::to_string(points) + (points == 1 ? " point" : " points") +
           "; the criteria need at least 2";
  const int left = warmUp >= points ? 0 : points - warmUp;
  if (left >= 2) return "";
  return "The warm-up of " + std::to_string(warmUp) + " points leaves " + std::to_string(left) +
         " of the " + std::to_string(points) +
         " points to judge the fit by; the criteria need at least 2";
}

std::string CheckValidationRecord(const TValidationRecord& record, int warmUp) {
  const std::size_t n = std::min({record.Times.size(), record.Rains.size(), record.Runoffs.size()});
  if (std::string why = CheckWarmUp(warmUp, static_cast<int>(std::min<std::size_t>(n, INT_MAX)));
      !why.empty())
    return why;
  const auto times = record.Times.first(n);
  // Of the runoff as the run takes it, below MinRunoff raised.
  double low = HUGE_VAL, high = -HUGE_VAL;
  for (double q : record.Runoffs.first(n)) {
    low = std::min(low, std::max(q, MinRunoff));
    high = std::max(high, std::max(q, MinRunoff));
  }
  if (high - low < MinVariation)
    return "There is no variation in runoff values. The validation cannot be made";
  const auto [first, last] = std::minmax_element(times.begin(), times.end());
  if (*last - *first < MinVariation)
    return "There is no variation in time. The validation cannot be made";
  // The determination allows a step of 0, not one back.
  for (std::size_t i = 1; i < n; ++i)
    if (times[i] - times[i - 1] < 0)
      return "Incorrect time sequence encountered: the time " + FormatGeneral(times[i], '.') +
             " of point " + std::to_string(i + 1) + " comes before " +
             FormatGeneral(times[i - 1], '.') + ". Please correct the input data";
  return "";
}

TValidation Validate(const TFittedModel& model, const TValidationRecord& record, int warmUp) {
  TValidation v;
  if (model.NrOfRes < 1 || model.NrOfRes > MaxReservoirs) {
    v.Error = "The number of reservoirs is " + std::to_string(model.NrOfRes) + "; it must be 1 to 5";
    return v;
  }
  if (!(model.Alpha > 0 && std::isfinite(model.Alpha))) {
    v.Error = "The reaction factor alpha is " + FormatGeneral(model.Alpha, '.') +
              "; it must be a number above 0";
    return v;
  }
  v.Error = CheckValidationRecord(record, warmUp);
  if (!v.Ok()) return v;
  v.WarmUp = warmUp;
  const std::size_t n = std::min({record.Times.size(), record.Rains.size(), record.Runoffs.size()});
  v.Error = ExtensionsFault(model.Extensions, record.Pets, n);
  if (!v.Ok()) return v;

  // The determination's run, less its search.
  TRunSettings settings;
  settings.WarmUp = warmUp;
  settings.Extensions = model.Extensions;
  settings.Pet = record.Pets;
  TRun run = ReconstructRun({record.Times, record.Rains, record.Runoffs}, model.Store,
                            model.NrOfRes, model.Alpha, settings);
  if (run.Stop == TRunStop::NoStorage) {
    v.Error = "The Maximum Storage must be > 0";
    return v;
  }
  v.Store = run.Store;
  v.Delta = run.Delta;
  v.Recharge = std::move(run.Recharge);
  v.Measured = std::move(run.Measured);
  v.Calculated = std::move(run.Calculated);
  v.Quick = std::move(run.Quick);
  v.Slow = std::move(run.Slow);
  v.Fit = run.Fit;
  v.Warnings = std::move(run.Warnings);
  return v;
}

double DeterminationAlpha(double printed) {
  const std::string text = FormatFixed(printed, 0, 3);
  if (ParseReal(text) != printed) return printed;  // more decimals than a head prints
  const auto& candidates = AlphaCandidateTable();
  const double k = std::round(printed / candidates[1]);
  if (!(k >= 1 && k <= AlphaCandidates)) return printed;
  const double candidate = candidates[static_cast<int>(k)];
  return FormatFixed(candidate, 0, 3) == text ? candidate : printed;
}

namespace {

// The messages of a determination run for its fit alone.
class TCollectedMessages : public TUserDialogs {
public:
  void ShowMessage(const std::string& text) override { Add(text); }
  bool AskYesNo(const std::string& text) override {
    Add(text);
    return false;
  }
  void ShowProgramError(const std::string& text) override { Add(text); }
  std::string Text;

private:
  void Add(const std::string& text) { Text += (Text.empty() ? "" : "; ") + text; }
};

std::string SecondLineTag(const std::string& bytes) {
  const auto end = bytes.find('\n');
  return end == std::string::npos ? "" : bytes.substr(end + 1, 4);
}

bool IsOutputFile(const std::string& bytes) {
  return bytes.starts_with(OutputLayout::FirstLine);
}

// The head prints the store with two decimals, the input file holds three
// below 1: when the input file the head names is still there and differs
// only by that rounding, the user is told.
void NoteRoundedParameters(const std::string& path, const std::string& bytes,
                           const TStoreParameters& head, std::vector<std::string>& notes) {
  TTextReader reader(bytes);
  for (int line = 1; line < OutputLayout::TitleLine1 + 2; ++line) reader.SkipLine();
  const std::string named = reader.ReadLine();
  const std::string label = OutputLayout::InputNameLabel;
  if (!named.starts_with(label)) return;
  const std::string inputPath = named.substr(label.size());
  const auto input = ReadWholeFile(inputPath);
  if (!input || !IsInputFile(*input) || !HoldsDetermination(*input)) return;
  TStoreParameters held;
  try {
    held = ReadDeterminationInput(*input, 0).Store;
  } catch (const TInOutError&) {
    return;
  }
  if (held.IniSto == 0) held.IniSto = 0.1 * held.MaxSto;
  const std::tuple<double, double, const char*> values[] = {
      {head.MaxSto, held.MaxSto, "maximum storage"},
      {head.IniSto, held.IniSto, "initial storage"},
      {head.MaxEsc, held.MaxEsc, "escape rate"}};
  for (const auto& [shown, exact, name] : values)
    if (shown != exact && FormatFixed(shown, 0, 2) == FormatFixed(exact, 0, 2))
      notes.push_back(path + ": the head holds the " + name + " " + FormatFixed(shown, 0, 2) +
                      " with two decimals; its input file " + inputPath + " holds " +
                      FormatGeneral(exact, '.') + " (give that file for the model as fitted)");
}

void FittedFromOutputFile(const std::string& path, const std::string& bytes,
                          TFittedFile& fitted) {
  if (ReadResultsHeadText(bytes).Tag !=
      OutputLayout::SectionTag(OutputLayout::ReconstructionSection)) {
    fitted.Error = path + ": is the output file of a prediction; validate takes a model "
                          "determination (its input file or its output file)";
    return;
  }
  TResultsParameters head;
  try {
    head = ReadResultsParameters(bytes);
  } catch (const TInOutError& e) {
    fitted.Error = path + ": " + e.what() + " in the parameters of its head";
    return;
  }
  fitted.OutputFile = true;
  fitted.Model = {head.Store, head.NrOfRes, DeterminationAlpha(head.Alpha)};
  NoteRoundedParameters(path, bytes, head.Store, fitted.Notes);
}

void FittedFromInputFile(const std::string& path, TFittedFile& fitted) {
  TCollectedMessages messages;
  TDMQuorell dm;
  dm.SetDialogs(&messages);
  dm.FileName = path;
  bool fitFound = false;
  TStoreParameters store;
  try {
    if (dm.PrepareDetermination()) {
      // As the file holds it, before the run raises an initial storage of 0.
      store = dm.Analysis().Store();
      fitFound = dm.FitCascade();
    }
  } catch (const TInOutError& e) {
    messages.ShowMessage(e.what());
  }
  if (!fitFound) {
    fitted.Error = path + ": its model determination cannot be made: " + messages.Text;
    return;
  }
  fitted.Model = FittedModelOf(dm.Analysis());
  fitted.Model.Store = store;
}

}  // namespace

bool IsInputFile(const std::string& bytes) {
  const std::string tag = SecondLineTag(bytes);
  return tag == " Ana" || tag == " Pre";
}

TFittedFile ReadFittedModel(const std::string& path) {
  TFittedFile fitted;
  auto bytes = ReadWholeFile(path);
  if (!bytes) {
    fitted.CannotOpen = true;
    fitted.Error = path + ": cannot be opened";
  } else if (IsOutputFile(*bytes)) {
    FittedFromOutputFile(path, *bytes, fitted);
  } else if (LooksLikeModelFile(*bytes)) {
    const TModelFileRead read = ReadModelFile(*bytes);
    if (!read.Error.empty()) {
      fitted.Error = path + ": " + read.Error;
    } else {
      fitted.ModelFile = true;
      fitted.Model = {read.Model.Store, read.Model.Reservoirs, read.Model.Alpha,
                      read.Model.Extensions};
      fitted.PetColumn = read.Model.Pet;
    }
  } else if (!IsInputFile(*bytes)) {
    fitted.Error = path + ": is neither an input file, an output file nor a model file of Tolvane";
  } else if (!HoldsDetermination(*bytes)) {
    fitted.Error = path + ": is the input file of a prediction; validate takes a model "
                          "determination (its input file or its output file)";
  } else {
    FittedFromInputFile(path, fitted);
  }
  return fitted;
}

TRecordFile ReadRecordFile(const std::string& path) {
  TRecordFile file;
  auto bytes = ReadWholeFile(path);
  if (!bytes) {
    file.CannotOpen = true;
    file.Error = path + ": cannot be opened";
    return file;
  }
  if (IsOutputFile(*bytes) || !IsInputFile(*bytes)) {
    file.Error = path + ": is no input file of Tolvane; give a determination's input file, or a "
                        "table with --rain-column and --runoff-column as import reads it";
    return file;
  }
  if (!HoldsDetermination(*bytes)) {
    file.Error = path + ": is the input file of a prediction; it holds no measured runoff to "
                        "judge the fit by";
    return file;
  }
  TRunInput run;
  try {
    run = ReadDeterminationInput(std::move(*bytes), ValidationCapacity);
  } catch (const TInOutError& e) {
    file.Error = path + ": " + e.what();
    return file;
  }
  if (run.Stop == TRunInput::TStop::TooMany) {
    file.Error = path + ": holds more than " + std::to_string(ValidationCapacity) +
                 " data lines; validate takes at most " + std::to_string(ValidationCapacity) +
                 " points";
    return file;
  }
  if (run.Stop == TRunInput::TStop::Corrupt) {
    file.Error = "Real numbers in the inputfile \"" + path + "\" are corrupt";
    return file;
  }
  file.Title1 = run.Title1;
  file.Title2 = run.Title2;
  for (const TInputPoint& point : run.Points) {
    file.Times.push_back(point.Time);
    file.Rains.push_back(point.Rain);
    file.Runoffs.push_back(point.Runoff);
  }
  return file;
}
