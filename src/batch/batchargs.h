// The command line of tolvane-batch: options, their values, exit statuses
// and the summary a run prints.
#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

class TDMQuorell;

constexpr int ExitOk = 0;
constexpr int ExitFailed = 1;
constexpr int ExitUsage = 2;

struct TArgs {
  std::vector<std::string> Positional;
  std::map<std::string, std::string> Options;
  std::set<std::string> Flags;
  bool Has(const std::string& flag) const { return Flags.count(flag) > 0; }
};

// Prints the text and the usage on standard error; returns ExitUsage.
int UsageError(const std::string& text);
std::string UsageText();
// --help: the usage, each command's options with their units, the exit
// statuses. --version: the program and the project's version.
std::string HelpText();
std::string VersionText();

// Arguments after the command, by the options of its table.
struct TCommand;
std::optional<TArgs> ParseArgs(int argc, char** argv, const TCommand& command, std::string& error);

// An option's value, converted; value is left alone when the option is not
// given. False (and error filled) when the value does not convert.
bool GetInt(const TArgs& args, const std::string& name, int& value, std::string& error);
bool GetReal(const TArgs& args, const std::string& name, std::optional<double>& value,
             std::string& error);

std::string AbsolutePath(const std::string& path);

// The parts of text between the separators, empty ones kept: "a,,b" is
// "a", "", "b".
std::vector<std::string> SplitAt(const std::string& text, char separator);

// Whether two paths name the same file, existing or not.
bool SameFile(const std::string& a, const std::string& b);

// --european chooses semicolons and decimal commas for a CSV table.
inline constexpr const char* EuropeanFlag = "--european";

// Writes a CSV table of points rows and says where on standard output;
// false when it could not be written (said on standard error).
bool WriteTable(const std::string& path, const std::string& csv, std::size_t points);

// After a successful run of dm's input file: the warnings on standard error,
// then the summary on standard output (for a determination with its
// criteria in full precision).
void PrintRunSummary(const TDMQuorell& dm, bool analysis);
