// The drainage calculator: the reaction function Alfa = A.Q + B of a
// subsurface drainage system from soil and drain data. It puts A into the
// reaction factor of the input sheet. Created hidden at start-up; closing
// it only hides it, and what was entered stays for the next showing.
#pragma once

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QWidget>

#include "model/drainage.h"

class TFieldExits;

class TAlfaForm : public QWidget {
  Q_OBJECT
public:
  explicit TAlfaForm(QWidget* parent = nullptr);

signals:
  // Calculate found the reaction factor A; text in the user's number
  // settings.
  void ReactionFactorCalculated(const QString& text);

private:
  QLabel* Image1;
  QLabel* Label1;
  QLineEdit* Edit1;
  QLabel* Label2;
  QLineEdit* Edit2;
  QLabel* Label3;
  QLineEdit* Edit3;
  QLabel* Label4;
  QLineEdit* Edit4;
  QLabel* Label5;
  QLineEdit* Edit5;
  QLabel* Label6;
  QLineEdit* Edit6;
  QPushButton* Button1;
  QLabel* TxTLabel;
  QLabel* Label7;
  QLineEdit* Edit7;
  QLabel* Label8;
  QLineEdit* Edit8;
  QPlainTextEdit* Memo1;

  // The inputs (m/day, m, and the porosity in %), then the results.
  double Ka = 0;
  double Kb = 0;
  double D = 0;
  double U = 0;
  double P = 0;
  double L = 0;
  double A = 0;
  double B = 0;
  double EqDepth = 0;
  double F = 0;
  double X = 0;
  double T1 = 0;
  double T3 = 0;
  double T5 = 0;
  double E2 = 0;
  double E6 = 0;
  double E10 = 0;
  bool InputsValid = false;

  void Edit1Exit();
  void Edit2Exit();
  void Edit3Exit();
  void Edit4Exit();
  void Edit5Exit();
  void Edit6Exit();
  void Edit1Change();
  void Edit2Change();
  void Edit3Change();
  void Edit4Change();
  void Edit5Change();
  void Edit6Change();
  void Button1Click();

  void FormCreate();
  TDrainageInputs Inputs() const;
  void CheckInput(QLineEdit* edit, TDrainageField which, double& field);
  void ClearResults();

  TFieldExits* FieldExits;
};

extern TAlfaForm* AlfaForm;
