// tolvane: the windowed program. It takes no command line.
#include "ui/application.h"

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  TApplicationWindows windows;
  windows.Show();
  return app.exec();
}
