#include "ui/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include "render/qtcanvas.h"

namespace {

// The application's title heads every message, as the program always had it.
QString BoxTitle() { return ApplicationTitle; }

// A modal box closed gives the keyboard back to the window that had it,
// also where no window manager does that.
class TKeepActive {
public:
  ~TKeepActive() {
    if (Before && Before->isVisible() && QApplication::activeWindow() != Before) Before->activateWindow();
  }

private:
  QPointer<QWidget> Before = QApplication::activeWindow();
};

class TBoxPrompts : public TPrompts {
public:
  void ShowMessage(const QString& text) override {
    TKeepActive keep;
    QMessageBox box(QMessageBox::NoIcon, BoxTitle(), text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setObjectName("MessageBox");
    box.exec();
  }

  bool AskYesNo(const QString& text) override {
    TKeepActive keep;
    QMessageBox box(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No,
                    QApplication::activeWindow());
    box.setObjectName("ConfirmBox");
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
  }

  QString ChooseFile(const TFileDialogSpec& spec) override {
    TKeepActive keep;
    QFileDialog dialog(QApplication::activeWindow());
    dialog.setObjectName(spec.Name);
    // Qt's own dialog: it can be driven by keyboard and read back through
    // the accessibility interface on any desktop, or on none.
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // The program asks about overwriting itself, and tells about files
    // that do not exist.
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setAcceptMode(spec.Save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setWindowTitle(spec.Save ? "Save As" : "Open");
    const auto parts = spec.Filter.split('|');
    dialog.setNameFilter(parts.value(0));
    if (!spec.InitialDir.isEmpty()) dialog.setDirectory(spec.InitialDir);
    QString ext = spec.DefaultExt;
    if (ext.startsWith('.')) ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    return dialog.selectedFiles().first();
  }
};

TBoxPrompts RealPrompts;
TPrompts* CurrentPrompts = &RealPrompts;

}  // namespace

TPrompts& Prompts() { return *CurrentPrompts; }

void SetPrompts(TPrompts* prompts) { CurrentPrompts = prompts ? prompts : &RealPrompts; }

QString ExecuteFileDialog(const TFileDialogSpec& dialog) {
  QString path = Prompts().ChooseFile(dialog);
  if (path.isEmpty()) return path;
  QString ext = dialog.DefaultExt;
  if (ext.startsWith('.')) ext.remove(0, 1);
  if (!ext.isEmpty() && !QFileInfo(path).fileName().contains('.')) path += "." + ext;
  return path;
}

void TWindowDialogs::ShowMessage(const std::string& text) {
  Prompts().ShowMessage(FromFileText(text));
}

bool TWindowDialogs::AskYesNo(const std::string& text) {
  return Prompts().AskYesNo(FromFileText(text));
}

void TWindowDialogs::ShowProgramError(const std::string& text) {
  Prompts().ShowMessage(FromFileText(text));
}

void TWindowDialogs::ShowPointsRead(int count) {
  if (OnPointsRead) OnPointsRead(count);
}
