// The drainage calculator window and what it puts into the input sheet.
#include <QScrollBar>
#include <QTest>
#include <cmath>

#include "model/dmquorell.h"
#include "ui/alfaform.h"
#include "ui/rainform.h"
#include "ui/ui_support.h"

namespace {

QLineEdit* Input(int n) { return Calc<QLineEdit>(qPrintable(QString("Edit%1").arg(n))); }

// Types the texts into the inputs, leaving each field in turn.
void EnterAll(const QStringList& texts) {
  for (int n = 1; n <= 6; ++n) Input(n)->setText(texts[n - 1]);
  for (int n = 1; n <= 6; ++n) Leave(Input(n));
}

void Calculate() { Calc<QPushButton>("Button1")->click(); }

const QStringList ThinLayer{"1", "1", "1", "1", "10", "10"};
const QString DoneText =
    "The calculations were done and the values are entered in the input tabsheet.";
const QString IncorrectText = "One or more data values are incorrect";

}  // namespace

class TAlfaFormTest : public QObject {
  Q_OBJECT

private slots:
  void workedExamples_data();
  void workedExamples();
  void porosityBounds();
  void textThatIsNoNumber();
  void typingAfterResultEmptiesIt();
  void leavingFieldByFocusChecksIt();
  void windowLayoutAndClosing();
};

void TAlfaFormTest::workedExamples_data() {
  QTest::addColumn<QStringList>("inputs");
  QTest::addColumn<char>("separator");
  QTest::addColumn<QString>("aText");
  QTest::addColumn<QString>("bText");
  QTest::addColumn<double>("a");
  QTest::newRow("closed form") << ThinLayer << '.' << " 0.400" << " 0.800" << 0.4;
  const QStringList thick{"0.5", "1", "5", "0,5", "5", "20"};
  QTest::newRow("series form") << thick << '.' << " 0.100" << " 0.812" << 0.1;
  QTest::newRow("decimal comma") << thick << ',' << " 0,100" << " 0,812" << 0.1;
}

void TAlfaFormTest::workedExamples() {
  QFETCH(QStringList, inputs);
  QFETCH(char, separator);
  QFETCH(QString, aText);
  QFETCH(QString, bText);
  QFETCH(double, a);
  TProgram program;
  const char saved = TRainForm::StartSeparator;
  TRainForm::StartSeparator = separator;
  DMQuorell->Analysis().Alpha = 0.37;
  EnterAll(inputs);
  // Calculate twice: the same both times.
  for (int press = 1; press <= 2; ++press) {
    QTest::mouseClick(Calc<QPushButton>("Button1"), Qt::LeftButton);
    QCOMPARE(program.Prompts.Messages, QStringList(press, DoneText));
    QCOMPARE(Calc<QLineEdit>("Edit7")->text(), aText);
    QCOMPARE(Calc<QLineEdit>("Edit8")->text(), bText);
    QCOMPARE(Main<QLineEdit>("AcoeffEdit")->text(), aText);
    QVERIFY(std::abs(DMQuorell->Acoeff - a) < 1e-12);
    // The workspace takes the value only when the sheet's field is left.
    QCOMPARE(DMQuorell->Analysis().Alpha, 0.37);
  }
  TRainForm::StartSeparator = saved;
}

