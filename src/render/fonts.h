// The fonts the program's windows and graphs were designed with, and the
// free fonts with the same metrics that stand in for them.
#pragma once

#include <QFont>
#include <QString>
#include <string>

// Arial is drawn with Liberation Sans, Courier New with Liberation Mono;
// Tahoma and MS Sans Serif come from the Wine fonts. Families are looked up
// by name in Qt's font database; a name not known is passed on to the
// system.
QString FontFamily(const std::string& name);

// A font of the given family whose characters are pixelSize pixels high.
QFont PixelFont(const std::string& name, int pixelSize, bool bold = false);
