// tolvane: the windowed program. It takes no command line.
#include <QIcon>
#include <QPixmap>

#include "ui/application.h"
#include "ui/programicon.h"
#include "ui/startfolder.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  app.setDesktopFileName(DesktopId);
  QIcon icon;
  for (int size : {48, 128, 256}) icon.addPixmap(QPixmap::fromImage(ProgramIcon(size)));
  app.setWindowIcon(icon);
  EnterStartFolder();
  TApplicationWindows windows;
  windows.Show();
  return app.exec();
}
