// tolvane-batch: file-to-file work over the same core as the windowed program.
#include <iostream>
#include <string>

#include "batch/batchargs.h"
#include "batch/commands.h"

int main(int argc, char** argv) {
  if (argc < 2) return UsageError("no command given");
  const std::string command = argv[1];
  for (const TCommand& c : Commands())
    if (command == c.Name) return c.Run(argc, argv);
  if (command == "--help" || command == "-h") {
    std::cout << HelpText();
    return ExitOk;
  }
  if (command == "--version") {
    std::cout << VersionText();
    return ExitOk;
  }
  return UsageError("unknown command " + command);
}
