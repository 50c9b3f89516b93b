// The commands of tolvane-batch, one source file each, and the one table
// that names them with their operands and options: the parser of each
// command, the usage of a mistake, --help and the manual page's synopsis
// and option lists are all made from it.
#pragma once

#include <string>
#include <vector>

struct TOption {
  const char* Name;   // "--rain-column", "-o"
  const char* Value;  // "N|NAME"; nullptr for an option that stands alone
  // Its lines of --help; "\n" starts another.
  const char* Help;
  bool Required = false;
  // '|': one of the options before it that are joined so, '&': given with
  // the one before it; 0: on its own.
  char Join = 0;
};

struct TCommand {
  const char* Name;
  // argv[1] is the command's name; the return value is the exit status.
  int (*Run)(int argc, char** argv);
  const char* Operands;  // "DATA.csv", "FITTED DATA"
  // What it does, the first lines of its --help.
  const char* Summary;
  std::vector<TOption> Options;
};

int ImportCommand(int argc, char** argv);
int RunCommand(int argc, char** argv);
int CalibrateCommand(int argc, char** argv);
int TableCommand(int argc, char** argv);
int ValidateCommand(int argc, char** argv);
int RegionalCommand(int argc, char** argv);
int RegionalMergeCommand(int argc, char** argv);
int UncertaintyCommand(int argc, char** argv);
// Runs the graph program beside this one (it needs Qt).
int GraphCommand(int argc, char** argv);

const std::vector<TCommand>& Commands();
// The command of that name; it must be one of the table.
const TCommand& CommandNamed(const std::string& name);

// "  tolvane-batch import DATA.csv -o FILE.inp ...", wrapped.
std::string CommandUsage(const TCommand& command);
// "import: ..." and a line for every option.
std::string CommandHelp(const TCommand& command);
// The manual page's synopsis and its option lists, in roff.
std::string ManualSynopsis();
std::string ManualOptions();
