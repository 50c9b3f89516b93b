#include "fuzz/harness_common.h"

#include <unistd.h>

#include <cstdio>

std::string WriteScratchFile(const std::uint8_t* data, std::size_t size, const std::string& ext) {
  // One scratch name per process, written anew for every input.
  static const std::string stem = [] {
    char name[] = "/tmp/tolvane-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd >= 0) close(fd);
    return std::string(name);
  }();
  const std::string path = stem + ext;
  std::FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return std::string();
  std::fwrite(data, 1, size, f);
  return std::fclose(f) == 0 ? path : std::string();
}
