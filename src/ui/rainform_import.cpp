// File, "Import table ..." and "Export table ...": a spreadsheet's table read
// into the sheet as opening an input file reads one (Save/Run then writes the
// input file the batch tool's import writes from the same choices), and the
// table of the output file written for a spreadsheet.
#include <QApplication>

#include "files/csvtable.h"
#include "files/filepaths.h"
#include "model/dmquorell.h"
#include "ui/application.h"
#include "ui/importform.h"
#include "ui/rainform.h"

void TRainForm::ImportTableActionExecute() {
  CommitFields();
  auto* form = new TImportForm(this, DMQuorell->IsAnalysis || OptionComboBox->currentIndex() < 0);
  form->setAttribute(Qt::WA_DeleteOnClose);
  // Not exec(): the window's own event loop goes on, and tests drive the
  // dialog as a user does.
  connect(form, &QDialog::accepted, this, [this, form] { Guarded([&] { ApplyImportedTable(*form); }); });
  // The keyboard comes back here, also where no window manager gives it back.
  connect(form, &QDialog::finished, this, [this] {
    if (isVisible() && QApplication::activeWindow() != this) activateWindow();
  });
  form->open();
}

void TRainForm::ApplyImportedTable(const TImportForm& form) {
  auto& dm = *DMQuorell;
  const TTableImport& read = form.Result();
  const bool analysis = form.Options().Determination;
  // The cascade of a prediction stays as the sheet has it: a table brings
  // none.
  const QString alpha = AcoeffEdit->text();
  const int reservoirs = ComboBox1->currentIndex();
  dm.IsAnalysis = analysis;
  dm.RunTag = RunTagFor(analysis);
  dm.Title1 = form.Title1().toStdString();
  dm.Title2 = read.Title2;
  // As an opened input file leaves them: point k in element k - 1.
  const std::size_t n = read.Times.size();
  dm.Serials.resize(n);
  dm.Times = read.Times;
  dm.Rains = read.Rains;
  dm.Runoffs = analysis ? read.Runoffs : std::vector<double>(n, 0);
  dm.RowFlags.assign(n, 0);
  for (std::size_t k = 0; k < n; ++k) dm.Serials[k] = static_cast<int>(k + 1);
  dm.NrOfData = static_cast<int>(n);
  Title1Edit->setText(form.Title1());
  Title2Edit->setText(QString::fromStdString(read.Title2));
  FileNameEdit->hide();
  FileNameLabel->hide();
  InputImage->hide();
  FDataEntered = true;
  FillSheet();
  ImportedPet = {};
  if (analysis && read.Pets.size() == n) {
    ImportedPet.Times = read.Times;
    ImportedPet.Values = read.Pets;
    ImportedPet.Column = form.PetColumnName();
  }
  if (!analysis) {
    AcoeffEdit->setText(alpha);
    ComboBox1->setCurrentIndex(reservoirs);
    CommitFields();
  }
  SetStatus(QString("%1 points imported; check the parameters, then use \"Save/Run\".").arg(n));
}

void TRainForm::ExportTableActionExecute() {
  auto& dm = *DMQuorell;
  if (!FOutputOpened || dm.ResultsFileName.empty()) {
    Prompts().ShowMessage("There is no output file to export: open one with \"Open Output\" or "
                          "make one with \"Save/Run\"");
    return;
  }
  const auto content = ReadWholeFile(dm.ResultsFileName);
  if (!content) {
    Prompts().ShowMessage(QString::fromStdString(dm.OpenFailureText()));
    return;
  }
  // The spreadsheets of a system with a decimal comma read semicolons.
  std::string error;
  const auto csv = OutputFileCsv(*content, dm.ResultsFileName, CsvStyleFor(StartSeparator), error);
  if (!csv) {
    Prompts().ShowMessage(QString::fromStdString(error));
    return;
  }
  ExportTableDialog.InitialDir = FolderOf(QString::fromStdString(dm.ResultsFileName));
  const QString path = ExecuteFileDialog(ExportTableDialog);
  if (path.isEmpty()) {
    Prompts().ShowMessage("The table was not exported");
    return;
  }
  if (FileExists(path.toStdString()) && !dm.AskYesNo("The file already exists, overwrite?")) return;
  if (!WriteFileAtomically(path.toStdString(), *csv, &error)) {
    Prompts().ShowMessage("The table could not be written in \"" + path + "\": " +
                          QString::fromStdString(error));
    return;
  }
  Prompts().ShowMessage("The table of the output file is saved in " + path);
}
