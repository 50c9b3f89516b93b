#include "batch/commands.h"

#include "model/criteria.h"

namespace {

std::string ImportUsage() {
  return "  tolvane-batch import DATA.csv -o FILE.inp --option determine|predict\n"
         "      --rain-column N|NAME [--runoff-column N|NAME]\n"
         "      [--time-column N|NAME | --date-column N|NAME | --date-columns Y,M,D]\n"
         "      [--time-unit day|hour] [--from X] [--to X] [--first-row N] [--rows N]\n"
         "      [--delimiter auto|comma|semicolon|tab] [--decimal auto|point|comma]\n"
         "      [--header auto|yes|no] [--missing LIST] [--max-gap N]\n"
         "      --max-storage X --initial-storage X --max-escape X\n"
         "      [--reservoirs N --alpha X --initial-runoff X] [--title1 TEXT] [--title2 TEXT] "
         "[--force]\n";
}

std::string RunUsage() { return "  tolvane-batch run FILE.inp\n"; }

std::string CalibrateUsage() {
  return "  tolvane-batch calibrate FILE.inp -o BEST.inp [--objective " + ObjectiveKeys() +
         "]\n"
         "      [--max-storage LO:HI] [--warm-up N] [--validate DATA [table options of import]]\n"
         "      [--force]\n";
}

std::string ValidateUsage() {
  return "  tolvane-batch validate FITTED DATA [--warm-up N] [--table OUT.csv]\n"
         "      FITTED: a determination's FILE.inp or FILE.out; DATA: a determination's FILE.inp\n"
         "      or a table, read with the table options of import (--rain-column, "
         "--runoff-column ...)\n";
}

std::string GraphUsage() { return "  tolvane-batch graph FILE.out --kind 1|2|3|4|7 -o GRAPH.bmp\n"; }

}  // namespace

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"import", ImportCommand, ImportUsage},
      {"run", RunCommand, RunUsage},
      {"calibrate", CalibrateCommand, CalibrateUsage},
      {"validate", ValidateCommand, ValidateUsage},
      {"graph", GraphCommand, GraphUsage},
  };
  return commands;
}
