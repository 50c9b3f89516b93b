// The window used as a careless user would: random clicks on every enabled
// button, random tabs, menu entries by mnemonic, random texts typed into
// fields and cells, blocks of every shape pasted, every box and dialog
// answered at random from good and bad answers. After every action the
// program must be alive and its sheet consistent. A seed that ever failed
// stays below as a regression case; more seeds by hand with
//   tolvane_ui_tests ui_test_randomuse --seeds 50 --first-seed 100 --steps 1000
#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <cstring>
#include <random>
#include <vector>

#include "base/numparse.h"
#include "ui/alfaform.h"
#include "ui/helpform.h"
#include "ui/importform.h"
#include "ui/rainform.h"
#include "ui/stringgrid.h"
#include "ui/ui_support.h"

namespace {

// Seeds that once failed; they run on every test run.
// Seed 3 found that a failed "Open input" switched the model's option.
const std::vector<int> KeptSeeds = {3};

const char* const Texts[] = {"-",     "1e999", "1,5", "NaN", "\u0663", "\t", "x",      "",
                             "1e300", "-1",    "2,5", "abc", "5",      "0",  "12",     "1600",
                             "0.001", " 7 ",   "1.2.3", "+", "1e-320", "١٢", "0x10",   "15",
                             "3",     "100",   "-0",  "inf", "9999999999999999999999"};

const char* const Cells[] = {"x", "", "1e300", "-1", "2,5", "0", "1", "0.5", "3", "NaN", "12.75"};

// Typed key by key; what has no key of its own comes as the text of a key
// press, as an input method sends it.
void TypeText(QWidget* widget, const QString& text) {
  for (const QChar ch : text) {
    if (!widget || !widget->isVisible()) return;
    if ((ch.unicode() >= 32 && ch.unicode() < 127) || ch == QLatin1Char('\t')) {
      QTest::keyClick(widget, static_cast<char>(ch.unicode()));
    } else {
      QTest::sendKeyEvent(QTest::Press, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
      QTest::sendKeyEvent(QTest::Release, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
  }
}

class TRandomUser {
public:
  TRandomUser(unsigned seed, TProgram& program, const TScratchDir& dir)
      : Rng(seed), Program(program) {
    MakeAnswers(dir);
    Program.Prompts.Chooser = [this](const TFileDialogSpec& dialog) {
      const QString answer = Answers[Pick(static_cast<std::size_t>(Answers.size()))];
      Note(dialog.Name + " answered \"" + answer + "\"");
      return answer;
    };
    Program.Prompts.Decider = [this](const QString&) { return Pick(2) == 0; };
  }

  // One random action; its description goes into the trace.
  void Step() {
    switch (Pick(12)) {
      case 0:
      case 1: ClickButton(); break;
      case 2: ChooseTab(); break;
      case 3: MenuEntry(); break;
      case 4:
      case 5: TypeIntoField(); break;
      case 6: PressTab(); break;
      case 7:
      case 8: TypeIntoCell(); break;
      case 9: PasteBlock(); break;
      case 10: ClickRadioOrOption(); break;
      default: CloseSideWindow(); break;
    }
    QCoreApplication::processEvents();
  }

  // Empty when the window is as it should be, otherwise what is wrong.
  QString Check() const {
    if (!RainForm) return "the main window is gone";
    if (QApplication::activeModalWidget()) return "a modal box is left open";
    auto* grid = Main<TStringGrid>("StringGrid1");
    if (grid->model()->rowCount() != grid->RowCount())
      return QString("the grid shows %1 rows of %2").arg(grid->model()->rowCount()).arg(grid->RowCount());
    if (grid->model()->columnCount() != grid->ColCount()) return "the grid shows other columns than it holds";
    if (grid->ColCount() != (DMQuorell->IsAnalysis || Main<QComboBox>("OptionComboBox")->currentIndex() < 0 ? 3 : 2))
      return QString("%1 columns under the option chosen").arg(grid->ColCount());
    // A parameter field that was left shows a number the model reads (or
    // is empty after "Clear all", until it is left).
    for (const char* name : {"MaxStorEdit", "InitStorEdit", "EscapeEdit", "InitRunEdit", "AcoeffEdit"}) {
      auto* edit = Main<QLineEdit>(name);
      if (edit->hasFocus() || edit == LastTyped) continue;
      const std::string text = edit->text().toStdString();
      if (!text.empty() && !StringToFloat(text, '.') && !StringToFloat(text, ','))
        return QString("%1 shows \"%2\"").arg(name, edit->text());
    }
    return {};
  }

  QStringList Trace;

private:
  int Pick(std::size_t n) { return static_cast<int>(std::uniform_int_distribution<std::size_t>(0, n - 1)(Rng)); }
  template <typename T>
  T* Any(const QList<T*>& list) {
    return list.isEmpty() ? nullptr : list[Pick(static_cast<std::size_t>(list.size()))];
  }
  void Note(const QString& what) {
    Trace << what;
    if (Trace.size() > 12) Trace.removeFirst();
  }

  void MakeAnswers(const TScratchDir& dir) {
    namespace fs = std::filesystem;
    for (const auto& entry : fs::directory_iterator(SourceDir() + "/Data")) {
      const fs::path copy = dir.Path / entry.path().filename();
      fs::copy_file(entry.path(), copy, fs::copy_options::overwrite_existing);
      Answers << QString::fromStdString(copy.string());
    }
    fs::create_directory(dir.Path / "folder.inp");
    WriteFileBytes(dir.File("empty.inp"), "");
    WriteFileBytes(dir.File("empty.out"), "");
    std::string noise;
    for (int i = 0; i < 3000; ++i) noise += static_cast<char>(Rng() % 256);
    WriteFileBytes(dir.File("noise.inp"), noise);
    WriteFileBytes(dir.File("noise.out"), noise);
    WriteFileBytes(dir.File("nobitmap.bmp"), "BM this is no bitmap");
    const QString folder = QString::fromStdString(dir.Path.string());
    Answers << folder + "/folder.inp" << folder + "/empty.inp" << folder + "/empty.out"
            << folder + "/noise.inp" << folder + "/noise.out" << folder + "/nobitmap.bmp"
            << "/proc/self/mem" << folder + "/a\x01" "b.inp" << folder + "/" + QString(300, 'n') + ".inp"
            << "/no/such/folder/x.inp" << QString() << folder + "/saved.inp" << folder + "/saved.bmp"
            << folder + "/saved" << folder;
  }

  QString RandomText() {
    if (Pick(8) == 0) {
      QString junk;
      for (int i = Pick(12); i >= 0; --i) junk += QChar(static_cast<char16_t>(32 + Pick(200)));
      return junk;
    }
    return QString::fromUtf8(Texts[Pick(std::size(Texts))]);
  }

  QString RandomBlock() {
    const int lines = Pick(5) == 0 ? 1 + Pick(1600) : 1 + Pick(40);
    const int columns = 2 + Pick(3);
    const char* const separators[] = {"\t", ";", ","};
    const char* const ends[] = {"\r\n", "\n", "\r"};
    const QString separator = separators[Pick(3)];
    const QString end = ends[Pick(3)];
    QString block;
    for (int line = 0; line < lines; ++line) {
      for (int c = 0; c < columns; ++c) {
        if (c > 0) block += separator;
        if (Pick(10) == 0) block += Cells[Pick(std::size(Cells))];
        else block += c == 0 ? QString::number(line + 1) : QString::number(Pick(100) / 4.0);
      }
      if (line + 1 < lines || Pick(2) == 0) block += end;
    }
    return block;
  }

  QList<QWidget*> Windows() const {
    QList<QWidget*> windows{RainForm};
    for (QWidget* w : {static_cast<QWidget*>(AlfaForm), static_cast<QWidget*>(HelpForm)})
      if (w && w->isVisible()) windows << w;
    return windows;
  }

  template <typename T>
  QList<T*> Usable() const {
    QList<T*> found;
    for (QWidget* window : Windows())
      for (T* w : window->findChildren<T*>())
        if (w->isVisible() && w->isEnabled()) found << w;
    return found;
  }

  void ClickButton() {
    QList<QPushButton*> buttons;
    for (QPushButton* b : Usable<QPushButton>())
      if (b->objectName() != "FinishButton") buttons << b;
    if (QPushButton* b = Any(buttons)) {
      Note("click " + b->objectName());
      QTest::mouseClick(b, Qt::LeftButton);
    }
  }

  void ChooseTab() {
    auto* tabs = Main<QTabWidget>("PageControl1");
    const int index = Pick(static_cast<std::size_t>(tabs->count()));
    Note(QString("tab %1").arg(index));
    QTest::mouseClick(tabs->tabBar(), Qt::LeftButton, {}, tabs->tabBar()->tabRect(index).center());
  }

  void MenuEntry() {
    // By mnemonic, as Alt+F then a letter; the menu closes again if the
    // letter names no entry.
    const bool file = Pick(2) == 0;
    const char* const letters = file ? "IOGNRTX" : "CTP";
    const char letter = letters[Pick(std::strlen(letters))];
    if (file && letter == 'X') return;  // the way out of the program is no random action
    Note(QString("menu %1 %2").arg(file ? "File" : "Edit").arg(letter));
    QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : RainForm;
    QTest::keyClick(focus, file ? Qt::Key_F : Qt::Key_E, Qt::AltModifier);
    QCoreApplication::processEvents();
    if (QWidget* popup = QApplication::activePopupWidget()) {
      QTest::keyClick(popup, static_cast<Qt::Key>(letter));
      QCoreApplication::processEvents();
    }
    while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (auto* import = RainForm->findChild<TImportForm*>("ImportForm")) UseImport(import);
  }

  // The import dialog: a table chosen at random, then OK when it can be
  // taken, or Cancel.
  void UseImport(TImportForm* form) {
    if (Pick(3) > 0) Control<QPushButton>(form, "BrowseButton")->click();
    auto* buttons = Control<QDialogButtonBox>(form, "ImportButtons");
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    const bool take = ok->isEnabled() && Pick(2) == 0;
    Note(take ? "import OK" : "import Cancel");
    (take ? ok : buttons->button(QDialogButtonBox::Cancel))->click();
    QCoreApplication::processEvents();
  }

  void TypeIntoField() {
    if (QLineEdit* edit = Any(Usable<QLineEdit>())) {
      if (qobject_cast<TCellEditor*>(edit)) return;
      const QString text = RandomText();
      Note(QString("type \"%1\" into %2").arg(text, edit->objectName()));
      QTest::mouseClick(edit, Qt::LeftButton);
      if (!edit->hasFocus()) return;  // a box of the field left took it
      if (Pick(3) > 0) edit->selectAll();
      TypeText(edit, text);
      LastTyped = edit;
    }
  }

  void PressTab() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus) return;
    Note("Tab from " + focus->objectName());
    QTest::keyClick(focus, Qt::Key_Tab, Pick(4) == 0 ? Qt::ShiftModifier : Qt::NoModifier);
    LastTyped = nullptr;
  }

  TCellEditor* OpenCell() {
    auto* grid = Main<TStringGrid>("StringGrid1");
    if (!grid->isVisible() || grid->RowCount() == 0) return nullptr;
    const int row = Pick(static_cast<std::size_t>(std::min(grid->RowCount(), 8)));
    const int col = Pick(static_cast<std::size_t>(grid->ColCount()));
    const QRect cell = grid->visualRect(grid->model()->index(row, col));
    if (!grid->viewport()->rect().contains(cell.center())) return nullptr;
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    QCoreApplication::processEvents();
    return qobject_cast<TCellEditor*>(QApplication::focusWidget());
  }

  void TypeIntoCell() {
    const QString text = RandomText();
    Note(QString("type \"%1\" into a cell").arg(text));
    if (TCellEditor* editor = OpenCell()) TypeText(editor, text);
  }

  void PasteBlock() {
    const QString block = RandomBlock();
    QApplication::clipboard()->setText(block);
    Note(QString("paste %1 characters, %2 line ends").arg(block.size()).arg(block.count('\n') + block.count('\r')));
    TCellEditor* editor = OpenCell();
    if (!editor) return;
    if (Pick(2) == 0) {
      QTest::keySequence(editor, QKeySequence::Paste);
    } else {
      Main<QAction>("EditPaste1")->trigger();
    }
  }

  void ClickRadioOrOption() {
    if (Pick(2) == 0) {
      if (QRadioButton* radio = Any(Usable<QRadioButton>())) {
        Note("click " + radio->objectName());
        QTest::mouseClick(radio, Qt::LeftButton);
      }
      return;
    }
    if (QComboBox* box = Any(Usable<QComboBox>())) {
      Note("choose in " + box->objectName());
      QTest::mouseClick(box, Qt::LeftButton);
      while (QWidget* popup = QApplication::activePopupWidget()) popup->close();
      if (box->hasFocus()) QTest::keyClick(box, Pick(2) == 0 ? Qt::Key_Down : Qt::Key_Up);
    }
  }

  void CloseSideWindow() {
    for (QWidget* w : {static_cast<QWidget*>(AlfaForm), static_cast<QWidget*>(HelpForm)}) {
      if (w && w->isVisible() && Pick(2) == 0) {
        Note("Escape in " + w->objectName());
        QTest::keyClick(w, Qt::Key_Escape);
      }
    }
  }

  std::mt19937 Rng;
  TProgram& Program;
  QStringList Answers;
  QLineEdit* LastTyped = nullptr;  // may hold anything until it is left
};

}  // namespace

class TRandomUseTest : public QObject {
  Q_OBJECT

private slots:
  void survivesACarelessUser_data() {
    QTest::addColumn<int>("seed");
    const auto& options = RandomUseOptions();
    for (int seed : KeptSeeds) QTest::newRow(qPrintable(QString("kept %1").arg(seed))) << seed;
    for (int i = 0; i < options.Seeds; ++i) {
      const int seed = options.FirstSeed + i;
      QTest::newRow(qPrintable(QString("seed %1").arg(seed))) << seed;
    }
  }

