#include <unistd.h>

#include <cstdio>
#include <string>

#include "fuzz/harness.h"
#include "model/dmquorell.h"

namespace {

class TQuiet : public TUserDialogs {
public:
  void ShowMessage(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  void ShowProgramError(const std::string&) override {}
};

// One scratch file per process, written anew for every input.
const std::string& ScratchFile() {
  static const std::string path = [] {
    char name[] = "/tmp/tolvane-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name) + ".inp";
  }();
  return path;
}

}  // namespace

void FuzzInputFile(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchFile();
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return;
  std::fwrite(data, 1, size, f);
  std::fclose(f);

  TQuiet quiet;
  TDMQuorell dm;
  dm.SetDialogs(&quiet);
  dm.FileName = path;
  try {
    dm.ReadInputFile();
  } catch (const TInOutError&) {
  }
  for (bool analysis : {true, false}) {
    dm.FileName = path;
    try {
      dm.RunModel(analysis);
    } catch (const TInOutError&) {
    }
  }
  std::remove((path.substr(0, path.size() - 4) + ".out").c_str());
}
