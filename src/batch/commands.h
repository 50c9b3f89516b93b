// The commands of tolvane-batch, one source file each, and the table that
// names them with their usage: the usage text, the help and the dispatch
// all come from it.
#pragma once

#include <string>
#include <vector>

struct TCommand {
  const char* Name;
  // argv[1] is the command's name; the return value is the exit status.
  int (*Run)(int argc, char** argv);
  // Its lines of the usage text.
  std::string (*Usage)();
  // What it does and its options with their units, for --help.
  std::string (*Help)() = nullptr;
};

int ImportCommand(int argc, char** argv);
int RunCommand(int argc, char** argv);
int CalibrateCommand(int argc, char** argv);
int TableCommand(int argc, char** argv);
int ValidateCommand(int argc, char** argv);
// Runs the graph program beside this one (it needs Qt).
int GraphCommand(int argc, char** argv);

const std::vector<TCommand>& Commands();