  void survivesACarelessUser() {
    QFETCH(int, seed);
    TProgram program;
    TScratchDir dir;
    TRandomUser user(static_cast<unsigned>(seed), program, dir);
    QVERIFY(ActivateInputTab());
    for (int step = 1; step <= RandomUseOptions().Steps; ++step) {
      user.Step();
      const QString wrong = user.Check();
      if (!wrong.isEmpty()) {
        QFAIL(qPrintable(QString("seed %1, step %2: %3\n  after: %4")
                             .arg(seed)
                             .arg(step)
                             .arg(wrong, user.Trace.join("\n         "))));
      }
    }
    qInfo("seed %d: %lld messages, %lld questions, %lld file dialogs", seed,
          static_cast<long long>(program.Prompts.Messages.size()),
          static_cast<long long>(program.Prompts.Questions.size()),
          static_cast<long long>(program.Prompts.DialogsShown.size()));
  }

  // The message of a cell edit comes while the cell editor is still in its
  // key press; a real box takes the focus there (which closes the editor)
  // and runs an event loop of its own (which deletes it).
  void aBoxOpenedByTypingInACellLeavesTheEditorWhole() {
    TProgram program;
    QVERIFY(ActivateInputTab());
    Main<QLineEdit>("NrOfDataEdit")->setText("abc");
    Leave(Main<QLineEdit>("NrOfDataEdit"));
    QCOMPARE(program.Prompts.Messages, QStringList{"The number of data is not a valid integer"});
    program.Prompts.OnMessage = [](const QString&) {
      QDialog box(RainForm);
      box.show();
      box.activateWindow();
      box.setFocus();
      QEventLoop loop;
      QTimer::singleShot(30, &loop, &QEventLoop::quit);
      loop.exec();
    };
    auto* grid = Main<TStringGrid>("StringGrid1");
    const QRect first = grid->visualRect(grid->model()->index(0, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, first.center());
    auto* editor = qobject_cast<TCellEditor*>(QApplication::focusWidget());
    QVERIFY(editor);
    QTest::keyClicks(editor, "5");
    QTRY_COMPARE(program.Prompts.Messages.size(), 2);
    QCOMPARE(program.Prompts.Messages.last(), QString("The number of data is not a valid integer"));
    QCOMPARE(grid->Cell(0, 0), QString("5"));
  }
};

TOLVANE_UI_TEST(TRandomUseTest)
#include "ui_test_randomuse.moc"
