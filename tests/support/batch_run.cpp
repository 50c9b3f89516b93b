#include "support/batch_run.h"

#include <sys/wait.h>

#include <cstdlib>

TBatchResult Batch(const TScratchDir& dir, const std::string& args) {
  const auto out = dir.File("stdout.txt"), err = dir.File("stderr.txt");
  const std::string command = "cd '" + dir.Path.string() + "' && '" + TOLVANE_BATCH + "' " + args +
                              " > '" + out + "' 2> '" + err + "'";
  const int raw = std::system(command.c_str());
  TBatchResult r;
  r.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  r.Out = ReadFileBytes(out);
  r.Err = ReadFileBytes(err);
  return r;
}
