#include "ui/prompts.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>

#include "render/qtcanvas.h"

namespace {

// The default extension without the point some dialogs were given it with.
QString DefaultSuffix(const TFileDialogSpec& spec) {
  return spec.DefaultExt.startsWith('.') ? spec.DefaultExt.mid(1) : spec.DefaultExt;
}

// The application's title heads every message, as the program always had it.
QString BoxTitle() { return ApplicationTitle; }

// A modal box belongs to the window that had the keyboard, and closed it
// gives the keyboard back to it, also where no window manager does that.
// Right after another box that window may not be active again yet: then
// it is the window the last box gave the keyboard back to.
class TOwner {
public:
  TOwner() : Window(QApplication::activeWindow() ? QApplication::activeWindow() : Last.data()) {}
  ~TOwner() {
    if (!Window || !Window->isVisible()) return;
    if (QApplication::activeWindow() != Window) Window->activateWindow();
    Last = Window;
  }
  QWidget* Get() const { return Window; }

private:
  static inline QPointer<QWidget> Last;
  QPointer<QWidget> Window;
};

class TBoxPrompts : public TPrompts {
public:
  void ShowMessage(const QString& text) override {
    TOwner owner;
    QMessageBox box(QMessageBox::NoIcon, BoxTitle(), text, QMessageBox::Ok, owner.Get());
    box.setObjectName("MessageBox");
    box.exec();
  }

  bool AskYesNo(const QString& text) override {
    TOwner owner;
    QMessageBox box(QMessageBox::Question, "Confirm", text, QMessageBox::Yes | QMessageBox::No,
                    owner.Get());
    box.setObjectName("ConfirmBox");
    box.setDefaultButton(QMessageBox::Yes);
    return box.exec() == QMessageBox::Yes;
  }

  QString ChooseFile(const TFileDialogSpec& spec) override {
    TOwner owner;
    QFileDialog dialog(owner.Get());
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
    dialog.setDefaultSuffix(DefaultSuffix(spec));
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
  const QString ext = DefaultSuffix(dialog);
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
