// The Input tab: the sheet, its layouts, and the checks made when a field
// is left.
#include <QScreen>
#include <QSignalBlocker>

#include "render/fonts.h"
#include "base/numformat.h"
#include "base/numparse.h"
#include "sheet/pasteblock.h"
#include "sheet/sheetseries.h"
#include "ui/alfaform.h"
#include "ui/helpform.h"
#include "ui/pictures.h"
#include "ui/application.h"
#include "ui/rainform.h"

namespace {

QString General(double value) {
  return QString::fromStdString(FormatGeneral(value, TRainForm::StartSeparator));
}

QLabel* MakeLabel(QWidget* parent, const char* name, const char* caption, int left, int top,
                  int wrapWidth = 0) {
  auto* label = new QLabel(caption, parent);
  label->setObjectName(name);
  if (wrapWidth > 0) {
    label->setWordWrap(true);
    label->setFixedWidth(wrapWidth);
  }
  label->adjustSize();
  label->move(left, top);
  return label;
}

const QColor Maroon(0x80, 0x00, 0x00);

}  // namespace

void TRainForm::CreateInputTab() {
  QWidget* page = InputTabSheet;
  FileNameLabel = MakeLabel(page, "FileNameLabel", "File", 24, 22);
  FileNameEdit = MakeEdit(page, "FileNameEdit", "", 72, 16, 569, 24);
  FileNameEdit->setReadOnly(true);
  Title1Label = MakeLabel(page, "Title1Label", "Title1", 24, 46);
  Title1Edit = MakeEdit(page, "Title1Edit", "", 72, 40, 569, 24);
  Title2Label = MakeLabel(page, "Title2Label", "Title2", 24, 70);
  Title2Edit = MakeEdit(page, "Title2Edit", "", 72, 64, 569, 24);

  OptionLabel = MakeLabel(page, "OptionLabel", "Option", 24, 93);
  OptionComboBox = Place(new QComboBox(page), 72, 88, 425, 24);
  OptionComboBox->setObjectName("OptionComboBox");
  OptionComboBox->addItems({"Determine model from rainfall and runoff data and reconstruct runoff",
                            "Predict runoff from rainfall given alpha function and cascade nr."});
  OptionComboBox->setPlaceholderText("Determine alpha from rainfall and runoff data and reconstruct runoff");
  OptionComboBox->setCurrentIndex(-1);
  OptionLabel->setBuddy(OptionComboBox);
  OptionComboBox->setAccessibleDescription(OptionComboBox->placeholderText());

  NrOfDataLabel = MakeLabel(page, "NrOfDataLabel", "Nr. of Data", 24, 123, 46);
  NrOfDataEdit = MakeEdit(page, "NrOfDataEdit", "20", 72, 128, 65, 24);

  FirstGroupBox = Place(new TGroupBox("First reservoir (see Figure)", page), 152, 120, 489, 49);
  FirstGroupBox->setObjectName("FirstGroupBox");
  FirstGroupBox->setFont(PixelFont("Tahoma", 13));
  SetTextColour(FirstGroupBox, Qt::black);
  MaxStorLabel = MakeLabel(FirstGroupBox, "MaxStorLabel", "Maximum storage", 12, 24);
  MaxStorEdit = MakeEdit(FirstGroupBox, "MaxStorEdit", "100", 120, 20, 49, 24);
  InitStorLabel = MakeLabel(FirstGroupBox, "InitStorLabel", "Initial storage", 192, 24);
  InitStorEdit = MakeEdit(FirstGroupBox, "InitStorEdit", "80", 280, 20, 49, 24);
  EscapeLabel = MakeLabel(FirstGroupBox, "EscapeLabel", "Maximum escape rate", 350, 12, 80);
  EscapeEdit = MakeEdit(FirstGroupBox, "EscapeEdit", "2", 432, 20, 49, 24);
  for (QLabel* label : {MaxStorLabel, InitStorLabel, EscapeLabel}) SetTextColour(label, Maroon);

  // Only the column titles show their hints when the mouse rests on them.
  TimeLabel = MakeLabel(page, "TimeLabel", "Time", 86, 177);
  TimeLabel->setToolTip("Give time in units (hr, day), not dates");
  RainLabel = MakeLabel(page, "RainLabel", "Rain", 152, 177);
  RainLabel->setToolTip("Use mm per time unit");
  RunoffLabel = MakeLabel(page, "RunoffLabel", "Runoff", 216, 177);
  RunoffLabel->setToolTip("Use mm per time unit");
  StringGrid1 = Place(new TStringGrid(page), 72, 197, 217, 276);
  connect(StringGrid1, &TStringGrid::SetEditText, this, [this](int col, int row, const QString& text) {
    Guarded([&] { StringGrid1SetEditText(col, row, text); });
  });

  InitRunLabel = MakeLabel(page, "InitRunLabel", "Initial runoff", 352, 192);
  InitRunEdit = MakeEdit(page, "InitRunEdit", "0", 440, 184, 49, 24);
  AlphaGroupBox = Place(new TGroupBox("Reservoir characteristics", page), 352, 232, 241, 129);
  AlphaGroupBox->setObjectName("AlphaGroupBox");
  ALabel = MakeLabel(AlphaGroupBox, "ALabel", "Alpha value (reaction factor)", 8, 30, 116);
  AcoeffEdit = MakeEdit(AlphaGroupBox, "AcoeffEdit", "", 128, 33, 73, 24);
  // Opens the calculator whose result goes into the alpha value beside it.
  AlfaButton = MakeButton(AlphaGroupBox, "AlfaButton", "...", 205, 33, 28, 24);
  AlfaButton->setToolTip("Calculator of the reaction factor of drained fields");
  AlfaButton->setAccessibleName("Reaction factor calculator");
  BLabel = MakeLabel(AlphaGroupBox, "BLabel", "Nr. of reservoirs in cscade", 8, 75, 116);
  ComboBox1 = Place(new QComboBox(AlphaGroupBox), 128, 80, 81, 24);
  ComboBox1->setObjectName("ComboBox1");
  ComboBox1->addItems({"1", "2", "3", "4", "5"});
  ComboBox1->setCurrentIndex(0);

  InputImage = Place(new QLabel(page), 504, 284, 137, 161);
  InputImage->setObjectName("InputImage");
  InputImage->setPixmap(QPixmap::fromImage(InputDrawing()));
  InputImage->setAccessibleName("Rain runs off, and they stay together");

  WaitMemo = Place(new TMemo(page), 496, 8, 145, 113);
  WaitMemo->setObjectName("WaitMemo");
  WaitMemo->setReadOnly(true);
  WaitMemo->setFont(PixelFont("Tahoma", 13));
  SetBackground(WaitMemo, Qt::blue);
  SetTextColour(WaitMemo, Qt::yellow);
  WaitMemo->hide();

  ClearButton = MakeButton(page, "ClearButton", "Clear all", 280, 483, 75, 25);
  HelpButton = MakeButton(page, "HelpButton", "Start help, units", 360, 483, 105, 25);
  InputSaveButton = MakeButton(page, "InputSaveButton", " Save / Run", 472, 483, 79, 25);
  InputOpenButton = MakeButton(page, "InputOpenButton", " Open input", 558, 483, 83, 25);
  BindButton(InputSaveButton, InputSaveAction);
  BindButton(InputOpenButton, InputOpenAction);

  // Each edit is known by its label, also to screen readers.
  const std::pair<QLabel*, QWidget*> pairs[] = {
      {FileNameLabel, FileNameEdit}, {Title1Label, Title1Edit},   {Title2Label, Title2Edit},
      {NrOfDataLabel, NrOfDataEdit}, {MaxStorLabel, MaxStorEdit}, {InitStorLabel, InitStorEdit},
      {EscapeLabel, EscapeEdit},     {InitRunLabel, InitRunEdit}, {ALabel, AcoeffEdit},
      {BLabel, ComboBox1}};
  for (const auto& [label, field] : pairs) label->setBuddy(field);
  StringGrid1->setAccessibleName("Time, rain and runoff");
  WaitMemo->setAccessibleName("Progress");

  QWidget* order[] = {Title1Edit, Title2Edit, OptionComboBox, NrOfDataEdit, MaxStorEdit,
                      InitStorEdit, EscapeEdit, StringGrid1, InitRunEdit, AcoeffEdit, AlfaButton,
                      ComboBox1, ClearButton, HelpButton, InputSaveButton, InputOpenButton};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  connect(ClearButton, &QPushButton::clicked, this, GuardedSlot(&TRainForm::ClearButtonClick));
  connect(HelpButton, &QPushButton::clicked, this, GuardedSlot(&TRainForm::HelpButtonClick));
  connect(AlfaButton, &QPushButton::clicked, this, GuardedSlot(&TRainForm::AlfaButtonClick));
  connect(OptionComboBox, &QComboBox::currentIndexChanged, this,
          GuardedSlot(&TRainForm::OptionComboBoxChange));

  const std::pair<QWidget*, void (TRainForm::*)()> exits[] = {
      {OptionComboBox, &TRainForm::OptionComboBoxExit}, {NrOfDataEdit, &TRainForm::NrOfDataEditExit},
      {MaxStorEdit, &TRainForm::MaxStorEditExit},       {InitStorEdit, &TRainForm::InitStorEditExit},
      {EscapeEdit, &TRainForm::EscapeEditExit},         {AcoeffEdit, &TRainForm::AcoeffEditExit},
      {ComboBox1, &TRainForm::ComboBox1Exit},           {InitRunEdit, &TRainForm::InitRunEditExit}};
  for (const auto& [field, handler] : exits) FieldExits->Add(field, GuardedSlot(handler));
}

