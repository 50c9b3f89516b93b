#include "render/fonts.h"

#include <QDir>
#include <QFontDatabase>
#include <QStringList>
#include <map>

namespace {

// The designed font and the family drawn in its place, with the Debian
// package that provides it.
struct TStandIn {
  const char* Name;
  const char* Family;
  const char* Package;
};

const TStandIn StandIns[] = {
    {"Arial", "Liberation Sans", "fonts-liberation2"},
    {"Courier New", "Liberation Mono", "fonts-liberation2"},
    {"Tahoma", "Tahoma", "fonts-wine"},
    {"MS Sans Serif", "MS Sans Serif", "fonts-wine"},
};

// fonts-wine puts its fonts where Wine looks for them, not where the
// system's font configuration does; they are made known to Qt's font
// database once, by family, from the package's folder.
const char* const WineFontFolder = "/usr/share/wine/fonts";

void RegisterWineFonts() {
  static bool registered = false;
  if (registered) return;
  registered = true;
  const QDir folder(WineFontFolder);
  for (const QString& file : folder.entryList({"*.ttf"}, QDir::Files, QDir::Name)) {
    QFontDatabase::addApplicationFont(folder.filePath(file));
  }
}

QString FindFamily(const TStandIn& standIn) {
  const QString family = QString::fromLatin1(standIn.Family);
  if (QFontDatabase::hasFamily(family)) return family;
  RegisterWineFonts();
  return family;  // when still missing, the system picks its nearest
}

}  // namespace

QString FontFamily(const std::string& name) {
  static std::map<std::string, QString> found;
  if (auto it = found.find(name); it != found.end()) return it->second;
  for (const auto& standIn : StandIns) {
    if (name == standIn.Name) return found[name] = FindFamily(standIn);
  }
  return QString::fromStdString(name);
}

QFont PixelFont(const std::string& name, int pixelSize, bool bold) {
  QFont font(FontFamily(name));
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferMatch);
  return font;
}
