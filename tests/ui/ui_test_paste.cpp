// Blocks pasted into the grid through the clipboard, as from a spreadsheet.
#include <QApplication>
#include <QClipboard>
#include <QTest>

#include "sheet/pasteblock.h"
#include "ui/rainform.h"
#include "ui/ui_support.h"

namespace {

QString Block(int lines, int firstTime = 1, const QString& end = "\r\n") {
  QString text;
  for (int i = 0; i < lines; ++i)
    text += QString("%1\t%2\t%3").arg(firstTime + i).arg(i % 4 == 0 ? "2,5" : "0").arg(0.5 + i % 3) + end;
  return text;
}

// The grid focused with its cell editor open on (col, row).
TCellEditor* OpenEditor(int col, int row) {
  if (!ActivateInputTab()) return nullptr;
  auto* grid = Main<TStringGrid>("StringGrid1");
  grid->setCurrentIndex(grid->model()->index(row, col));
  grid->setFocus();
  QApplication::processEvents();
  return qobject_cast<TCellEditor*>(grid->indexWidget(grid->currentIndex()));
}

// An entry of the Edit menu chosen by keyboard: Alt+E, then its letter.
void EditMenuByKeyboard(QWidget* focus, Qt::Key letter) {
  QTest::keyClick(focus, Qt::Key_E, Qt::AltModifier);
  QApplication::processEvents();
  QWidget* menu = QApplication::activePopupWidget();
  QVERIFY2(menu, "the Edit menu did not open");
  QTest::keyClick(menu, letter);
  QApplication::processEvents();
}

}  // namespace

