// Writes the manual page's synopsis or its command sections from the
// command table, so that the page lists the options the parser takes.
#include <iostream>
#include <string>

#include "batch/commands.h"

int main(int argc, char** argv) {
  const std::string part = argc > 1 ? argv[1] : "";
  if (part == "synopsis") {
    std::cout << ManualSynopsis();
  } else if (part == "commands") {
    std::cout << ManualOptions();
  } else {
    std::cerr << "usage: tolvane-make-manual synopsis|commands\n";
    return 2;
  }
  return 0;
}
