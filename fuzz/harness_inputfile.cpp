#include <cstdio>
#include <string>

#include "fuzz/harness.h"
#include "fuzz/harness_common.h"
#include "model/dmquorell.h"

void FuzzInputFile(const std::uint8_t* data, std::size_t size) {
  const std::string path = WriteScratchFile(data, size, ".inp");
  if (path.empty()) return;

  TQuietDialogs quiet;
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