// Selecting an item from the program is no change of the option by the user.
void TRainForm::SelectOption(int index) {
  const QSignalBlocker quiet(OptionComboBox);
  OptionComboBox->setCurrentIndex(index);
}

void TRainForm::ApplyLayout(bool analysis) {
  TimeLabel->move(analysis ? 151 : 86, TimeLabel->y());
  RainLabel->move(analysis ? 217 : 152, RainLabel->y());
  RunoffLabel->move(analysis ? 301 : 216, RunoffLabel->y());
  RunoffLabel->setVisible(analysis);
  StringGrid1->setGeometry(analysis ? 150 : 72, StringGrid1->y(), analysis ? 218 : 155,
                           StringGrid1->height());
  StringGrid1->SetColCount(analysis ? 3 : 2);
  AlphaGroupBox->setVisible(!analysis);
  InitRunLabel->setVisible(!analysis);
  InitRunEdit->setVisible(!analysis);
}

void TRainForm::InputTabSheetShow() {
  SetStatus("Enter data or use \"Open input\" to see examples under \"Data\" or to edit existing "
            "files. Thereafter use \"Save/Run\".");
  InputSaveAction->setEnabled(true);
  GraphSaveAction->setEnabled(false);
  FGraphsEnabled = false;
  if (FDataEntered) return;
  auto& dm = *DMQuorell;
  FileNameLabel->hide();
  FileNameEdit->hide();
  dm.IsAnalysis = true;
  dm.RunTag = RunTagFor(true);
  SelectOption(0);
  dm.NrOfData = 15;
  FillSheet();
}

