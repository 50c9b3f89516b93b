#include "ui/alfaform.h"

#include <QPixmap>

#include "model/dmquorell.h"
#include "render/fonts.h"
#include "ui/baseform.h"
#include "ui/fieldexits.h"
#include "ui/pictures.h"
#include "ui/prompts.h"
#include "ui/rainform.h"

TAlfaForm* AlfaForm = nullptr;

namespace {

constexpr int RowTop = 204;
constexpr int RowStep = 28;
constexpr int LabelLeft = 16;
constexpr int LabelWidth = 272;
constexpr int EditLeft = 296;
constexpr int EditWidth = 80;
constexpr int RowHeight = 21;

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, int left, int top,
                  int width) {
  auto* label = Place(new QLabel(caption, parent), left, top, width, RowHeight);
  label->setObjectName(name);
  label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  return label;
}

}  // namespace

TAlfaForm::TAlfaForm(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("AlfaForm");
  setWindowTitle("Calculator rection factors drainage systm");
  setFont(PixelFont("MS Sans Serif", 11));
  setFixedSize(480, 516);
  move(300, 80);  // beside the alpha value it fills, where no window manager places it
  MakeSideWindow(this);

  Image1 = Place(new QLabel(this), 40, 8, 400, 185);
  Image1->setObjectName("Image1");
  Image1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Image1->setPixmap(QPixmap::fromImage(DrainageSection()));
  Image1->setAccessibleName("Geometry of a subsurface drainage system");

  struct TRow {
    QLabel*& Label;
    QLineEdit*& Edit;
    const char* LabelName;
    const char* EditName;
    const char* Caption;
  };
  const TRow rows[] = {
      {Label1, Edit1, "Label1", "Edit1", "Hydraulic conductivity above drain level (Ka in m/day)"},
      {Label2, Edit2, "Label2", "Edit2", "Hydraulic conductivity below drain level (Kb in m/day)"},
      {Label3, Edit3, "Label3", "Edit3", "Depth of soil layer below drain level (D = D1-Dd in m)"},
      {Label4, Edit4, "Label4", "Edit4", "Wet perimeter of drain or ditch (U in m)"},
      {Label5, Edit5, "Label5", "Edit5", "Drainable (effective) porosity of top soil (P in %)"},
      {Label6, Edit6, "Label6", "Edit6", "Drain spacing (L in m)"},
  };
  int top = RowTop;
  for (const TRow& row : rows) {
    row.Label = MakeLabel(this, row.LabelName, row.Caption, LabelLeft, top, LabelWidth);
    row.Edit = MakeEdit(this, row.EditName, "", EditLeft, top, EditWidth, RowHeight);
    row.Label->setBuddy(row.Edit);
    top += RowStep;
  }

  Button1 = MakeButton(this, "Button1", "Calculate", EditLeft, top + 4, EditWidth, 25);

  const int resultTop = top + 40;
  TxTLabel = MakeLabel(this, "TxTLabel", "Linear response fuction Alfa = A.Q + B", LabelLeft,
                       resultTop, 200);
  Label7 = MakeLabel(this, "Label7", "A =", 224, resultTop, 20);
  Edit7 = MakeEdit(this, "Edit7", "", 248, resultTop, 64, RowHeight);
  Label8 = MakeLabel(this, "Label8", "B =", 328, resultTop, 20);
  Edit8 = MakeEdit(this, "Edit8", "", 352, resultTop, 64, RowHeight);
  for (QLineEdit* result : {Edit7, Edit8}) result->setReadOnly(true);
  Label7->setBuddy(Edit7);
  Label8->setBuddy(Edit8);

  Memo1 = Place(new TMemo(this), 8, resultTop + 34, 464, 58);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setPlainText(
      "Van der Molen, W.H. and J. Wesseling, 1991. A solution in closed form and a series\n"
      "solution to replace the tables for the thickness of the equivalent layer in\n"
      "Hooghoudt's drain spacing formula. Agricultural Water Management 19: 1-16.");

  FieldExits = new TFieldExits(this);
  FieldExits->Add(Edit1, [this] { Edit1Exit(); });
  FieldExits->Add(Edit2, [this] { Edit2Exit(); });
  FieldExits->Add(Edit3, [this] { Edit3Exit(); });
  FieldExits->Add(Edit4, [this] { Edit4Exit(); });
  FieldExits->Add(Edit5, [this] { Edit5Exit(); });
  FieldExits->Add(Edit6, [this] { Edit6Exit(); });
  connect(Edit1, &QLineEdit::textChanged, this, &TAlfaForm::Edit1Change);
  connect(Edit2, &QLineEdit::textChanged, this, &TAlfaForm::Edit2Change);
  connect(Edit3, &QLineEdit::textChanged, this, &TAlfaForm::Edit3Change);
  connect(Edit4, &QLineEdit::textChanged, this, &TAlfaForm::Edit4Change);
  connect(Edit5, &QLineEdit::textChanged, this, &TAlfaForm::Edit5Change);
  connect(Edit6, &QLineEdit::textChanged, this, &TAlfaForm::Edit6Change);
  connect(Button1, &QPushButton::clicked, this, &TAlfaForm::Button1Click);

  FormCreate();
}

