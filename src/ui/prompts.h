// Message boxes and file dialogs of the windows. The program shows real Qt
// boxes and Qt's own file dialog; tests put in prompts of their own that
// answer at once, so that nothing ever waits on a modal box.
#pragma once

#include <QString>
#include <functional>

#include "model/dmquorell.h"

// The title of the program, as its task-bar entry and its messages show it.
inline constexpr char ApplicationTitle[] = "Quorell rainfall runoff relations";

struct TFileDialogSpec {
  QString Name;        // the dialog's object name, e.g. "InputOpenDialog"
  bool Save = false;   // a save dialog rather than an open dialog
  QString DefaultExt;  // added to a name typed without extension; a leading "." is allowed
  QString Filter;      // description, vertical bar, pattern: "Input files (*.inp)|*.inp"
  QString InitialDir;
};

class TPrompts {
public:
  virtual ~TPrompts() = default;
  // A modal message with one OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // Yes and No; true for Yes.
  virtual bool AskYesNo(const QString& text) = 0;
  // The path the user chose or typed; empty when the dialog was cancelled.
  virtual QString ChooseFile(const TFileDialogSpec& dialog) = 0;
};

// The prompts in use: the real boxes unless a test has put in its own.
TPrompts& Prompts();
// nullptr puts the real boxes back.
void SetPrompts(TPrompts* prompts);

// Runs the dialog; the chosen path with the default extension added to a
// file name that has none. Empty when cancelled.
QString ExecuteFileDialog(const TFileDialogSpec& dialog);

// The core's user: messages and questions through the prompts; the count
// of points a determination read goes to onPointsRead.
class TWindowDialogs : public TUserDialogs {
public:
  explicit TWindowDialogs(std::function<void(int)> onPointsRead = {})
      : OnPointsRead(std::move(onPointsRead)) {}
  void ShowMessage(const std::string& text) override;
  bool AskYesNo(const std::string& text) override;
  void ShowProgramError(const std::string& text) override;
  void ShowPointsRead(int count) override;

private:
  std::function<void(int)> OnPointsRead;
};
