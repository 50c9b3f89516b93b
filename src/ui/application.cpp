#include "ui/application.h"

#include <QWindow>

#include "ui/alfaform.h"
#include "ui/finishform.h"
#include "ui/helpform.h"
#include "ui/rainform.h"

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(ApplicationTitle);
  // The windows are laid out in pixels for the classic look: one style on
  // every desktop.
  setStyle("Windows");
  // A window that takes the keyboard comes to the front, also where no
  // window manager stacks the windows.
  connect(this, &QGuiApplication::focusWindowChanged, this, [](QWindow* window) {
    if (window) window->raise();
  });
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    ShowGeneralError(error);
  }
  return false;
}

void ShowGeneralError(const std::exception& error) {
  Prompts().ShowMessage(QString::fromStdString(error.what()));
}

TApplicationWindows::TApplicationWindows()
    : Dialogs([this](int count) {
        // The determination shows how many points it read.
        if (Rain) Rain->ShowPointsRead(count);
      }) {
  Rain = std::make_unique<TRainForm>();
  RainForm = Rain.get();
  Finish = std::make_unique<TFinishForm>();
  FinishForm = Finish.get();
  // The finish window ends the event loop at once: quit() would first ask
  // every window to close, and the main window answers that by showing the
  // finish window again.
  QObject::connect(Finish.get(), &TFinishForm::Finished, Finish.get(), [] { QCoreApplication::exit(0); },
                   Qt::QueuedConnection);
  DataModule = std::make_unique<TDMQuorell>(TDMQuorell::TModuleWorkspaces{});
  DataModule->SetDialogs(&Dialogs);
  DataModule->SetWorkPool(&Pool);
  DMQuorell = DataModule.get();
  Help = std::make_unique<THelpForm>();
  HelpForm = Help.get();
  Alfa = std::make_unique<TAlfaForm>();
  AlfaForm = Alfa.get();
  QObject::connect(Alfa.get(), &TAlfaForm::ReactionFactorCalculated, Rain.get(),
                   &TRainForm::TakeReactionFactor);
}

TApplicationWindows::~TApplicationWindows() {
  AlfaForm = nullptr;
  HelpForm = nullptr;
  FinishForm = nullptr;
  RainForm = nullptr;
  Alfa.reset();
  Help.reset();
  Finish.reset();
  Rain.reset();
  DMQuorell = nullptr;
}

void TApplicationWindows::Show() {
  Rain->show();
  // Active from the start, so that the keyboard works at once even where
  // no window manager hands out the focus.
  Rain->activateWindow();
}
