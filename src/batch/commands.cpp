#include "batch/commands.h"

#include "model/criteria.h"

namespace {

std::string ImportUsage() {
  return "  tolvane-batch import DATA.csv -o FILE.inp --option determine|predict\n"
         "      [--time-column N] --rain-column N [--runoff-column N] [--first-row N] [--rows N]\n"
         "      --max-storage X --initial-storage X --max-escape X\n"
         "      [--reservoirs N --alpha X --initial-runoff X] [--title1 TEXT] [--title2 TEXT] "
         "[--force]\n";
}

std::string RunUsage() { return "  tolvane-batch run FILE.inp [--table OUT.csv [--european]]\n"; }

std::string CalibrateUsage() {
  return "  tolvane-batch calibrate FILE.inp -o BEST.inp [--objective " + ObjectiveKeys() +
         "]\n"
         "      [--max-storage LO:HI] [--force]\n";
}

std::string TableUsage() { return "  tolvane-batch table FILE.out -o OUT.csv [--european]\n"; }

std::string GraphUsage() {
  return "  tolvane-batch graph FILE.out --kind 1|2|3|4|7 -o GRAPH.bmp|GRAPH.png|GRAPH.svg "
         "[--scale 1|2|3]\n";
}

}  // namespace

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"import", ImportCommand, ImportUsage},
      {"run", RunCommand, RunUsage},
      {"calibrate", CalibrateCommand, CalibrateUsage},
      {"table", TableCommand, TableUsage},
      {"graph", GraphCommand, GraphUsage},
  };
  return commands;
}
