#include "fuzz/harness_common.h"

#include <unistd.h>

#include <cstdio>

std::string WriteScratchFile(const std::uint8_t* data, std::size_t size, const std::string& ext) {
  // One scratch name per process, written anew for every input and
  // removed, with the files a run made beside it, when the process ends.
  struct TScratch {
    TScratch() {
      char name[] = "/tmp/tolvane-fuzz-XXXXXX";
      const int fd = mkstemp(name);
      if (fd >= 0) close(fd);
      Stem = name;
    }
    ~TScratch() {
      for (const char* ext : {"", ".inp", ".out"}) std::remove((Stem + ext).c_str());
    }
    std::string Stem;
  };
  static const TScratch scratch;
  const std::string path = scratch.Stem + ext;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return std::string();
  std::fwrite(data, 1, size, f);
  return std::fclose(f) == 0 ? path : std::string();
}
