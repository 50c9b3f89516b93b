// The calibration window's entries in the main window: "Calibrate ..." on
// the Input tab and in the Tools menu, the sheet's parameters taken back
// from it, and the criteria of a run on the Output tab.
#include <QMenuBar>

#include <cmath>

#include "base/numformat.h"
#include "graphs/quorellutils.h"
#include "model/dmquorell.h"
#include "model/livefit.h"
#include "ui/criteriatext.h"
#include "sheet/sheetseries.h"
#include "ui/calibrationform.h"
#include "ui/rainform.h"
#include "ui/texts.h"

namespace {

void Message(const QString& text) { Prompts().ShowMessage(text); }

// The imported evaporation of every point of record, found by its time; none
// when any point has none (the sheet was edited since, or another file read).
TSheetPet PetOf(const std::vector<double>& times, const std::vector<double>& values,
                const std::string& column, const TRunInput& record) {
  if (times.empty()) return {};
  TSheetPet pet;
  pet.Column = column;
  std::size_t k = 0;
  for (const TInputPoint& point : record.Points) {
    // The times are ascending in both; the record's were rounded as the
    // input file holds them.
    const double tolerance = 1e-6 * std::max(1.0, std::abs(point.Time));
    while (k < times.size() && times[k] < point.Time - tolerance) ++k;
    if (k == times.size() || std::abs(times[k] - point.Time) > tolerance) return {};
    pet.Values.push_back(values[k]);
  }
  return pet;
}

}  // namespace

void TRainForm::CreateCalibration() {
  CalibrateAction = MakeAction("CalibrateAction", "&Calibrate ...", &TRainForm::CalibrateActionExecute);
  CalibrateAction->setStatusTip("Fits the first reservoir to the measured runoff, by hand or automatically");
  ToolsMenu = menuBar()->addMenu("&Tools");
  ToolsMenu->setObjectName("ToolsMenu");
  ToolsMenu->addAction(CalibrateAction);

  // Below the space the reservoir characteristics take under the
  // prediction, left of the picture: no designed control moves.
  CalibrateButton = MakeButton(InputTabSheet, "CalibrateButton", "Calibrate ...", 376, 448, 113, 25);
  BindButton(CalibrateButton, CalibrateAction);
  setTabOrder(InputOpenButton, CalibrateButton);

  // Two lines: every criterion but R square does not fit on one beside
  // the designed buttons.
  RunCriteriaLabel = Place(new QLabel(OutputTabSheet), 8, 479, 440, 34);
  RunCriteriaLabel->setObjectName("RunCriteriaLabel");
  RunCriteriaLabel->setWordWrap(true);
  RunCriteriaLabel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  MakeFigure(RunCriteriaLabel, "Criteria of the run");
}

void TRainForm::CalibrateActionExecute() {
  auto& dm = *DMQuorell;
  CommitFields();
  if (!dm.IsAnalysis) {
    Message("The calibration fits a model determination to measured runoff: choose the option "
            "\"Determine model from rainfall and runoff data and reconstruct runoff\" first");
    return;
  }
  if (!FDataEntered) {
    Message("The sheet holds no data yet: enter or open the rainfall and runoff of a "
            "determination, then calibrate");
    return;
  }
  // The sheet gathered as Save/Run gathers it, into a data module of its
  // own: the sheet and the program's model state stay as they are.
  TDMQuorell sheet;
  sheet.IsAnalysis = true;
  sheet.RunTag = dm.RunTag;
  sheet.Title1 = Title1Edit->text().toStdString();
  sheet.Title2 = Title2Edit->text().toStdString();
  sheet.FileName = dm.FileName;
  sheet.MaxSto = dm.MaxSto;
  sheet.IniSto = dm.IniSto;
  sheet.MaxEsc = dm.MaxEsc;
  sheet.RunIni = dm.RunIni;
  const int n = dm.NrOfData;
  sheet.NrOfData = n;
  if (!GatherForSave(sheet, n)) return;
  const auto record = StoredDetermination(sheet);
  if (!record) {
    dm.ReportProgramError(dm.CorruptDataText());
    return;
  }
  // One window at a time, of the sheet as it is now.
  if (CalibrationWindow) CalibrationWindow->close();
  CalibrationWindow = TCalibrationForm::Open(
      *record, dm.FileName, this, PetOf(ImportedPet.Times, ImportedPet.Values, ImportedPet.Column, *record));
}

void TRainForm::ApplyStoreParameters(const TStoreParameters& store) {
  const std::pair<QLineEdit*, double> fields[] = {
      {MaxStorEdit, store.MaxSto}, {InitStorEdit, store.IniSto}, {EscapeEdit, store.MaxEsc}};
  for (const auto& [edit, value] : fields)
    edit->setText(QString::fromStdString(FormatGeneral(value, StartSeparator)));
  // The initial storage is checked against the maximum storage shown: all
  // three texts are in before the first check.
  FieldExits->RunGuarded([this] {
    MaxStorEditExit();
    InitStorEditExit();
    EscapeEditExit();
  });
}

void TRainForm::ShowRunCriteria(bool determinationRun) {
  if (!determinationRun) {
    ShowFigure(RunCriteriaLabel, "");
    return;
  }
  const auto& ws = DMQuorell->Analysis();
  ShowFigure(RunCriteriaLabel, RunCriteriaText(FitCriteria(ws.RunMeas, ws.RunCalc, ws.AnaNrOfData)));
}
