#include "batch/plots.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>

extern char** environ;

namespace {

// The charts handed over in a file of their own, removed whatever happens.
class TSpecFile {
public:
  explicit TSpecFile(const std::string& text, std::string& error) {
    std::string name = (std::filesystem::temp_directory_path() / "tolvane-charts-XXXXXX.json").string();
    const int fd = mkstemps(name.data(), 5);
    if (fd < 0) {
      error = "cannot make a temporary file: " + std::string(std::strerror(errno));
      return;
    }
    Path = name;
    std::size_t done = 0;
    while (done < text.size()) {
      const ssize_t n = write(fd, text.data() + done, text.size() - done);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        error = "cannot write " + Path + ": " + std::strerror(errno);
        Path.clear();
        std::remove(name.c_str());
        break;
      }
      done += static_cast<std::size_t>(n);
    }
    close(fd);
  }
  ~TSpecFile() {
    if (!Path.empty()) std::remove(Path.c_str());
  }
  TSpecFile(const TSpecFile&) = delete;
  TSpecFile& operator=(const TSpecFile&) = delete;
  std::string Path;  // empty when it could not be written
};

// Runs program with args, its standard output thrown away; its exit status
// (-1 when it did not end normally) and what it said on standard error.
int RunQuietly(const std::filesystem::path& program, const std::vector<std::string>& args,
               std::string& said, std::string& error) {
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) {
    error = std::string("cannot make a pipe: ") + std::strerror(errno);
    return -1;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int failed = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (failed != 0) {
    close(fds[0]);
    error = "cannot start " + program.string() + ": " + std::strerror(failed);
    return -1;
  }
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fds[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    said.append(buffer, static_cast<std::size_t>(n));
  }
  close(fds[0]);
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

bool IsChartPath(const std::string& path) {
  std::string ext = std::filesystem::path(path).extension().string();
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext == ".png" || ext == ".svg";
}

std::filesystem::path GraphProgram(const char* argv0) {
  std::error_code ec;
  const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
  const std::filesystem::path folder =
      ec ? std::filesystem::path(argv0 ? argv0 : "").parent_path() : self.parent_path();
  return folder / "tolvane-batch-graph";
}

bool SaveCharts(const std::vector<std::pair<TChart, std::string>>& charts, std::string& error) {
  return SaveChartsWith(GraphProgram(), charts, error);
}

bool SaveChartsWith(const std::filesystem::path& program,
                    const std::vector<std::pair<TChart, std::string>>& charts, std::string& error) {
  for (const auto& [chart, path] : charts)
    if (!IsChartPath(path)) {
      error = path + ": a chart is saved as .png or .svg";
      return false;
    }
  if (charts.empty()) return true;
  const TSpecFile spec(FormatChartFiles(charts), error);
  if (spec.Path.empty()) return false;
  std::string said;
  const int status = RunQuietly(program, {"tolvane-batch-graph", "charts", spec.Path}, said, error);
  if (status == 0) return true;
  if (status == -1 && !error.empty()) return false;
  while (!said.empty() && std::isspace(static_cast<unsigned char>(said.back()))) said.pop_back();
  error = said.empty() ? program.string() + " ended with status " + std::to_string(status) : said;
  return false;
}

double ChartX(const std::optional<TRecordDates>& dates, double time) {
  if (!dates) return time;
  return static_cast<double>(dates->FirstSeconds) / SecondsPerDay +
         (time - 1) * static_cast<double>(dates->UnitSeconds) / SecondsPerDay;
}

std::string PlotFormat(const TArgs& args) {
  const auto it = args.Options.find("--plot-format");
  return it == args.Options.end() ? "png" : it->second;
}

std::string PlotFormatFault(const TArgs& args) {
  const std::string format = PlotFormat(args);
  return format == "png" || format == "svg" ? "" : "--plot-format must be png or svg";
}
