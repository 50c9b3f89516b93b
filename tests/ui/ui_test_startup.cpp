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
    QCOMPARE(RainForm->PageControl1->currentWidget(), RainForm->IntroTabSheet);
    QCOMPARE(RainForm->windowTitle(), QString("Nash cascade runoff model"));
    QCOMPARE(RainForm->OptionComboBox->currentIndex(), -1);
    QCOMPARE(RainForm->OptionComboBox->placeholderText(),
             QString("Determine alpha from rainfall and runoff data and reconstruct runoff"));
    QCOMPARE(DMQuorell->RunTag, std::string());
    QCOMPARE(DMQuorell->IsAnalysis, false);
    QCOMPARE(RainForm->StatusText(), QString("Click on the Input tab to proceed."));
    QVERIFY(!RainForm->InputSaveAction->isEnabled());
    QVERIFY(!RainForm->FileNameEdit->isVisible());
    QVERIFY(!FinishForm->isVisible());
    QVERIFY(!HelpForm->isVisible());
  }

  void theIntroTabSetsDefaultsInTheModelOnly() {
    TProgram program;
    QCOMPARE(DMQuorell->MaxSto, 50.0);
    QCOMPARE(DMQuorell->IniSto, 50.0);
    QCOMPARE(DMQuorell->MaxEsc, 0.1);
    QCOMPARE(RainForm->MaxStorEdit->text(), QString("100"));
    QCOMPARE(RainForm->InitStorEdit->text(), QString("80"));
    QCOMPARE(RainForm->EscapeEdit->text(), QString("2"));
    DMQuorell->MaxSto = 0.001;
    DMQuorell->IniSto = 0;
    RainForm->PageControl1->setCurrentWidget(RainForm->FigureTabSheet);
    RainForm->PageControl1->setCurrentWidget(RainForm->IntroTabSheet);
    QCOMPARE(DMQuorell->MaxSto, 0.001);
    QCOMPARE(DMQuorell->IniSto, 50.0);
  }

  void introButtonsShowOneMemoAtATime() {
    TProgram program;
    auto* f = RainForm;
    auto visible = [f] {
      return QString("%1%2%3").arg(f->IntroMemo->isVisible()).arg(f->FirstMemo->isVisible()).arg(
          f->SecondMemo->isVisible());
    };
    QCOMPARE(visible(), QString("100"));
    f->FirstButton->click();
    QCOMPARE(visible(), QString("010"));
    f->SecondButton->click();
    QCOMPARE(visible(), QString("001"));
    f->BackButton->click();
    QCOMPARE(visible(), QString("100"));
  }

  void theMemosHoldTheirTextsLineByLine() {
    TProgram program;
    const QStringList intro = RainForm->IntroMemo->toPlainText().split('\n');
    QCOMPARE(intro.size(), 20);
    QCOMPARE(intro[0], QString("                 INTRODUCTION TO THE NASH CASCADE MODEL"));
    QCOMPARE(intro[19], QString(" "));
    QCOMPARE(RainForm->SecondMemo->toPlainText().split('\n').size(), 40);
    const QStringList help = HelpForm->HelpMemo->toPlainText().split('\n');
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
    QVERIFY(!RainForm->InputSaveButton->isEnabled());
    ShowInputTab();
    QVERIFY(entry->isEnabled());
    QVERIFY(RainForm->InputSaveButton->isEnabled());
    QCOMPARE(RainForm->findChild<QAction*>("ProgramExit")->text(), QString("Program e&Xit"));
    QCOMPARE(RainForm->findChild<QAction*>("Paste")->shortcut(), QKeySequence("Ctrl+V"));
  }

  void editActionsFollowTheFocusedControl() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    RainForm->Title1Edit->setFocus();
    RainForm->Title1Edit->setText("Catchment");
    RainForm->Title1Edit->selectAll();
    QApplication::processEvents();
    QVERIFY(RainForm->EditCut1->isEnabled());
    QVERIFY(RainForm->EditCopy1->isEnabled());
    RainForm->EditCut1->trigger();
    QCOMPARE(RainForm->Title1Edit->text(), QString());
    QVERIFY(!RainForm->EditCut1->isEnabled());
    QVERIFY(RainForm->EditPaste1->isEnabled());
    RainForm->EditPaste1->trigger();
    QCOMPARE(RainForm->Title1Edit->text(), QString("Catchment"));

    RainForm->PageControl1->setCurrentWidget(RainForm->IntroTabSheet);
    RainForm->IntroMemo->setFocus();
    RainForm->IntroMemo->selectAll();
    QApplication::processEvents();
    QVERIFY(RainForm->EditCopy1->isEnabled());
    QVERIFY(!RainForm->EditCut1->isEnabled());
    QVERIFY(!RainForm->EditPaste1->isEnabled());
  }

  void aFieldCheckRunsOnceAndItsBoxSetsOffNoOther() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    RainForm->MaxStorEdit->setFocus();
    RainForm->MaxStorEdit->setText("-5");
    // The box takes the focus from the field just entered, and gives it back.
    program.Prompts.OnMessage = [](const QString&) {
      HelpForm->show();
      HelpForm->activateWindow();
      HelpForm->HelpMemo->setFocus();
      QApplication::processEvents();
      RainForm->activateWindow();
      QApplication::processEvents();
    };
    RainForm->InitStorEdit->setText("-1");
    QTest::keyClick(RainForm->MaxStorEdit, Qt::Key_Tab);
    QTRY_COMPARE(program.Prompts.Messages.size(), 1);
    QTest::qWait(50);
    QCOMPARE(program.Prompts.Messages, QStringList{"The maximum storage must be >= 0"});
    QCOMPARE(RainForm->MaxStorEdit->text(), QString("0"));
    QCOMPARE(RainForm->InitStorEdit->text(), QString("-1"));  // not left yet
  }

  void closingTheMainWindowGoesThroughTheFinishWindow() {
    TProgram program;
    QSignalSpy ended(FinishForm, &TFinishForm::Finished);
    RainForm->findChild<QAction*>("ProgramExit")->trigger();
    QVERIFY(RainForm->isVisible());
    QVERIFY(FinishForm->isVisible());
    QCOMPARE(ended.count(), 0);
    QCOMPARE(FinishForm->StatusText(), QString("Click Finish to end the program"));
    QCOMPARE(FinishForm->FinishMemo->toPlainText(), QString(" \n Thank you for using Tolvane\n"));
    RainForm->close();  // the window's own close box does the same
    QVERIFY(RainForm->isVisible());
    FinishForm->FinishButton->click();
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
      FinishForm->FinishButton->click();
    });
    QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // not ended: fail, not hang
    QCOMPARE(QCoreApplication::exec(), 0);
  }
};

TOLVANE_UI_TEST(TStartupTest)
#include "ui_test_startup.moc"