void TRainForm::FillSheet() {
  auto& dm = *DMQuorell;
  const int n = std::max(dm.NrOfData, 0);
  NrOfDataEdit->setText(QString::number(n));
  StringGrid1->Cells().SetRowCount(n);
  dm.RowFlags.resize(n + 1);
  dm.Times.resize(n + 1);
  dm.Rains.resize(n + 1);
  if (FDataEntered) {
    MaxStorEdit->setText(General(dm.MaxSto));
    InitStorEdit->setText(General(dm.IniSto));
    EscapeEdit->setText(General(dm.MaxEsc));
    SelectOption(dm.IsAnalysis ? 0 : 1);
  }
  ApplyLayout(dm.IsAnalysis);
  if (!dm.IsAnalysis) {
    // An opened file brings its cascade; a fresh sheet keeps the typed alpha.
    AcoeffEdit->setText(General(FDataEntered ? dm.Analysis().Alpha : dm.Acoeff));
    InitRunEdit->setText(General(dm.RunIni));
    if (FDataEntered) {
      const int res = dm.Analysis().NrOfRes;
      ComboBox1->setCurrentIndex(res >= 1 && res <= 5 ? res - 1 : -1);
    }
  }
  if (dm.IsAnalysis) dm.Runoffs.resize(n + 1);
  std::fill(dm.RowFlags.begin(), dm.RowFlags.end(), 0);
  FillCells(StringGrid1->Cells(), dm, n, FDataEntered, StartSeparator);
  StringGrid1->Reload();
  FSheetRows = FKeptRows = n;
  if (FDataEntered) PageControl1->setCurrentWidget(InputTabSheet);
}

void TRainForm::OptionComboBoxChange() {
  auto& dm = *DMQuorell;
  InputImage->hide();
  dm.IsAnalysis = OptionComboBox->currentIndex() == 0;
  dm.RunTag = RunTagFor(dm.IsAnalysis);
  FDataEntered = false;
  ImportedPet = {};
  FillSheet();
}

void TRainForm::OptionComboBoxExit() {
  DMQuorell->RunTag = RunTagFor(OptionComboBox->currentIndex() == 0);
}

void TRainForm::NrOfDataEditExit() {
  auto& dm = *DMQuorell;
  const TNrOfDataCheck check = CheckNrOfData(NrOfDataEdit->text().toStdString());
  if (!check.Message.empty()) Prompts().ShowMessage(QString::fromStdString(check.Message));
  if (check.NewText) NrOfDataEdit->setText(QString::fromStdString(*check.NewText));
  if (!check.Count || Pasting) return;
  const int a = *check.Count;
  if (FSheetRows < a) {
    Prompts().ShowMessage(AddDataText);
    const int old = std::max(dm.NrOfData, 0);
    dm.NrOfData = a;
    // The new points are 0 whatever the series held beyond the old ones.
    for (auto* series : {&dm.Times, &dm.Rains, &dm.Runoffs}) {
      series->resize(std::max<std::size_t>(series->size(), a + 1));
      std::fill(series->begin() + std::min<std::size_t>(old, series->size()), series->end(), 0.0);
    }
    FillSheet();
  } else if (FSheetRows > a) {
    Prompts().ShowMessage(RemoveDataText);
  }
}

