#include "files/filepaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::string ChangeFileExt(const std::string& path, const std::string& ext) {
  const auto slash = path.find_last_of('/');
  const auto nameStart = slash == std::string::npos ? 0 : slash + 1;
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || dot < nameStart) return path + ext;
  return path.substr(0, dot) + ext;
}

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(path, ec);
}

namespace {

std::optional<std::string> ReadStream(std::ifstream& in) {
  std::string content;
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  in.seekg(0, std::ios::beg);
  if (size > 0) {
    content.resize(static_cast<std::size_t>(size));
    in.read(content.data(), size);
    content.resize(static_cast<std::size_t>(in.gcount()));
  }
  // Whatever is left (a file that grew, or one whose size was not known).
  content.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return content;
}

}  // namespace

std::optional<std::string> ReadWholeFile(const std::string& path) {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return std::nullopt;
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // A read error (a file such as /proc/self/mem) is thrown by the stream
  // buffer itself, whatever the stream's exception mask: it is a file that
  // cannot be read, like one that cannot be opened.
  try {
    return ReadStream(in);
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

namespace {

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error,
                         bool syncToDisk) {
  namespace fs = std::filesystem;
  std::error_code ec;
  const auto status = fs::status(path, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status)) return Fail(error, "not a file");
    if (access(path.c_str(), W_OK) != 0) return Fail(error, std::strerror(errno));
    // A file marked read-only stays as it is, also for a user whom the
    // system would let write it.
    if ((status.permissions() & (fs::perms::owner_write | fs::perms::group_write |
                                 fs::perms::others_write)) == fs::perms::none)
      return Fail(error, "the file is read-only");
  }
  // A unique name in the same folder, so that the rename stays on one file system.
  std::string temp = path + ".XXXXXX";
  int fd = mkstemp(temp.data());
  if (fd < 0) return Fail(error, std::strerror(errno));
  std::size_t done = 0;
  while (done < bytes.size()) {
    const auto n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      const std::string reason = std::strerror(errno);
      close(fd);
      unlink(temp.c_str());
      return Fail(error, reason);
    }
    done += static_cast<std::size_t>(n);
  }
  // mkstemp makes the file private: keep the mode of the file replaced, or
  // give a new one the usual permissions.
  struct stat old {};
  if (stat(path.c_str(), &old) == 0) {
    fchmod(fd, old.st_mode & 07777);
  } else {
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(fd, 0666 & ~mask);
  }
  if ((syncToDisk && fsync(fd) != 0) || close(fd) != 0) {
    const std::string reason = std::strerror(errno);
    unlink(temp.c_str());
    return Fail(error, reason);
  }
  if (std::rename(temp.c_str(), path.c_str()) != 0) {
    const std::string reason = std::strerror(errno);
    unlink(temp.c_str());
    return Fail(error, reason);
  }
  return true;
}
