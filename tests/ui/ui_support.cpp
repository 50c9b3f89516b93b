#include "ui/ui_support.h"

#include <QTest>

#include "ui/application.h"
#include "ui/rainform.h"

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

TProgram::TProgram() : App(std::make_unique<TApplicationWindows>()) {
  App->Rain->PauseMs = 1;
  App->Show();
  QCoreApplication::processEvents();
}

TProgram::~TProgram() = default;
