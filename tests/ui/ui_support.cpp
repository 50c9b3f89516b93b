#include "ui/ui_support.h"

#include <QTest>

#include "ui/application.h"
#include "ui/rainform.h"

void ShowInputTab() { RainForm->PageControl1->setCurrentWidget(RainForm->InputTabSheet); }

bool ActivateInputTab() {
  RainForm->activateWindow();
  if (!QTest::qWaitForWindowActive(RainForm)) return false;
  ShowInputTab();
  return true;
}

void Type(int col, int row, const QString& text) {
  RainForm->StringGrid1->EditorTextChanged(col, row, text);
}

QString Example(const QString& name) { return QString::fromStdString(SourceDir()) + "/Data/" + name; }

void TTestPrompts::ShowMessage(const QString& text) {
  Messages << text;
  if (OnMessage) OnMessage(text);
}

bool TTestPrompts::AskYesNo(const QString& text) {
  Questions << text;
  if (Answers.empty()) return true;
  const bool answer = Answers.front();
  Answers.pop_front();
  return answer;
}

QString TTestPrompts::ChooseFile(const TFileDialogSpec& dialog) {
  DialogsShown << dialog.Name;
  LastDialog = dialog;
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
  App->Rain->PauseMs = 1;
  App->Show();
  QCoreApplication::processEvents();
}

TProgram::~TProgram() = default;