void TAlfaFormTest::porosityBounds() {
  TProgram program;
  Main<QLineEdit>("AcoeffEdit")->setText("0.25");
  EnterAll({"1", "1", "1", "1", "30", "10"});
  QVERIFY(program.Prompts.Messages.isEmpty());
  Calculate();
  QCOMPARE(program.Prompts.Messages, QStringList{IncorrectText});
  QCOMPARE(Main<QLineEdit>("AcoeffEdit")->text(), QString("0.25"));

  Calc<QLineEdit>("Edit5")->setText("30.5");
  Leave(Calc<QLineEdit>("Edit5"));
  QCOMPARE(program.Prompts.Messages.last(), QString("P should be less than 30%"));
  QCOMPARE(Calc<QLineEdit>("Edit5")->text(), QString());
  // The refused porosity is kept (emptied on the screen only): still no
  // calculation.
  Calculate();
  QCOMPARE(program.Prompts.Messages.last(), IncorrectText);
  Calc<QLineEdit>("Edit5")->setText("10");
  Leave(Calc<QLineEdit>("Edit5"));
  Calculate();
  QCOMPARE(program.Prompts.Messages.last(), DoneText);
  // A refused conductivity becomes 0, which no calculation takes.
  Calc<QLineEdit>("Edit1")->setText("-1");
  Leave(Calc<QLineEdit>("Edit1"));
  QCOMPARE(program.Prompts.Messages.last(), QString("Ka should be greater than zero"));
  Calculate();
  QCOMPARE(program.Prompts.Messages.last(), IncorrectText);
}

void TAlfaFormTest::textThatIsNoNumber() {
  TProgram program;
  EnterAll(ThinLayer);
  Calc<QLineEdit>("Edit6")->setText("ten");
  Leave(Calc<QLineEdit>("Edit6"));
  QCOMPARE(program.Prompts.Messages, QStringList{"'ten' is not a valid floating point value"});
  // The field keeps its value: the calculation still goes through.
  Calculate();
  QCOMPARE(program.Prompts.Messages.last(), DoneText);
  QCOMPARE(Calc<QLineEdit>("Edit8")->text(), QString(" 0.800"));
}

void TAlfaFormTest::typingAfterResultEmptiesIt() {
  TProgram program;
  EnterAll(ThinLayer);
  for (int n = 1; n <= 6; ++n) {
    Calculate();
    QCOMPARE(Calc<QLineEdit>("Edit7")->text(), QString(" 0.400"));
    QTest::keyClick(Input(n), Qt::Key_Backspace);
    QVERIFY2(Calc<QLineEdit>("Edit7")->text().isEmpty() && Calc<QLineEdit>("Edit8")->text().isEmpty(),
             qPrintable(Input(n)->objectName()));
    Input(n)->setText(ThinLayer[n - 1]);
  }
}

void TAlfaFormTest::leavingFieldByFocusChecksIt() {
  TProgram program;
  for (int n = 1; n <= 6; ++n) Input(n)->setText(ThinLayer[n - 1]);
  AlfaForm->show();
  AlfaForm->activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(AlfaForm));
  Calc<QLineEdit>("Edit5")->setFocus();
  QCoreApplication::processEvents();
  Calc<QLineEdit>("Edit5")->setText("45");
  Calc<QLineEdit>("Edit6")->setFocus();
  QTRY_COMPARE(program.Prompts.Messages, QStringList{"P should be less than 30%"});
}

void TAlfaFormTest::windowLayoutAndClosing() {
  TProgram program;
  QVERIFY(!AlfaForm->isVisible());
  QCOMPARE(AlfaForm->windowTitle(), QString("Calculator rection factors drainage systm"));
  AlfaForm->show();
  QVERIFY(QTest::qWaitForWindowExposed(AlfaForm));
  for (QLabel* label : AlfaForm->findChildren<QLabel*>()) {
    QVERIFY2(AlfaForm->rect().contains(label->geometry()), qPrintable(label->objectName()));
    QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
             qPrintable(label->objectName()));
  }
  // The three lines of the reference show whole.
  QVERIFY(!Calc<QPlainTextEdit>("Memo1")->horizontalScrollBar()->isVisible());
  QVERIFY(!Calc<QPlainTextEdit>("Memo1")->verticalScrollBar()->isVisible());

  EnterAll(ThinLayer);
  QVERIFY(AlfaForm->close());
  QVERIFY(!AlfaForm->isVisible());
  QVERIFY(RainForm->isVisible());
  Calculate();
  QCOMPARE(Calc<QLineEdit>("Edit7")->text(), QString(" 0.400"));
}

TOLVANE_UI_TEST(TAlfaFormTest)

#include "ui_test_alfaform.moc"