void TAlfaForm::FormCreate() {
  Ka = Kb = D = U = P = L = 0;
  InputsValid = false;
}

TDrainageInputs TAlfaForm::Inputs() const { return {Ka, Kb, D, U, P, L}; }

void TAlfaForm::CheckInput(QLineEdit* edit, TDrainageField which, double& field) {
  const TDrainageFieldCheck check =
      CheckDrainageField(which, edit->text().toStdString(), TRainForm::StartSeparator);
  if (check.Value) field = *check.Value;
  if (!check.Accepted()) {
    Prompts().ShowMessage(QString::fromStdString(check.Message));
    if (check.EmptyEdit) edit->clear();
    return;
  }
  InputsValid = DrainageInputsValid(Inputs());
}

void TAlfaForm::Edit1Exit() { CheckInput(Edit1, TDrainageField::Ka, Ka); }
void TAlfaForm::Edit2Exit() { CheckInput(Edit2, TDrainageField::Kb, Kb); }
void TAlfaForm::Edit3Exit() { CheckInput(Edit3, TDrainageField::D, D); }
void TAlfaForm::Edit4Exit() { CheckInput(Edit4, TDrainageField::U, U); }
void TAlfaForm::Edit5Exit() { CheckInput(Edit5, TDrainageField::P, P); }
void TAlfaForm::Edit6Exit() { CheckInput(Edit6, TDrainageField::L, L); }

// No result stays on screen for inputs that have changed since.
void TAlfaForm::ClearResults() {
  A = 0;
  B = 0;
  Edit7->clear();
  Edit8->clear();
}

void TAlfaForm::Edit1Change() { ClearResults(); }
void TAlfaForm::Edit2Change() { ClearResults(); }
void TAlfaForm::Edit3Change() { ClearResults(); }
void TAlfaForm::Edit4Change() { ClearResults(); }
void TAlfaForm::Edit5Change() { ClearResults(); }
void TAlfaForm::Edit6Change() { ClearResults(); }

void TAlfaForm::Button1Click() {
  InputsValid = DrainageInputsValid(Inputs());
  if (!InputsValid) {
    Prompts().ShowMessage("One or more data values are incorrect");
    return;
  }
  const TDrainageResult result = CalculateDrainage(Inputs());
  A = result.A;
  DMQuorell->Acoeff = A;
  X = result.X;
  if (result.Series) {
    E2 = result.Series->E2;
    E6 = result.Series->E6;
    E10 = result.Series->E10;
    T1 = result.Series->T1;
    T3 = result.Series->T3;
    T5 = result.Series->T5;
  }
  F = result.F;
  EqDepth = result.EqDepth;
  B = result.B;

  // The input sheet takes the text; its own field check puts it into the
  // workspace when that field is next left.
  const QString aText = QString::fromStdString(FormatCoefficient(A, TRainForm::StartSeparator));
  Edit7->setText(aText);
  emit ReactionFactorCalculated(aText);
  Edit8->setText(QString::fromStdString(FormatCoefficient(B, TRainForm::StartSeparator)));
  Prompts().ShowMessage(
      "The calculations were done and the values are entered in the input tabsheet.");
}
