// Start-up, the main window's actions, the Intro tab and the way out.
#include <QFileInfo>
#include <QSignalSpy>
#include <QTimer>
#include <QTest>

#include "ui/application.h"
#include "ui/finishform.h"
#include "ui/helpform.h"
#include "ui/rainform.h"
#include "ui/texts.h"
#include "ui/ui_support.h"

class TStartupTest : public QObject {
  Q_OBJECT

private slots:
  void placementFollowsTheScreenWidth_data() {
    QTest::addColumn<int>("screen");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("width");
    QTest::newRow("640") << 640 << 10 << 630;
    QTest::newRow("675") << 675 << 100 << 666;
    QTest::newRow("800") << 800 << 100 << 675;
  }

  void placementFollowsTheScreenWidth() {
    QFETCH(int, screen);
    TProgram program;
    RainForm->setGeometry(178, 33, 666, 613);  // as designed, before the create event places it
    RainForm->PlaceForScreen(screen);
    QFETCH(int, left);
    QFETCH(int, width);
    QCOMPARE(RainForm->x(), left);
    QCOMPARE(RainForm->width(), width);
  }

  void startsOnTheIntroTabWithTheOptionUnchosen() {
    TProgram program;
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("IntroTabSheet"));
    QCOMPARE(RainForm->windowTitle(), QString("Nash cascade runoff model"));
    QCOMPARE(Main<QComboBox>("OptionComboBox")->currentIndex(), -1);
    QCOMPARE(Main<QComboBox>("OptionComboBox")->placeholderText(),
             QString("Determine alpha from rainfall and runoff data and reconstruct runoff"));
    QCOMPARE(DMQuorell->RunTag, std::string());
    QCOMPARE(DMQuorell->IsAnalysis, false);
    QCOMPARE(RainForm->StatusText(), QString("Click on the Input tab to proceed."));
    QVERIFY(!Main<QAction>("InputSaveAction")->isEnabled());
    QVERIFY(!Main<QLineEdit>("FileNameEdit")->isVisible());
    QVERIFY(!FinishForm->isVisible());
    QVERIFY(!HelpForm->isVisible());
  }

  void theIntroTabSetsDefaultsInTheModelOnly() {
    TProgram program;
    QCOMPARE(DMQuorell->MaxSto, 50.0);
    QCOMPARE(DMQuorell->IniSto, 50.0);
    QCOMPARE(DMQuorell->MaxEsc, 0.1);
    QCOMPARE(Main<QLineEdit>("MaxStorEdit")->text(), QString("100"));
    QCOMPARE(Main<QLineEdit>("InitStorEdit")->text(), QString("80"));
    QCOMPARE(Main<QLineEdit>("EscapeEdit")->text(), QString("2"));
    DMQuorell->MaxSto = 0.001;
    DMQuorell->IniSto = 0;
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("FigureTabSheet"));
    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("IntroTabSheet"));
    QCOMPARE(DMQuorell->MaxSto, 0.001);
    QCOMPARE(DMQuorell->IniSto, 50.0);
  }

  void introButtonsShowOneMemoAtATime() {
    TProgram program;
    auto* f = RainForm;
    auto visible = [f] {
      return QString("%1%2%3").arg(Main<QPlainTextEdit>("IntroMemo")->isVisible()).arg(Main<QPlainTextEdit>("FirstMemo")->isVisible()).arg(
          Main<QPlainTextEdit>("SecondMemo")->isVisible());
    };
    QCOMPARE(visible(), QString("100"));
    Main<QPushButton>("FirstButton")->click();
    QCOMPARE(visible(), QString("010"));
    Main<QPushButton>("SecondButton")->click();
    QCOMPARE(visible(), QString("001"));
    Main<QPushButton>("BackButton")->click();
    QCOMPARE(visible(), QString("100"));
  }

  void theMemosHoldTheirTextsLineByLine() {
    TProgram program;
    const QStringList intro = Main<QPlainTextEdit>("IntroMemo")->toPlainText().split('\n');
    QCOMPARE(intro.size(), 20);
    QCOMPARE(intro[0], QString("                 INTRODUCTION TO THE NASH CASCADE MODEL"));
    QCOMPARE(intro[19], QString(" "));
    QCOMPARE(Main<QPlainTextEdit>("SecondMemo")->toPlainText().split('\n').size(), 40);
    const QStringList help = Control<QPlainTextEdit>(HelpForm, "HelpMemo")->toPlainText().split('\n');
    QCOMPARE(help.size(), 45);
    QVERIFY(help[26].endsWith("and"));
    // The example the help sends the user to is there.
    const QString example = help[26].section('"', 3, 3);
    QVERIFY2(QFileInfo::exists(QString::fromStdString(SourceDir()) + "/" + example), qPrintable(example));
  }

  void actionsEnableAndDisableTheirButtonsAndMenuEntries() {
    TProgram program;
    auto* entry = RainForm->findChild<QAction*>("InputSaveMenu");
    QVERIFY(entry);
    QVERIFY(!entry->isEnabled());
    QVERIFY(!Main<QPushButton>("InputSaveButton")->isEnabled());
    ShowInputTab();
    QVERIFY(entry->isEnabled());
    QVERIFY(Main<QPushButton>("InputSaveButton")->isEnabled());
    QCOMPARE(RainForm->findChild<QAction*>("ProgramExit")->text(), QString("Program e&Xit"));
    QCOMPARE(RainForm->findChild<QAction*>("Paste")->shortcut(), QKeySequence("Ctrl+V"));
  }

  void editActionsFollowTheFocusedControl() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    Main<QLineEdit>("Title1Edit")->setFocus();
    Main<QLineEdit>("Title1Edit")->setText("Catchment");
    Main<QLineEdit>("Title1Edit")->selectAll();
    QApplication::processEvents();
    QVERIFY(Main<QAction>("EditCut1")->isEnabled());
    QVERIFY(Main<QAction>("EditCopy1")->isEnabled());
    Main<QAction>("EditCut1")->trigger();
    QCOMPARE(Main<QLineEdit>("Title1Edit")->text(), QString());
    QVERIFY(!Main<QAction>("EditCut1")->isEnabled());
    QVERIFY(Main<QAction>("EditPaste1")->isEnabled());
    Main<QAction>("EditPaste1")->trigger();
    QCOMPARE(Main<QLineEdit>("Title1Edit")->text(), QString("Catchment"));

    Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("IntroTabSheet"));
    Main<QPlainTextEdit>("IntroMemo")->setFocus();
    Main<QPlainTextEdit>("IntroMemo")->selectAll();
    QApplication::processEvents();
    QVERIFY(Main<QAction>("EditCopy1")->isEnabled());
    QVERIFY(!Main<QAction>("EditCut1")->isEnabled());
    QVERIFY(!Main<QAction>("EditPaste1")->isEnabled());
  }

  void aFieldCheckRunsOnceAndItsBoxSetsOffNoOther() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    Main<QLineEdit>("MaxStorEdit")->setFocus();
    Main<QLineEdit>("MaxStorEdit")->setText("-5");
    // The box takes the focus from the field just entered, and gives it back.
    program.Prompts.OnMessage = [](const QString&) {
      HelpForm->show();
      HelpForm->activateWindow();
      Control<QPlainTextEdit>(HelpForm, "HelpMemo")->setFocus();
      QApplication::processEvents();
      RainForm->activateWindow();
      QApplication::processEvents();
    };
    Main<QLineEdit>("InitStorEdit")->setText("-1");
    QTest::keyClick(Main<QLineEdit>("MaxStorEdit"), Qt::Key_Tab);
    QTRY_COMPARE(program.Prompts.Messages.size(), 1);
    QTest::qWait(50);
    QCOMPARE(program.Prompts.Messages, QStringList{"The maximum storage must be >= 0"});
    QCOMPARE(Main<QLineEdit>("MaxStorEdit")->text(), QString("0"));
    QCOMPARE(Main<QLineEdit>("InitStorEdit")->text(), QString("-1"));  // not left yet
  }

  void closingTheMainWindowGoesThroughTheFinishWindow() {
    TProgram program;
    QSignalSpy ended(FinishForm, &TFinishForm::Finished);
    RainForm->findChild<QAction*>("ProgramExit")->trigger();
    QVERIFY(RainForm->isVisible());
    QVERIFY(FinishForm->isVisible());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(FinishForm->StatusText(), QString("Click Finish to end the program"));
    QCOMPARE(Control<QPlainTextEdit>(FinishForm, "FinishMemo")->toPlainText(), QString(" \n Thank you for using Tolvane\n"));
    RainForm->close();  // the window's own close box does the same
    QVERIFY(RainForm->isVisible());
    Control<QPushButton>(FinishForm, "FinishButton")->click();
    QCOMPARE(ended.count(), 1);

    TProgram again;
    QSignalSpy endedAgain(FinishForm, &TFinishForm::Finished);
    RainForm->close();
    FinishForm->close();
    QCOMPARE(endedAgain.count(), 1);
  }

  void theFinishWindowEndsTheEventLoop() {
    TProgram program;
    QTimer::singleShot(0, [] {
      RainForm->findChild<QAction*>("ProgramExit")->trigger();
      Control<QPushButton>(FinishForm, "FinishButton")->click();
    });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // not ended: fail, not hang
    QCOMPARE(QCoreApplication::exec(), 0);
  }
};

TOLVANE_UI_TEST(TStartupTest)
#include "ui_test_startup.moc"
