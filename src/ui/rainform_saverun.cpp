// Save/Run, "Open input", "Open output" and the Output tab.
#include <QApplication>
#include <QEventLoop>
#include <QTimer>

#include "files/filepaths.h"
#include "graphs/quorellutils.h"
#include "render/fonts.h"
#include "render/qtcanvas.h"
#include "sheet/sheetseries.h"
#include "ui/rainform.h"
#include "ui/texts.h"

namespace {

void Message(const QString& text) { Prompts().ShowMessage(text); }

}  // namespace

void TRainForm::CreateOutputTab() {
  QWidget* page = OutputTabSheet;
  OutputMemo = Place(new TMemo(page), 8, 24, 593, 425);
  OutputMemo->setObjectName("OutputMemo");
  OutputMemo->setAccessibleName("Output file");
  OutputMemo->setFont(PixelFont("Courier New", 13, true));
  OutputMemo->setLineWrapMode(QPlainTextEdit::NoWrap);
  OutputMemo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  OutputMemo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  ViewGraphButton = MakeButton(page, "ViewGraphButton", "View graph", 456, 471, 82, 33);
  connect(ViewGraphButton, &QPushButton::clicked, this, &TRainForm::ViewGraphButtonClick);
  SeeOutputButton = MakeButton(page, "SeeOutputButton", OutputOpenAction->text(), 552, 471, 88, 33);
  BindButton(SeeOutputButton, OutputOpenAction);
}

bool TRainForm::ChooseInputFile() {
  FSaveAborted = false;
  const QString path = ExecuteFileDialog(InputSaveDialog);
  if (path.isEmpty()) {
    FSaveAborted = true;
    return false;
  }
  DMQuorell->FileName = path.toStdString();
  if (FileExists(DMQuorell->FileName)) return DMQuorell->AskYesNo("The file already exists, overwrite?");
  return true;
}

std::optional<TGatherResult> TRainForm::GatherForSave(TDMQuorell& into, int n) {
  const TGatherResult gathered = GatherSheet(StringGrid1->Cells(), into, n, FSheetRows, StartSeparator);
  if (!gathered.AllReal) {
    Message(NotAllRealText);
    return std::nullopt;
  }
  if (!CheckSeries(into, n)) {
    Message(InputErrorsText);
    return std::nullopt;
  }
  return gathered;
}

void TRainForm::InputSaveActionExecute() {
  auto& dm = *DMQuorell;
  // A menu entry leaves the focus where it was: the fields are committed
  // here, so that the file holds what the sheet shows.
  CommitFields();
  if (!ChooseInputFile()) {
    Message("The input data were not saved");
    return;
  }
  dm.Title1 = Title1Edit->text().toStdString();
  dm.Title2 = Title2Edit->text().toStdString();
  const int n = dm.NrOfData;
  const auto gathered = GatherForSave(dm, n);
  if (!gathered) return;
  FKeptRows = gathered->Kept;
  // The writer walks all n gathered rows (NrOfData) and leaves out the marked ones.
  const bool written = dm.WriteInputFile();
  dm.NrOfData = FKeptRows;
  CompactToReadLayout(dm, n);
  StringGrid1->Cells().SetRowCount(FKeptRows);
  if (FKeptRows < n) FillCells(StringGrid1->Cells(), dm, FKeptRows, true, StartSeparator);
  StringGrid1->Reload();
  // A file that could not be written is not run: the run would read an old
  // or half-written file of that name. The writer has said why.
  if (!written) return;

  try {
    RunOption();
  } catch (const std::exception& error) {
    // The output file could not be written; the old one is as it was.
    EndFailedRun();
    Message(QString::fromStdString(error.what()));
    return;
  }
  if (!dm.RunSucceeded(dm.IsAnalysis)) {
    EndFailedRun();  // the run has said why
    return;
  }
  dm.FileName = ChangeFileExt(dm.FileName, ".out");
  dm.LoadOutputLines(dm.FileName);
  AddWaitText(" Filing results ..");
  Pause();
  WaitMemo->hide();
  Message(QString::fromStdString("The input is saved in " + ChangeFileExt(dm.FileName, ".inp") + " ;" +
                                 " Calculations were done and the output is saved in  " + dm.FileName));
  ShowOutputFile();
  ShowRunCriteria(dm.IsAnalysis);
  OutputMemo->show();
  FGraphsEnabled = true;
  PageControl1->setCurrentWidget(OutputTabSheet);
}

