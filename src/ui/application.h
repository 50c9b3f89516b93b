// Start-up of the windowed program.
#pragma once

#include <QApplication>
#include <memory>

#include "model/dmquorell.h"
#include "model/workpool.h"
#include "ui/prompts.h"

class TRainForm;
class TFinishForm;
class THelpForm;
class TAlfaForm;

// The application object. An error that no handler has caught (a file
// that cannot be read or written, a number that cannot be converted) is
// shown in a message box here, and the program goes on: nothing of it ever
// crosses Qt's event loop.
class TApplication : public QApplication {
public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the general error box for what a handler let through.
void ShowGeneralError(const std::exception& error);

// Runs an event handler; an error it lets through goes to the general
// error box.
template <typename TFunction>
void Guarded(TFunction&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    ShowGeneralError(error);
  }
}

// The windows and the data module, created in this order: the main
// window, the closing window, the data module, the help window and the
// calculator. Only the main window is shown (by Show).
class TApplicationWindows {
public:
  TApplicationWindows();
  ~TApplicationWindows();
  void Show();

  // The threads of the program's model runs, for as long as its windows.
  TWorkPool Pool;
  std::unique_ptr<TRainForm> Rain;
  std::unique_ptr<TFinishForm> Finish;
  std::unique_ptr<TDMQuorell> DataModule;
  TWindowDialogs Dialogs;
  std::unique_ptr<THelpForm> Help;
  std::unique_ptr<TAlfaForm> Alfa;
};
