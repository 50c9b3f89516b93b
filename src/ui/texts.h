// The explanatory texts of the Intro tab and of the start-help window.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

extern const std::vector<const char*> IntroLines;
extern const std::vector<const char*> FirstReservoirLines;
extern const std::vector<const char*> CascadeLines;
extern const std::vector<const char*> HelpLines;

// The lines as the text of a memo.
inline QString MemoText(const std::vector<const char*>& lines) {
  QStringList list;
  for (const char* line : lines) list << QString::fromUtf8(line);
  return list.join('\n');
}
