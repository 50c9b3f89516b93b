#include "ui/startfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdlib>

namespace fs = std::filesystem;

namespace {

bool IsFolder(const fs::path& path) {
  std::error_code ec;
  return fs::is_directory(path, ec);
}

// A copy of the examples' files in target, made beside it first so that
// a copy cut short leaves no half-filled Data folder behind.
void CopyExamples(const fs::path& examples, const fs::path& target) {
  std::error_code ec;
  fs::path partial = target;
  partial += ".tolvane-copy";
  fs::remove_all(partial, ec);
  if (!fs::create_directory(partial, ec)) return;
  for (const auto& entry : fs::directory_iterator(examples, ec)) {
    if (!entry.is_regular_file(ec)) continue;
    const fs::path copy = partial / entry.path().filename();
    if (!fs::copy_file(entry.path(), copy, ec)) break;
    // Writable by the user whatever the installed files allow.
    fs::permissions(copy, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, ec);
  }
  if (!ec) fs::rename(partial, target, ec);
  if (ec) fs::remove_all(partial, ec);
}

}  // namespace

fs::path ChooseStartFolder(const fs::path& current, const fs::path& home, const fs::path& examples) {
  if (IsFolder(current / "Data") || home.empty() || !IsFolder(home)) return current;
  const fs::path data = home / "Data";
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(data, ec)) && IsFolder(examples)) {
    try {
      CopyExamples(examples, data);
    } catch (const fs::filesystem_error&) {
      // The program starts all the same, in a home without the examples.
    }
  }
  return home;
}

void EnterStartFolder() {
  const QString examples = QCoreApplication::applicationDirPath() + "/" + TOLVANE_EXAMPLES_FROM_BIN;
  // Not QDir::homePath(): without HOME it names the root folder.
  const char* home = std::getenv("HOME");
  std::error_code ec;
  const fs::path folder = ChooseStartFolder(fs::current_path(ec), home ? fs::path(home) : fs::path(),
                                            examples.toStdString());
  if (!folder.empty()) QDir::setCurrent(QString::fromStdString(folder.string()));
}
