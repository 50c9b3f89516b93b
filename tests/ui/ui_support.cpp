#include "ui/ui_support.h"

#include <QTest>

#include "ui/alfaform.h"
#include "ui/application.h"
#include "ui/rainform.h"

TRandomUseOptions& RandomUseOptions() {
  static TRandomUseOptions options;
  return options;
}

QObject* MainWindow() { return RainForm; }
QObject* Calculator() { return AlfaForm; }

void Leave(QWidget* field) {
  QWidget* window = field->window();
  if (!window->isVisible()) window->show();
  window->activateWindow();
  if (!QTest::qWaitForWindowActive(window)) QTest::qFail("the window does not become active", __FILE__, __LINE__);
  if (!field->isVisible()) QTest::qFail("a hidden field cannot be left", __FILE__, __LINE__);
  if (!field->hasFocus()) {
    field->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
  }
  QTest::keyClick(field, Qt::Key_Tab);
  QCoreApplication::processEvents();
}

void ShowInputTab() { Main<QTabWidget>("PageControl1")->setCurrentWidget(Main<QWidget>("InputTabSheet")); }

bool ActivateInputTab() {
  RainForm->activateWindow();
  if (!QTest::qWaitForWindowActive(RainForm)) return false;
  ShowInputTab();
  return true;
}

void Type(int col, int row, const QString& text) {
  Main<TStringGrid>("StringGrid1")->EditorTextChanged(col, row, text);
  // The sheet's handler runs from the event loop.
  QCoreApplication::processEvents();
}

QString Example(const QString& name) { return QString::fromStdString(SourceDir()) + "/Data/" + name; }

void TTestPrompts::ShowMessage(const QString& text) {
  Messages << text;
  if (OnMessage) OnMessage(text);
}

bool TTestPrompts::AskYesNo(const QString& text) {
  Questions << text;
  if (Decider) return Decider(text);
  if (Answers.empty()) return true;
  const bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

QString TTestPrompts::ChooseFile(const TFileDialogSpec& dialog) {
  DialogsShown << dialog.Name;
  LastDialog = dialog;
  if (Chooser) return Chooser(dialog);
  if (Paths.empty()) {
    QTest::qFail(qPrintable("no answer queued for " + dialog.Name), __FILE__, __LINE__);
    return {};
  }
  const QString path = Paths.front();
  Paths.pop_front();
  return path;
}

namespace {

// The offscreen platform's notes about what it cannot do (raise a window,
// pass size hints to a window manager) are no findings.
QtMessageHandler TestLogHandler = nullptr;

void QuietPlatformNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message.startsWith("This plugin does not support")) return;
  if (TestLogHandler) TestLogHandler(type, context, message);
}

}  // namespace

TProgram::TProgram() : App(std::make_unique<TApplicationWindows>()) {
  static const bool quiet = (TestLogHandler = qInstallMessageHandler(QuietPlatformNotes), true);
  (void)quiet;
  App->Rain->SetPauseMs(1);
  App->Show();
  QCoreApplication::processEvents();
}

TProgram::~TProgram() = default;
