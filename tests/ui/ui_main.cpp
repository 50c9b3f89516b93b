// Runs the window test class named on the command line (the stem of its
// source file), or every class when none is named.
#include <QFileInfo>
#include <QTest>
#include <map>
#include <memory>

#include "ui/application.h"
#include "ui/ui_support.h"

namespace {

std::map<QString, TTestFactory>& Registry() {
  static std::map<QString, TTestFactory> registry;
  return registry;
}

}  // namespace

bool RegisterUiTest(const char* file, TTestFactory factory) {
  Registry()[QFileInfo(QString::fromUtf8(file)).completeBaseName()] = std::move(factory);
  return true;
}

int main(int argc, char** argv) {
  TApplication app(argc, argv);
  QStringList args = app.arguments();
  QString only;
  if (args.size() > 1 && Registry().count(args[1])) {
    only = args[1];
    args.removeAt(1);
  }
  int failed = 0;
  for (auto& [name, factory] : Registry()) {
    if (!only.isEmpty() && name != only) continue;
    std::unique_ptr<QObject> test(factory());
    failed += QTest::qExec(test.get(), args);
  }
  return failed == 0 ? 0 : 1;
}
