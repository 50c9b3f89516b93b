// tolvane: the windowed program. It takes no command line.
#include "ui/application.h"
#include "ui/finishform.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  TApplicationWindows windows;
  QObject::connect(windows.Finish.get(), &TFinishForm::Finished, &app, &QApplication::quit,
                   Qt::QueuedConnection);
  windows.Show();
  return app.exec();
}