class TPasteTest : public QObject {
  Q_OBJECT

private slots:
  void tabLeavesTheGridAtItsEnds() {
    TProgram program;
    auto* editor = OpenEditor(0, 0);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), Main<QLineEdit>("EscapeEdit"));
    // Within the grid Tab goes on to the next cell; after the last one it
    // leaves for the next control shown.
    editor = OpenEditor(1, 14);
    QVERIFY(editor);
    QTest::keyClick(editor, Qt::Key_Tab);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->currentIndex(), Main<TStringGrid>("StringGrid1")->model()->index(14, 2));
    auto* last = qobject_cast<TCellEditor*>(QApplication::focusWidget());
    QVERIFY(last);
    QTest::keyClick(last, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), Main<QPushButton>("ClearButton"));
  }

  void changingTheOptionLeavesTheFocusWithIt() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    Main<QComboBox>("OptionComboBox")->setFocus();
    QTest::keyClick(Main<QComboBox>("OptionComboBox"), Qt::Key_Down);
    QCOMPARE(Main<QComboBox>("OptionComboBox")->currentIndex(), 1);
    QCOMPARE(QApplication::focusWidget(), Main<QComboBox>("OptionComboBox"));
    // The grid opens its editor again once it is entered.
    Main<TStringGrid>("StringGrid1")->setFocus();
    QVERIFY(qobject_cast<TCellEditor*>(QApplication::focusWidget()));
  }

  void ctrlVInTheCellEditorSpreadsTheBlock() {
    TProgram program;
    auto* editor = OpenEditor(0, 0);
    QVERIFY(editor);
    QApplication::clipboard()->setText(Block(100));
    QTest::keySequence(editor, QKeySequence::Paste);
    QApplication::processEvents();  // the sheet takes it from the event loop
    auto* f = RainForm;
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 100);
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("100"));
    QCOMPARE(DMQuorell->NrOfData, 100);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->Cell(1, 4), QString("2,5"));
    QCOMPARE(DMQuorell->Rains[4], 2.5);
    QCOMPARE(DMQuorell->Runoffs[99], 0.5);
    QVERIFY(f->DataEntered());
    QVERIFY(program.Prompts.Questions.isEmpty());
    QVERIFY(program.Prompts.Messages.isEmpty());
    QCOMPARE(f->SheetRows(), 100);
  }

  void theEditMenuPastesIntoTheCellToo() {
    TProgram program;
    QVERIFY(OpenEditor(0, 5));
    QApplication::clipboard()->setText(Block(20, 6, "\n"));  // line feeds alone
    QVERIFY(Main<QAction>("EditPaste1")->isEnabled());
    RainForm->findChild<QAction*>("Paste")->trigger();
    QApplication::processEvents();  // the sheet takes it from the event loop
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 25);
    QCOMPARE(DMQuorell->Times[24], 25.0);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->Cell(0, 4), QString("0"));
  }

  // The keyboard path of each Edit entry does what the mouse path does: in a
  // cell and in an edit, the entry works on the control that had the focus.
  void theEditMenuByKeyboard_data() {
    QTest::addColumn<bool>("inCell");
    QTest::addColumn<int>("letter");
    QTest::addColumn<QString>("clip");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clipAfter");
    for (bool inCell : {true, false}) {
      const char* where = inCell ? "cell" : "Title1";
      // The control holds "4.25" all selected; the clipboard "7.5".
      QTest::newRow(qPrintable(QString("%1 paste").arg(where))) << inCell << int(Qt::Key_P) << "7.5" << "7.5" << "7.5";
      QTest::newRow(qPrintable(QString("%1 copy").arg(where))) << inCell << int(Qt::Key_C) << "7.5" << "4.25" << "4.25";
      QTest::newRow(qPrintable(QString("%1 cut").arg(where))) << inCell << int(Qt::Key_T) << "7.5" << "" << "4.25";
    }
  }

  void theEditMenuByKeyboard() {
    QFETCH(bool, inCell);
    QFETCH(int, letter);
    QFETCH(QString, clip);
    QFETCH(QString, text);
    QFETCH(QString, clipAfter);
    TProgram program;
    QLineEdit* edit = inCell ? OpenEditor(1, 2) : Main<QLineEdit>("Title1Edit");
    QVERIFY(edit);
    if (!inCell) {
      QVERIFY(ActivateInputTab());
      edit->setFocus();
    }
    QTest::keyClicks(edit, "4.25");
    edit->selectAll();
    QApplication::processEvents();
    QApplication::clipboard()->setText(clip);
    EditMenuByKeyboard(edit, static_cast<Qt::Key>(letter));
    QApplication::processEvents();  // the sheet takes a cell's text from the event loop
    QCOMPARE(inCell ? Main<TStringGrid>("StringGrid1")->Cell(1, 2) : edit->text(), text);
    QCOMPARE(QApplication::clipboard()->text(), clipAfter);
    if (inCell) QVERIFY(RainForm->DataEntered());
  }

  void fewerLinesAskToKeepTheOriginalNumber() {
    TProgram program;
    auto* editor = OpenEditor(0, 0);
    QVERIFY(editor);
    QApplication::clipboard()->setText(Block(10));
    program.Prompts.Answers = {false};
    editor->PasteFromClipboard();
    QApplication::processEvents();  // the sheet takes it from the event loop
    QCOMPARE(program.Prompts.Questions, QStringList{KeepRowsQuestion});
    QCOMPARE(program.Prompts.Messages, QStringList{" The minimum number of data is 12"});
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("12"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 10);
    QCOMPARE(DMQuorell->NrOfData, 10);

    TProgram again;
    QVERIFY((editor = OpenEditor(0, 0)));
    again.Prompts.Answers = {true};
    editor->PasteFromClipboard();
    QApplication::processEvents();  // the sheet takes it from the event loop
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 15);
    QCOMPARE(Main<QLineEdit>("NrOfDataEdit")->text(), QString("15"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->Cell(0, 12), QString("0"));
  }

  void aBlockThatCannotBeReadIsReported() {
    TProgram program;
    auto* editor = OpenEditor(0, 0);
    QVERIFY(editor);
    QApplication::clipboard()->setText("1\t1\t1\r\n3.5\t1\t1\r\n");
    editor->PasteFromClipboard();
    QApplication::processEvents();  // the sheet takes it from the event loop
    QCOMPARE(program.Prompts.Messages, QStringList{PasteFailedText});
    QVERIFY(!RainForm->DataEntered());
    QCOMPARE(Main<QTabWidget>("PageControl1")->currentWidget(), Main<QWidget>("InputTabSheet"));
  }

  void aSingleValueIsTypedIntoTheCell() {
    TProgram program;
    auto* editor = OpenEditor(1, 2);
    QVERIFY(editor);
    QApplication::clipboard()->setText("4.25");
    QTest::keySequence(editor, QKeySequence::Paste);
    QApplication::processEvents();  // the sheet takes it from the event loop
    QCOMPARE(Main<TStringGrid>("StringGrid1")->Cell(1, 2), QString("4.25"));
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 15);
    QVERIFY(RainForm->DataEntered());
  }

  void underThePredictionTheBlockFillsTwoColumns() {
    TProgram program;
    ShowInputTab();
    Main<QComboBox>("OptionComboBox")->setCurrentIndex(1);
    auto* editor = OpenEditor(0, 0);
    QVERIFY(editor);
    QApplication::clipboard()->setText(Block(30));
    editor->PasteFromClipboard();
    QApplication::processEvents();  // the sheet takes it from the event loop
    QCOMPARE(Main<TStringGrid>("StringGrid1")->RowCount(), 30);
    QCOMPARE(Main<TStringGrid>("StringGrid1")->ColCount(), 2);
    QVERIFY(!DMQuorell->IsAnalysis);
    QCOMPARE(Main<QComboBox>("OptionComboBox")->currentIndex(), 1);
  }
};

TOLVANE_UI_TEST(TPasteTest)
#include "ui_test_paste.moc"
