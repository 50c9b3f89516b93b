// The Input tab: reset, filling, the option, the number of data, the
// parameter fields and "Clear all".
#include <QTest>

#include "ui/rainform.h"
#include "ui/ui_support.h"

namespace {

QString Cell(int col, int row) { return Main<TStringGrid>("StringGrid1")->Cell(col, row); }

}  // namespace

class TInputSheetTest : public QObject {
  Q_OBJECT

private slots:
  void showingTheTabResetsAnEmptySheet() {
    TProgram program;
    ShowInputTab();
    auto* f = RainForm;
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 15);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->ColCount(), 3);
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("15"));
    QCOMPARE(Cell(2, 14), QString("0"));
    QCOMPARE(Main<QComboBox>("OptionComboBox")->currentIndex(), 0);
    QCOMPARE(DMQuorell->RunTag, std::string(" Ana"));
    QVERIFY(DMQuorell->IsAnalysis);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->x(), 150);
    QCOMPARE(Main<QLabel>("TimeLabel")->x(), 151);
    QVERIFY(Main<QLabel>("RunoffLabel")->isVisible());
    QVERIFY(!Main<QGroupBox>("AlphaGroupBox")->isVisible());
    QVERIFY(Main<QAction>("InputSaveAction")->isEnabled());
    QVERIFY(f->StatusText().startsWith("Enter data or use \"Open input\""));
    // Only the column titles show their hints.
    QCOMPARE(Main<QLabel>("TimeLabel")->toolTip(), QString("Give time in units (hr, day), not dates"));
    QVERIFY(Main<QLineEdit>("MaxStorEdit")->toolTip().isEmpty());
  }

  void numberOfDataMessagesAndLimits() {
    TProgram program;
    ShowInputTab();
    auto* f = RainForm;
    auto leave = [&](const QString& text) {
      program.Prompts.Messages.clear();
      Main<QLineEdit>("NrOfDataEdit")->setText(text);
      Leave(Main<QLineEdit>("NrOfDataEdit"));
      return program.Prompts.Messages;
    };
    QCOMPARE(leave("11"), QStringList{" The minimum number of data is 12"});
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("12"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 15);
    QCOMPARE(leave("1501"), QStringList{" The maximum number of data is 1500. Not enough? Contact the author."});
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("1500"));
    QCOMPARE(leave("20"), QStringList{" Add data in the last cells at the end of the column"});
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 20);
    QCOMPARE(DMQuorell->NrOfData, 20);
    QCOMPARE(leave("16"), QStringList{" To remove data make the relevant data cells empty"});
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 20);
    QCOMPARE(DMQuorell->NrOfData, 20);
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("16"));
    QCOMPARE(leave("1500"), QStringList{" Add data in the last cells at the end of the column"});
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 1500);
    // Letters stay, and every cell edit tests the count again.
    QCOMPARE(leave("abc"), QStringList{"The number of data is not a valid integer"});
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("abc"));
    program.Prompts.Messages.clear();
    Type(0, 0, "7");
    QCOMPARE(program.Prompts.Messages, QStringList{"The number of data is not a valid integer"});
    QVERIFY(f->DataEntered());
  }

  void moreRowsWithDataEnteredShowTheStoredSeries() {
    TProgram program;
    ShowInputTab();
    Type(0, 3, "4");  // typed only, not stored
    DMQuorell->Times[2] = 3;
    Main<QLineEdit>("NrOfDataEdit")->setText("18");
    Leave(Main<QLineEdit>("NrOfDataEdit"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 18);
    QCOMPARE(Cell(0, 2), QString("3"));
    QCOMPARE(Cell(0, 3), QString("0"));
    QCOMPARE(Cell(1, 17), QString("0"));
  }

  void parameterFieldsShowWhatTheModelHolds_data() {
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("maxStorage");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("held");
    QTest::newRow("max -5") << "MaxStorEdit" << "-5" << "-5" << "The maximum storage must be >= 0" << "0" << 0.0;
    QTest::newRow("initial 120") << "InitStorEdit" << "120" << "100"
                                 << "The initial storage be <= the maximum storage" << "100" << 100.0;
    QTest::newRow("initial -1") << "InitStorEdit" << "-1" << "100" << "The initial storage must be >= 0" << "0" << 0.0;
    QTest::newRow("escape 15") << "EscapeEdit" << "15" << "100" << "" << "10" << 10.0;
    QTest::newRow("escape 10") << "EscapeEdit" << "10" << "100" << "" << "10" << 10.0;
    QTest::newRow("escape comma") << "EscapeEdit" << "2,5" << "100" << "" << "2,5" << 2.5;
    QTest::newRow("escape empty") << "EscapeEdit" << "" << "100" << "The escape rate is not a valid real" << "0" << 0.0;
    QTest::newRow("alpha -0.3") << "AcoeffEdit" << "-0.3" << "100" << "" << "-0.3" << -0.3;
    QTest::newRow("runoff -1") << "InitRunEdit" << "-1" << "100" << "The initial runoff must be >= 0" << "0" << 0.0;
  }

  void parameterFieldsShowWhatTheModelHolds() {
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, maxStorage);
    QFETCH(QString, message);
    QFETCH(QString, shown);
    QFETCH(double, held);
    TProgram program;
    ShowInputTab();
    auto* edit = RainForm->findChild<QLineEdit*>(field);
    QVERIFY(edit);
    // The cascade's fields show under the prediction only.
    if (field == "AcoeffEdit" || field == "InitRunEdit")
      Main<QComboBox>("OptionComboBox")->setCurrentIndex(1);
    Main<QLineEdit>("MaxStorEdit")->setText(maxStorage);
    edit->setText(text);
    const std::map<QString, double*> fields = {
        {"MaxStorEdit", &DMQuorell->MaxSto}, {"InitStorEdit", &DMQuorell->IniSto},
        {"EscapeEdit", &DMQuorell->MaxEsc},  {"AcoeffEdit", &DMQuorell->Acoeff},
        {"InitRunEdit", &DMQuorell->RunIni},
    };
    Leave(edit);
    QCOMPARE(program.Prompts.Messages, message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(edit->text(), shown);
    QCOMPARE(*fields.at(field), held);
    if (field == "AcoeffEdit") QCOMPARE(DMQuorell->Analysis().Alpha, held);
  }

  void aCommaSystemReadsBothAndShowsItsOwn() {
    TProgram program;
    const char saved = TRainForm::StartSeparator;
    TRainForm::StartSeparator = ',';
    ShowInputTab();
    Main<QLineEdit>("MaxStorEdit")->setText("7.5");
    Leave(Main<QLineEdit>("MaxStorEdit"));
    QCOMPARE(DMQuorell->MaxSto, 7.5);
    Main<QLineEdit>("EscapeEdit")->setText("2");
    Leave(Main<QLineEdit>("EscapeEdit"));
    QCOMPARE(Main<QLineEdit>("EscapeEdit")->text(), QString("0,75"));
    QCOMPARE(DMQuorell->MaxEsc, 0.75);
    TRainForm::StartSeparator = saved;
  }

  void changingTheOptionClearsTheCellsAndTheTabResetsThem() {
    TProgram program;
    ShowInputTab();
    auto* f = RainForm;
    Main<QLineEdit>("NrOfDataEdit")->setText("40");
    Leave(Main<QLineEdit>("NrOfDataEdit"));
    Type(1, 30, "12.5");
    QVERIFY(f->DataEntered());
    Main<QComboBox>("OptionComboBox")->setCurrentIndex(1);
    QVERIFY(!f->DataEntered());
    QVERIFY(!DMQuorell->IsAnalysis);
    QCOMPARE(DMQuorell->RunTag, std::string(" Pre"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 40);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->ColCount(), 2);
    QCOMPARE(Cell(1, 30), QString("0"));
    QVERIFY(Main<QGroupBox>("AlphaGroupBox")->isVisible());
    QVERIFY(Main<QLineEdit>("InitRunEdit")->isVisible());
    QVERIFY(!Main<QLabel>("RunoffLabel")->isVisible());
    QVERIFY(!Main<QLabel>("InputImage")->isVisible());
    QCOMPARE(Main<TStringGrid>("StringGrid1")->geometry(), QRect(72, 197, 155, 276));

    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("IntroTabSheet"));
    QVERIFY(!DMQuorell->IsAnalysis);  // the Intro tab follows the option box
    ShowInputTab();
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 15);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->ColCount(), 3);
    QCOMPARE(Main<QComboBox>("OptionComboBox")->currentIndex(), 0);
    QVERIFY(DMQuorell->IsAnalysis);
  }

  void clearAllEmptiesTheWindowOnly() {
    TProgram program;
    ShowInputTab();
    auto* f = RainForm;
    Main<QLineEdit>("NrOfDataEdit")->setText("30");
    Leave(Main<QLineEdit>("NrOfDataEdit"));
    Type(0, 0, "5");
    Main<QLineEdit>("Title1Edit")->setText("Area");
    const double maxSto = DMQuorell->MaxSto;
    Main<QPushButton>("ClearButton")->click();
    for (QLineEdit* edit : {Main<QLineEdit>("MaxStorEdit"), Main<QLineEdit>("InitStorEdit"), Main<QLineEdit>("EscapeEdit"), Main<QLineEdit>("AcoeffEdit"), Main<QLineEdit>("InitRunEdit"), Main<QLineEdit>("Title1Edit")})
      QCOMPARE(edit->text(), QString());
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("15"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 15);
    QCOMPARE(Cell(0, 0), QString("0"));
    QVERIFY(!f->DataEntered());
    QCOMPARE(DMQuorell->NrOfData, 30);
    QCOMPARE(DMQuorell->MaxSto, maxSto);
    program.Prompts.Messages.clear();
    Leave(Main<QLineEdit>("MaxStorEdit"));
    QCOMPARE(program.Prompts.Messages, QStringList{"The maximum storage is not a valid real"});
    QCOMPARE(Main<QLineEdit>("MaxStorEdit")->text(), QString("0"));
    // Compared with a maximum storage that is no number, the initial storage
    // goes to the general error box and the model keeps its value.
    Main<QLineEdit>("MaxStorEdit")->clear();
    Main<QLineEdit>("InitStorEdit")->setText("3");
    const double iniSto = DMQuorell->IniSto;
    Leave(Main<QLineEdit>("InitStorEdit"));
    QCOMPARE(program.Prompts.Messages.last(), QString("'' is not a valid floating point value"));
    QCOMPARE(DMQuorell->IniSto, iniSto);
  }

  void theCommitChecksOnlyFieldsThatDifferFromTheModel() {
    TProgram program;
    ShowInputTab();
    auto* f = RainForm;
    // An escape rate above a tenth of the storage, as an opened file may hold it.
    DMQuorell->MaxSto = 5;
    DMQuorell->MaxEsc = 2;
    Main<QLineEdit>("MaxStorEdit")->setText("5");
    Main<QLineEdit>("EscapeEdit")->setText("2");
    Main<QLineEdit>("InitStorEdit")->setText("-4");
    f->CommitFields();
    QCOMPARE(Main<QLineEdit>("EscapeEdit")->text(), QString("2"));
    QCOMPARE(DMQuorell->MaxEsc, 2.0);
    QCOMPARE(program.Prompts.Messages, QStringList{"The initial storage must be >= 0"});
    QCOMPARE(DMQuorell->IniSto, 0.0);
  }
};

TOLVANE_UI_TEST(TInputSheetTest)
#include "ui_test_inputsheet.moc"
