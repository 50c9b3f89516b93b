// What the window tests share: prompts that answer at once and record what
// the windows said, the whole program started as the user gets it, and
// the registration of test classes with the shared main.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <deque>

#include "support/test_support.h"
#include "ui/prompts.h"

class QWidget;

class TApplicationWindows;

// Answers every box and dialog at once. File dialogs take the next path
// queued (an empty one cancels); a dialog with no answer queued fails the
// test and is cancelled. Yes/No questions take the next answer queued, Yes
// when none is.
class TTestPrompts : public TPrompts {
public:
  TTestPrompts() { SetPrompts(this); }
  ~TTestPrompts() override { SetPrompts(nullptr); }

  void ShowMessage(const QString& text) override;
  bool AskYesNo(const QString& text) override;
  QString ChooseFile(const TFileDialogSpec& dialog) override;

  QStringList Messages;
  QStringList Questions;
  QStringList DialogsShown;  // object names of the file dialogs, in order
  std::deque<QString> Paths;
  std::deque<bool> Answers;
  // Called while a message is shown, e.g. to look at the window then.
  std::function<void(const QString&)> OnMessage;
  // When set, they answer file dialogs and questions instead of the queues.
  std::function<QString(const TFileDialogSpec&)> Chooser;
  std::function<bool(const QString&)> Decider;
  TFileDialogSpec LastDialog;
};

// The program as start-up makes it, shown, with test prompts; torn down
// at the end.
class TProgram {
public:
  TProgram();
  ~TProgram();
  TApplicationWindows& Windows() { return *App; }
  TTestPrompts Prompts;

private:
  std::unique_ptr<TApplicationWindows> App;
};

// A control of a window by its object name, as a user's tool finds it; a
// name the window does not have ends the test run.
template <typename T>
T* Control(QObject* window, const char* name) {
  T* control = window->findChild<T*>(QString::fromLatin1(name));
  if (!control) qFatal("%s has no control %s", qPrintable(window->objectName()), name);
  return control;
}
// Of the main window and of the calculator.
QObject* MainWindow();
QObject* Calculator();
template <typename T>
T* Main(const char* name) {
  return Control<T>(MainWindow(), name);
}
template <typename T>
T* Calc(const char* name) {
  return Control<T>(Calculator(), name);
}

// Leaves a field by Tab, as a user does: its window is made active, the
// field takes the focus and gives it on, and its exit check runs.
void Leave(QWidget* field);

// The Input tab brought to the front.
void ShowInputTab();
// The main window made active (false when it does not become so), then
// the Input tab shown.
bool ActivateInputTab();
// Typing into a cell, as the cell editor reports it.
void Type(int col, int row, const QString& text);
// An example file of Data/.
QString Example(const QString& name);

// Options of the window tests' command line after the class name:
// --seeds N, --first-seed S and --steps N for the random-use test.
struct TRandomUseOptions {
  int Seeds = 3;
  int FirstSeed = 4;
  int Steps = 300;
};
TRandomUseOptions& RandomUseOptions();

using TTestFactory = std::function<QObject*()>;
bool RegisterUiTest(const char* file, TTestFactory factory, bool needsSharedData = false);

// Registers a test class under the name of its source file.
#define TOLVANE_UI_TEST(TClass) \
  static const bool TClass##Registered = RegisterUiTest(__FILE__, [] { return new TClass; });
// One that reads the shared data: run alone without it, it exits with 77,
// which ctest reports as skipped.
#define TOLVANE_UI_TEST_NEEDING_SHARED_DATA(TClass) \
  static const bool TClass##Registered =            \
      RegisterUiTest(__FILE__, [] { return new TClass; }, true);
