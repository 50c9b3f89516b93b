#include "render/fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <map>

namespace {

struct TStandIn {
  const char* Name;
  const char* Files[2];
  const char* Fallback;  // the family to ask for when the file is missing
};

const TStandIn StandIns[] = {
    {"Arial", {"/usr/share/fonts/truetype/liberation2/LiberationSans-Regular.ttf", nullptr},
     "Liberation Sans"},
    {"Courier New",
     {"/usr/share/fonts/truetype/liberation2/LiberationMono-Regular.ttf",
      "/usr/share/fonts/truetype/liberation2/LiberationMono-Bold.ttf"},
     "Liberation Mono"},
    {"Tahoma", {"/usr/share/wine/fonts/tahoma.ttf", "/usr/share/wine/fonts/tahomabd.ttf"}, "Tahoma"},
    {"MS Sans Serif", {"/usr/share/wine/fonts/ms_sans_serif.ttf", nullptr}, "MS Sans Serif"},
};

QString LoadStandIn(const TStandIn& standIn) {
  QString family;
  for (const char* file : standIn.Files) {
    if (!file) continue;
    const int id = QFontDatabase::addApplicationFont(file);
    const auto families = QFontDatabase::applicationFontFamilies(id);
    if (family.isEmpty() && !families.isEmpty()) family = families.first();
  }
  return family.isEmpty() ? QString(standIn.Fallback) : family;
}

}  // namespace

QString FontFamily(const std::string& name) {
  static std::map<std::string, QString> loaded;
  if (auto it = loaded.find(name); it != loaded.end()) return it->second;
  for (const auto& standIn : StandIns) {
    if (name == standIn.Name) return loaded[name] = LoadStandIn(standIn);
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