void TRainForm::EndFailedRun() {
  WaitMemo->clear();
  WaitMemo->hide();
  DMQuorell->RunFailed = false;
  PageControl1->setCurrentWidget(InputTabSheet);
}

void TRainForm::ShowOutputFile() {
  auto& dm = *DMQuorell;
  SetStatus("The output file can be imported into spreadsheets");
  ShowOutputLines();
  dm.ResultsFileName = dm.FileName;
  SetDialogFolders(FolderOf(QString::fromStdString(dm.FileName)));
  // Produced or opened, an output file keeps "View graph" on its tab.
  FOutputOpened = true;
  ViewGraphButton->show();
}

void TRainForm::AddWaitText(const QString& text) {
  WaitMemo->appendPlainText(text);
  WaitMemo->repaint();
}

// The window repaints while it waits, but takes no input.
void TRainForm::Pause() {
  QEventLoop loop;
  QTimer::singleShot(FPauseMs, &loop, &QEventLoop::quit);
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

void TRainForm::RunOption() {
  auto& dm = *DMQuorell;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  struct TRestoreCursor {
    ~TRestoreCursor() { QApplication::restoreOverrideCursor(); }
  } restore;
  WaitMemo->show();
  WaitMemo->clear();
  AddWaitText(" Saving data .....");
  Pause();
  AddWaitText(" Progress 25% ....");
  dm.RunModel(dm.IsAnalysis);
  if (dm.RunFailed) return;
  AddWaitText(" Calculating .....");
  Pause();
  AddWaitText(" Progress 75% ....");
  Pause();
}

QString TRainForm::ChooseExistingFile(const TFileDialogSpec& dialog, const char* cancelled,
                                      const char* missing) {
  const QString path = ExecuteFileDialog(dialog);
  if (path.isEmpty()) {
    Message(cancelled);
    return {};
  }
  DMQuorell->FileName = path.toStdString();
  if (!FileExists(DMQuorell->FileName)) {
    Message(missing);
    return {};
  }
  return path;
}

void TRainForm::InputOpenActionExecute() {
  auto& dm = *DMQuorell;
  const QString path = ChooseExistingFile(InputOpenDialog, "No input file was selected");
  if (path.isEmpty()) return;
  // A head value that is no number ends the open with the general error
  // box, the sheet left as it was; the option read before it would make
  // the next Save/Run write the sheet under another option than it shows.
  const bool analysis = dm.IsAnalysis;
  const std::string runTag = dm.RunTag;
  try {
    dm.ReadInputFile();
  } catch (const TInvalidNumber&) {
    dm.IsAnalysis = analysis;
    dm.RunTag = runTag;
    throw;
  }
  FileNameEdit->setText(path);
  FileNameEdit->show();
  FileNameLabel->show();
  InputImage->hide();
  Title1Edit->setText(FromFileText(dm.Title1));
  Title2Edit->setText(FromFileText(dm.Title2));
  FDataEntered = true;
  SetDialogFolders(FolderOf(path));
  ImportedPet = {};
  FillSheet();
}

void TRainForm::ShowOutputLines() {
  const auto& dm = *DMQuorell;
  QStringList lines;
  const int count = std::min<int>(dm.OutputLineCount, static_cast<int>(dm.OutputLines.size()));
  for (int i = 0; i < count; ++i) lines << FromFileText(dm.OutputLines[i]);
  OutputMemo->setPlainText(lines.join('\n'));
}

void TRainForm::OutputOpenActionExecute() {
  auto& dm = *DMQuorell;
  const QString path = ChooseExistingFile(OutputOpenDialog, "No output file selected");
  if (path.isEmpty()) return;
  dm.LoadOutputLines(dm.FileName);
  ShowOutputFile();
  ShowRunCriteria(false);
  SeeGraphButton->show();
  PageControl1->setCurrentWidget(OutputTabSheet);
}

void TRainForm::OutputTabSheetShow() {
  if (!FOutputOpened) ViewGraphButton->hide();
  InputSaveAction->setEnabled(false);
  GraphSaveAction->setEnabled(false);
  FGraphsEnabled = false;
  SetStatus("The output file can be inspected. Use \"Open output\" to see examples under \"Data\" or "
            "to inspect any other output file.");
}
