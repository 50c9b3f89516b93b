// Runs the window test class named on the command line (the stem of its
// source file), or every class when none is named.
#include <QFileInfo>
#include <QTest>
#include <map>
#include <memory>

#include "ui/application.h"
#include "ui/ui_support.h"

namespace {

struct TRegistered {
  TTestFactory Factory;
  bool NeedsSharedData = false;
};

std::map<QString, TRegistered>& Registry() {
  static std::map<QString, TRegistered> registry;
  return registry;
}

constexpr int ExitSkipped = 77;

}  // namespace

bool RegisterUiTest(const char* file, TTestFactory factory, bool needsSharedData) {
  Registry()[QFileInfo(QString::fromUtf8(file)).completeBaseName()] = {std::move(factory),
                                                                       needsSharedData};
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
  // Our own options; the rest go to Qt Test.
  for (int i = 1; i + 1 < args.size();) {
    auto& options = RandomUseOptions();
    int* target = args[i] == "--seeds" ? &options.Seeds
                  : args[i] == "--first-seed" ? &options.FirstSeed
                  : args[i] == "--steps" ? &options.Steps
                  : nullptr;
    if (!target) {
      ++i;
      continue;
    }
    *target = args[i + 1].toInt();
    args.remove(i, 2);
  }
  const bool haveSharedData = !SharedDataDir().empty();
  int failed = 0;
  for (auto& [name, registered] : Registry()) {
    if (!only.isEmpty() && name != only) continue;
    if (registered.NeedsSharedData && !haveSharedData) {
      qInfo("%s skipped: no shared data at %s", qPrintable(name), TOLVANE_SHARED_DATA);
      if (!only.isEmpty()) return ExitSkipped;
      continue;
    }
    std::unique_ptr<QObject> test(registered.Factory());
    failed += QTest::qExec(test.get(), args);
  }
  return failed == 0 ? 0 : 1;
}
