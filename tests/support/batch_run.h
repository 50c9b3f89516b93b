// tolvane-batch run as a user runs it, from a folder of the test's own.
#pragma once

#include <string>
#include <vector>

#include "support/test_support.h"

struct TBatchResult {
  int Status = -1;
  std::string Out, Err;
  std::vector<std::string> Lines() const { return SplitLines(Out, "\n"); }
};

// Runs tolvane-batch with args (as a shell would split them) in dir.
TBatchResult Batch(const TScratchDir& dir, const std::string& args);

// A command line tolvane-batch refuses: its exit status and a part of what
// it says on standard error.
struct TBatchRefusal {
  const char* Name;
  const char* Args;
  int Status;
  const char* Says;
};
