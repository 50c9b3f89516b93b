#include "ui/pictures.h"

#include <QString>

// Outside any namespace, as Qt's resource registration wants it.
static void RegisterPictures() { Q_INIT_RESOURCE(pictures); }

namespace {

// The pictures are resources of the program; a missing one (a broken
// build) shows as an empty picture, never as a failed start.
QImage Picture(const char* name) {
  static const bool registered = (RegisterPictures(), true);
  (void)registered;
  QImage picture(QStringLiteral(":/pictures/") + QString::fromLatin1(name));
  return picture.convertToFormat(QImage::Format_RGB32);
}

}  // namespace

QImage ModelDiagram() { return Picture("modeldiagram.png"); }
QImage InputDrawing() { return Picture("inputdrawing.png"); }
QImage DrainageSection() { return Picture("drainagesection.png"); }
