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

std::string ImportHelp() {
  return "import: turns a comma-separated table (a decimal point; columns and rows count from 1)\n"
         "into an input file through the checks of the input sheet; rows with an empty cell are\n"
         "left out\n"
         "  -o FILE.inp              the input file to write (--force replaces an existing one)\n"
         "  --option determine|predict  determine the model from rain and runoff (at most 1500\n"
         "                           rows), or predict runoff from rain (at most 501 rows)\n"
         "  --time-column N          times in time units (an hour, a day), strictly increasing\n"
         "                           (without it the times are the row numbers 1, 2, 3, ...)\n"
         "  --rain-column N          rain in mm per time unit\n"
         "  --runoff-column N        measured runoff in mm per time unit (to determine)\n"
         "  --first-row N, --rows N  the rows of the table to take (from row 1, all rows)\n"
         "  --max-storage X          maximum dead storage of the pre-reservoir in mm\n"
         "  --initial-storage X      initial dead storage in mm, at most the maximum storage\n"
         "  --max-escape X           maximum escape rate in mm per time unit\n"
         "  --reservoirs N           number of reservoirs of the cascade, 1 to 5 (to predict)\n"
         "  --alpha X                reaction factor alpha per time unit (to predict)\n"
         "  --initial-runoff X       runoff at the start in mm per time unit (to predict)\n"
         "  --title1 TEXT, --title2 TEXT  the two title lines of the input file\n";
}

std::string RunUsage() { return "  tolvane-batch run FILE.inp\n"; }

std::string RunHelp() {
  return "run: the option the input file was written for; the output file FILE.out is written\n"
         "beside it, a summary goes to standard output and the run's warnings to standard error\n";
}

std::string CalibrateUsage() {
  return "  tolvane-batch calibrate FILE.inp -o BEST.inp [--objective " + ObjectiveKeys() +
         "]\n"
         "      [--max-storage LO:HI] [--force]\n";
}

std::string CalibrateHelp() {
  return "calibrate: the maximum storage, initial storage and escape rate of a determination's\n"
         "input file of best fit; BEST.inp is the file with them, run at once into BEST.out\n"
         "  -o BEST.inp              the input file to write (--force replaces an existing one)\n"
         "  --objective " + ObjectiveKeys() + "  the fit to make best (rsquare by default)\n"
         "  --max-storage LO:HI      the range of the maximum storage in mm (1:500 by default)\n";
}

std::string GraphUsage() { return "  tolvane-batch graph FILE.out --kind 1|2|3|4|7 -o GRAPH.bmp\n"; }

std::string GraphHelp() {
  return "graph: one graph of an output file saved as a 24-bit bitmap of 623 x 465 pixels\n"
         "  --kind 1|2|3|4|7         1 runoff in time, 3 rain and recharge, 7 observed against\n"
         "                           calculated runoff (of a determination); 2 runoff in time,\n"
         "                           4 rain and recharge (of a prediction)\n"
         "  -o GRAPH.bmp             the bitmap to write (an existing one is replaced)\n";
}

}  // namespace

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"import", ImportCommand, ImportUsage, ImportHelp},
      {"run", RunCommand, RunUsage, RunHelp},
      {"calibrate", CalibrateCommand, CalibrateUsage, CalibrateHelp},
      {"graph", GraphCommand, GraphUsage, GraphHelp},
  };
  return commands;
}
