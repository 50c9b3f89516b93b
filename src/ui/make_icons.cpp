// tolvane-make-icons FOLDER: the program's icon in the hicolor layout of
// the desktop's icon themes (FOLDER/hicolor/48x48/apps/ID.png, ...,
// FOLDER/hicolor/scalable/apps/ID.svg), painted by the code that paints the
// windows' pictures. Run by the build.
#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QSvgGenerator>
#include <cstdlib>
#include <iostream>

#include "ui/programicon.h"
#include "ui/startfolder.h"

namespace {

// Qt's notes about the session (no runtime folder and the like) are no
// concern of a build; its errors still show.
void QuietQtNotes(QtMsgType type, const QMessageLogContext&, const QString& message) {
  if (type == QtCriticalMsg || type == QtFatalMsg) std::cerr << message.toStdString() << "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: tolvane-make-icons FOLDER\n";
    return 2;
  }
  if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
  qInstallMessageHandler(QuietQtNotes);
  int qtArgc = 1;
  QGuiApplication app(qtArgc, argv);
  const QString root = QString::fromLocal8Bit(argv[1]) + "/hicolor/";
  const QString name = QString("/apps/") + DesktopId;
  for (int size : {48, 128, 256}) {
    const QString folder = root + QString("%1x%1").arg(size);
    const QString file = folder + name + ".png";
    if (!QDir().mkpath(folder + "/apps") || !ProgramIcon(size).save(file, "PNG")) {
      std::cerr << "tolvane-make-icons: cannot write " << file.toStdString() << "\n";
      return 1;
    }
  }
  const QString svgFolder = root + "scalable";
  const QString svgFile = svgFolder + name + ".svg";
  QDir().mkpath(svgFolder + "/apps");
  QSvgGenerator svg;
  svg.setFileName(svgFile);
  svg.setSize(QSize(128, 128));
  svg.setViewBox(QRect(0, 0, 128, 128));
  svg.setTitle("Tolvane");
  svg.setDescription("Rain into the pre-reservoir and a cascade of linear reservoirs");
  QPainter painter;
  if (!painter.begin(&svg)) {
    std::cerr << "tolvane-make-icons: cannot write " << svgFile.toStdString() << "\n";
    return 1;
  }
  DrawProgramIcon(painter, 128);
  painter.end();
  return 0;
}
