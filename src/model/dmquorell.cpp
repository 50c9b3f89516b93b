#include "model/dmquorell.h"

#include <filesystem>
#include <system_error>

TAnalysisWorkspace AnalysisWorkspace;
TPredictionWorkspace PredictionWorkspace;
TDMQuorell* DMQuorell = nullptr;

TDMQuorell::TDMQuorell() {
  std::error_code ec;
  FileName = std::filesystem::current_path(ec).string();
}

void TDMQuorell::ShowMessage(const std::string& text) {
  if (Dialogs) Dialogs->ShowMessage(text);
}

bool TDMQuorell::AskYesNo(const std::string& text) {
  return Dialogs ? Dialogs->AskYesNo(text) : false;
}

void TDMQuorell::ReportProgramError(const std::string& text) {
  if (Dialogs) Dialogs->ShowProgramError("A program error occurred." + text);
}

bool TDMQuorell::RunModel(bool analysis) {
  if (analysis) {
    DetermineModel();
  } else {
    AnalysisWorkspace.StorageOk = true;
    PredictRunoff();
  }
  return RunSucceeded(analysis);
}

bool TDMQuorell::RunSucceeded(bool analysis) const {
  if (RunFailed || !AnalysisWorkspace.StorageOk) return false;
  if (analysis) return !AnalysisWorkspace.AnaTimeError;
  return !PredictionWorkspace.PredTimeError && !PredictionWorkspace.PredNoVariation;
}

std::string TDMQuorell::OpenFailureText() const {
  return "The file \"" + FileName + "\"could not be opened. It may be " +
         "damaged or in use by another program.";
}

std::string TDMQuorell::CorruptDataText() const {
  return "Real numbers in the inputfile \"" + FileName + "\" are corrupt";
}
