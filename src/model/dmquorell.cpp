#include "model/dmquorell.h"

#include <filesystem>
#include <system_error>

TAnalysisWorkspace AnalysisWorkspace;
TPredictionWorkspace PredictionWorkspace;
TDMQuorell* DMQuorell = nullptr;

namespace {

std::string CurrentFolder() {
  std::error_code ec;
  return std::filesystem::current_path(ec).string();
}

}  // namespace

TDMQuorell::TDMQuorell()
    : Own(std::make_unique<TModelWorkspaces>()), Ana(&Own->Analysis), Pred(&Own->Prediction) {
  FileName = CurrentFolder();
}

TDMQuorell::TDMQuorell(TModuleWorkspaces) : Ana(&AnalysisWorkspace), Pred(&PredictionWorkspace) {
  FileName = CurrentFolder();
}

TDMQuorell::~TDMQuorell() = default;

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
    Analysis().StorageOk = true;
    PredictRunoff();
  }
  return RunSucceeded(analysis);
}

bool TDMQuorell::RunSucceeded(bool analysis) const {
  if (RunFailed || !Analysis().StorageOk) return false;
  if (analysis) return !Analysis().AnaTimeError;
  return !Prediction().PredTimeError && !Prediction().PredNoVariation;
}

std::string TDMQuorell::OpenFailureText() const {
  return "The file \"" + FileName + "\"could not be opened. It may be " +
         "damaged or in use by another program.";
}

std::string TDMQuorell::CorruptDataText() const {
  return "Real numbers in the inputfile \"" + FileName + "\" are corrupt";
}