void TRainForm::CheckParameterField(QLineEdit* edit, TSheetField field) {
  const TFieldCheck check = CheckField(field, edit->text().toStdString(),
                                       MaxStorEdit->text().toStdString(), StartSeparator);
  for (const auto& message : check.Messages) Prompts().ShowMessage(QString::fromStdString(message));
  if (check.NewText) edit->setText(QString::fromStdString(*check.NewText));
  if (check.Value) StoreFieldValue(*DMQuorell, field, *check.Value);
  if (check.ConversionError) Prompts().ShowMessage(QString::fromStdString(*check.ConversionError));
}

void TRainForm::MaxStorEditExit() { CheckParameterField(MaxStorEdit, TSheetField::MaxStorage); }
void TRainForm::InitStorEditExit() { CheckParameterField(InitStorEdit, TSheetField::InitialStorage); }
void TRainForm::EscapeEditExit() { CheckParameterField(EscapeEdit, TSheetField::EscapeRate); }
void TRainForm::AcoeffEditExit() { CheckParameterField(AcoeffEdit, TSheetField::AlphaValue); }
void TRainForm::InitRunEditExit() { CheckParameterField(InitRunEdit, TSheetField::InitialRunoff); }

void TRainForm::ComboBox1Exit() {
  DMQuorell->Analysis().NrOfRes = ComboBox1->currentIndex() + 1;
}

void TRainForm::CommitFields() {
  auto& dm = *DMQuorell;
  QWidget* left = FieldExits->RunPending();
  FieldExits->RunGuarded([&] {
    // A field that shows what the model holds has nothing to commit; the
    // others are checked as if they were left.
    auto commit = [&](QLineEdit* edit, double held, void (TRainForm::*exit)()) {
      if (edit == left) return;
      const auto shown = StringToFloat(edit->text().toStdString(), StartSeparator);
      if (!shown || *shown != held) (this->*exit)();
    };
    commit(MaxStorEdit, dm.MaxSto, &TRainForm::MaxStorEditExit);
    commit(InitStorEdit, dm.IniSto, &TRainForm::InitStorEditExit);
    commit(EscapeEdit, dm.MaxEsc, &TRainForm::EscapeEditExit);
    if (!dm.IsAnalysis) {
      commit(AcoeffEdit, dm.Analysis().Alpha, &TRainForm::AcoeffEditExit);
      commit(InitRunEdit, dm.RunIni, &TRainForm::InitRunEditExit);
      ComboBox1Exit();
    }
  });
}

void TRainForm::StringGrid1SetEditText(int col, int row, const QString& text) {
  if (IsPasteBlock(text.toStdString()) && !HandlePasteMultiCell(col, text, row)) {
    Prompts().ShowMessage(PasteFailedText);
    PageControl1->setCurrentWidget(InputTabSheet);
    return;
  }
  Pasting = true;
  NrOfDataEditExit();
  Pasting = false;
  FDataEntered = true;
}

void TRainForm::ClearButtonClick() {
  for (QLineEdit* edit : {AcoeffEdit, InitRunEdit, MaxStorEdit, InitStorEdit, EscapeEdit, Title1Edit, Title2Edit})
    edit->clear();
  NrOfDataEdit->setText("15");
  StringGrid1->Cells().SetRowCount(15);
  const bool analysis = DMQuorell->IsAnalysis;
  ApplyLayout(analysis);
  SelectOption(analysis ? 0 : 1);
  for (int row = 0; row < 15; ++row)
    for (int col = 0; col < 3; ++col) StringGrid1->Cells().SetCell(col, row, "0");
  StringGrid1->Reload();
  FDataEntered = false;
}

void TRainForm::HelpButtonClick() {
  // Designed for a wide screen: on a narrower one it is moved in to stay whole.
  if (const QScreen* screen = HelpForm->screen()) {
    const QRect free = screen->availableGeometry();
    HelpForm->move(std::max(free.left(), std::min(HelpForm->x(), free.right() + 1 - HelpForm->width())),
                   HelpForm->y());
  }
  HelpForm->show();
  HelpForm->raise();
  HelpForm->activateWindow();
}

void TRainForm::AlfaButtonClick() {
  AlfaForm->show();
  AlfaForm->raise();
  AlfaForm->activateWindow();
}

void TRainForm::ShowPointsRead(int count) { NrOfDataEdit->setText(QString::number(count)); }

void TRainForm::TakeReactionFactor(const QString& text) { AcoeffEdit->setText(text); }
