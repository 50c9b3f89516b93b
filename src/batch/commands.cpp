#include "batch/commands.h"

#include "model/criteria.h"

namespace {

std::string ImportUsage() {
  return "  tolvane-batch import DATA.csv -o FILE.inp --option determine|predict\n"
         "      --rain-column N|NAME [--runoff-column N|NAME] [--pet-column N|NAME]\n"
         "      [--time-column N|NAME | --date-column N|NAME | --date-columns Y,M,D]\n"
         "      [--time-unit day|hour] [--from X] [--to X] [--first-row N] [--rows N]\n"
         "      [--delimiter auto|comma|semicolon|tab] [--decimal auto|point|comma]\n"
         "      [--header auto|yes|no] [--missing LIST] [--max-gap N]\n"
         "      --max-storage X --initial-storage X --max-escape X\n"
         "      [--reservoirs N --alpha X --initial-runoff X] [--title1 TEXT] [--title2 TEXT] "
         "[--force]\n";
}

std::string ImportHelp() {
  return "import: turns a table exported by a spreadsheet or a data portal into an input file\n"
         "through the checks of the input sheet; columns and lines count from 1, a column is\n"
         "given by number or by a name of the header row (any case)\n"
         "  -o FILE.inp              the input file to write (--force replaces an existing one)\n"
         "  --option determine|predict  determine the model from rain and runoff (at most 1500\n"
         "                           points), or predict runoff from rain (at most 501 points)\n"
         "  --rain-column N|NAME     rain in mm per time unit\n"
         "  --runoff-column N|NAME   measured runoff in mm per time unit (to determine)\n"
         "  --pet-column N|NAME      potential evaporation in mm per time unit, for a model whose\n"
         "                           escape follows it (calibrate, validate); missing values are\n"
         "                           interpolated as runoff is, a negative one refused\n"
         "  --time-column N|NAME     times in time units, strictly increasing; a row with a\n"
         "                           missing value is left out (without a time or date column\n"
         "                           the times are 1, 2, 3, ... by row)\n"
         "  --date-column N|NAME     dates: yyyy-mm-dd, yyyy-mm-dd hh:mm[:ss] (a blank or a T),\n"
         "                           yyyy/mm/dd or dd.mm.yyyy [hh:mm]; they must follow each\n"
         "                           other at one step; the times become 1, 2, 3 ...\n"
         "  --date-columns Y,M,D     the date in three columns: year, month, day\n"
         "  --time-unit day|hour     the unit of the times made from dates (day by default)\n"
         "  --from X, --to X         the period, inclusive: dates when there are dates, time\n"
         "                           values otherwise\n"
         "  --first-row N, --rows N  the lines of the table to take (from line 1, all lines)\n"
         "  --delimiter auto|comma|semicolon|tab  the cell separator (auto: tabs, else\n"
         "                           semicolons, else commas)\n"
         "  --decimal auto|point|comma  the decimal separator (auto: a comma with semicolons or\n"
         "                           tabs, a point otherwise)\n"
         "  --header auto|yes|no     whether line 1 names the columns (auto: when a cell needed\n"
         "                           is neither a number nor a missing-value code)\n"
         "  --missing LIST           the codes of a missing value beside an empty cell, comma\n"
         "                           separated (NA,NaN,-999,-9999 by default); missing rain is\n"
         "                           refused, missing runoff interpolated\n"
         "  --max-gap N              the longest run of missing runoff interpolated (3)\n"
         "  --max-storage X          maximum dead storage of the pre-reservoir in mm\n"
         "  --initial-storage X      initial dead storage in mm, at most the maximum storage\n"
         "  --max-escape X           maximum escape rate in mm per time unit\n"
         "  --reservoirs N           number of reservoirs of the cascade, 1 to 5 (to predict)\n"
         "  --alpha X                reaction factor alpha per time unit (to predict)\n"
         "  --initial-runoff X       runoff at the start in mm per time unit (to predict)\n"
         "  --title1 TEXT, --title2 TEXT  the two title lines of the input file (with dates the\n"
         "                           second names the first date and the unit by default)\n";
}

std::string RunUsage() { return "  tolvane-batch run FILE.inp [--table OUT.csv [--european]]\n"; }

std::string RunHelp() {
  return "run: the option the input file was written for; the output file FILE.out is written\n"
         "beside it, a summary goes to standard output and the run's warnings to standard error\n"
         "  --table OUT.csv          also the run's table in full precision (the shortest text\n"
         "                           that reads back to the same number), commas, a decimal point\n"
         "  --european               the table with semicolons and decimal commas\n";
}

std::string CalibrateUsage() {
  return "  tolvane-batch calibrate DATA -o BEST.inp|MODEL.json [--objective " + ObjectiveKeys() +
         "]\n"
         "      [--max-storage LO:HI] [--warm-up N] [--validate DATA2 [--validate-from X]\n"
         "      [--validate-to X]] [--slow-path] [--pet-column N|NAME]\n"
         "      [table options of import] [--force]\n";
}

std::string ValidateUsage() {
  return "  tolvane-batch validate FITTED DATA [--warm-up N] [--table OUT.csv]\n"
         "      FITTED: a determination's FILE.inp or FILE.out, or a MODEL.json; DATA: a\n"
         "      determination's FILE.inp\n"
         "      or a table, read with the table options of import (--rain-column, "
         "--runoff-column ...)\n";
}

std::string CalibrateHelp() {
  return "calibrate: the maximum storage, initial storage and escape rate of best fit over the\n"
         "whole range, whatever the record's own values; reservoirs and alpha by the exhaustive\n"
         "search of a run. DATA is a determination's input file or a table read with the table\n"
         "options of import, of at most 100000 points\n"
         "  -o BEST.inp              the input file with the parameters found, run at once into\n"
         "                           BEST.out (DATA an input file, or at most 1500 points)\n"
         "  -o MODEL.json            a model file: the parameters, the period and the criteria\n"
         "                           (validate takes it as FITTED); --force replaces either\n"
         "  --objective " + ObjectiveKeys() + "\n"
         "                           the fit to make best (rsquare by default)\n"
         "  --max-storage LO:HI      the range of the maximum storage in mm (1:500 by default)\n"
         "  --warm-up N              the objective leaves out the first N points (the search for\n"
         "                           reservoirs and alpha still uses every point)\n"
         "  --validate DATA2         then validates the fit on DATA2 (an input file, or a table\n"
         "                           read with the table options) and prints the report\n"
         "  --validate-from X, --validate-to X  DATA2's period in place of --from and --to\n"
         "  --slow-path              beside the design (-o MODEL.json only): a share of each\n"
         "                           recharge (0 to 1) goes through one slow linear reservoir,\n"
         "                           its reaction factor searched over 0.0005 to 0.5 per time unit\n"
         "  --pet-column N|NAME      beside the design (-o MODEL.json, a table DATA): the escape\n"
         "                           of each step follows the potential evaporation of the\n"
         "                           column, as a ratio to its mean over DATA\n";
}

std::string ValidateHelp() {
  return "validate: judges a fitted model on the data of another period: the determination's\n"
         "reconstruction with FITTED's reservoirs, alpha and store parameters, without a search;\n"
         "prints what was used, the period and R square, NSE, KGE, volume error (%) and RMSE,\n"
         "rounded and in full precision; DATA may hold up to 100000 points\n"
         "  --warm-up N              the first N points are left out of the criteria\n"
         "  --table OUT.csv          the run's table in full precision (date when known, time,\n"
         "                           rain, recharge, measured, calculated; quick and slow with a\n"
         "                           slow path)\n"
         "  --pet-column N|NAME      the potential evaporation of a table DATA, for a model file\n"
         "                           fitted with it (by default the column it names)\n"
         "  --rain-column, --runoff-column ...  the table options of import, for a table DATA\n";
}

std::string TableUsage() { return "  tolvane-batch table FILE.out -o OUT.csv [--european]\n"; }

std::string GraphUsage() {
  return "  tolvane-batch graph FILE.out --kind 1|2|3|4|7 -o GRAPH.bmp|GRAPH.png|GRAPH.svg "
         "[--scale 1|2|3]\n";
}

std::string TableHelp() {
  return "table: the table of an output file (either option) as CSV for a spreadsheet, with the\n"
         "values it prints; a header row, then one row per point, commas and a decimal point\n"
         "  -o OUT.csv               the table to write (an existing one is replaced)\n"
         "  --european               semicolons between cells and decimal commas\n";
}

std::string GraphHelp() {
  return "graph: one graph of an output file, saved as the extension of -o says: a 24-bit bitmap\n"
         "(.bmp) or a PNG (.png) of 623 x 465 pixels, or an SVG drawing (.svg) of that size\n"
         "  --kind 1|2|3|4|7         1 runoff in time, 3 rain and recharge, 7 observed against\n"
         "                           calculated runoff (of a determination); 2 runoff in time,\n"
         "                           4 rain and recharge (of a prediction)\n"
         "  -o GRAPH.bmp|GRAPH.png|GRAPH.svg  the file to write (an existing one is replaced)\n"
         "  --scale 1|2|3            a PNG drawn at that multiple of the size, text and lines\n"
         "                           scaled (1 by default)\n";
}

}  // namespace

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"import", ImportCommand, ImportUsage, ImportHelp},
      {"run", RunCommand, RunUsage, RunHelp},
      {"calibrate", CalibrateCommand, CalibrateUsage, CalibrateHelp},
      {"validate", ValidateCommand, ValidateUsage, ValidateHelp},
      {"table", TableCommand, TableUsage, TableHelp},
      {"graph", GraphCommand, GraphUsage, GraphHelp},
  };
  return commands;
}
