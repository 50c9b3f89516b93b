#include "batch/commands.h"

#include <algorithm>
#include <stdexcept>

#include "batch/batchargs.h"
#include "model/criteria.h"

namespace {

const std::vector<TOption>& TableOptions() {
  static const std::vector<TOption> options = {
      {"--time-column", "N|NAME",
       "times in time units, strictly increasing; a row with a missing value is left out\n"
       "(without a time or date column the times are 1, 2, 3, ... by row)"},
      {"--date-column", "N|NAME",
       "dates: yyyy-mm-dd, yyyy-mm-dd hh:mm[:ss] (a blank or a T), yyyy/mm/dd or\n"
       "dd.mm.yyyy [hh:mm]; they must follow each other at one step; the times become\n"
       "1, 2, 3 ...", false, '|'},
      {"--date-columns", "Y,M,D", "the date in three columns: year, month, day", false, '|'},
      {"--time-unit", "day|hour", "the unit of the times made from dates (day by default)"},
      {"--from", "X", "the first of the period, inclusive: a date when there are dates, a time\n"
                      "value otherwise"},
      {"--to", "X", "the last of the period, inclusive"},
      {"--first-row", "N", "the first line of the table to take (1 by default)"},
      {"--rows", "N", "how many lines to take (all by default)"},
      {"--delimiter", "auto|comma|semicolon|tab",
       "the cell separator (auto: tabs, else semicolons, else commas)"},
      {"--decimal", "auto|point|comma",
       "the decimal separator (auto: a comma with semicolons or tabs, a point otherwise)"},
      {"--header", "auto|yes|no",
       "whether line 1 names the columns (auto: when a cell needed is neither a number nor a\n"
       "missing-value code)"},
      {"--missing", "LIST",
       "the codes of a missing value beside an empty cell, comma separated\n"
       "(NA,NaN,-999,-9999 by default); missing rain is refused, missing runoff interpolated"},
      {"--max-gap", "N", "the longest run of missing runoff interpolated (3)"},
      {"--pet-column", "N|NAME",
       "potential evaporation in mm per time unit, for a model whose escape follows it\n"
       "(calibrate, validate); missing values are interpolated as runoff is, a negative one\n"
       "refused"},
  };
  return options;
}

// The options of a command that reads tables: its own, then the table's.
std::vector<TOption> WithTableOptions(std::vector<TOption> own, const std::vector<TOption>& after = {}) {
  own.insert(own.end(), TableOptions().begin(), TableOptions().end());
  own.insert(own.end(), after.begin(), after.end());
  return own;
}

const char* ObjectiveValue() {
  static const std::string keys = ObjectiveKeys();
  return keys.c_str();
}

std::vector<TCommand> MakeCommands() {
  const TOption rain{"--rain-column", "N|NAME", "rain in mm per time unit"};
  const TOption runoff{"--runoff-column", "N|NAME", "measured runoff in mm per time unit"};
  return {
      {"import", ImportCommand, "DATA.csv",
       "import: turns a table exported by a spreadsheet or a data portal into an input file\n"
       "through the checks of the input sheet; columns and lines count from 1, a column is\n"
       "given by number or by a name of the header row (any case)",
       WithTableOptions(
           {{"-o", "FILE.inp", "the input file to write (--force replaces an existing one)", true},
            {"--option", "determine|predict",
             "determine the model from rain and runoff (at most 1500 points), or predict runoff\n"
             "from rain (at most 501 points)", true},
            {"--rain-column", "N|NAME", "rain in mm per time unit", true},
            {"--runoff-column", "N|NAME", "measured runoff in mm per time unit (to determine)"}},
           {{"--max-storage", "X", "maximum dead storage of the pre-reservoir in mm", true},
            {"--initial-storage", "X", "initial dead storage in mm, at most the maximum storage", true},
            {"--max-escape", "X", "maximum escape rate in mm per time unit", true},
            {"--reservoirs", "N", "number of reservoirs of the cascade, 1 to 5 (to predict)"},
            {"--alpha", "X", "reaction factor alpha per time unit (to predict)", false, '&'},
            {"--initial-runoff", "X", "runoff at the start in mm per time unit (to predict)", false, '&'},
            {"--title1", "TEXT", "the first title line of the input file"},
            {"--title2", "TEXT",
             "the second title line (with dates it names the first date and the unit by\n"
             "default)"},
            {"--force", nullptr, "replace an existing FILE.inp"}})},
      {"run", RunCommand, "FILE.inp",
       "run: the option the input file was written for; the output file FILE.out is written\n"
       "beside it, a summary goes to standard output and the run's warnings to standard error",
       {{"--table", "OUT.csv",
         "also the run's table in full precision (the shortest text that reads back to the\n"
         "same number), commas, a decimal point"},
        {"--european", nullptr, "the table with semicolons and decimal commas"}}},
      {"calibrate", CalibrateCommand, "DATA",
       "calibrate: the maximum storage, initial storage and escape rate of best fit over the\n"
       "whole range, whatever the record's own values; reservoirs and alpha by the exhaustive\n"
       "search of a run. DATA is a determination's input file or a table read with the table\n"
       "options, of at most 100000 points",
       WithTableOptions(
           {{"-o", "BEST.inp|MODEL.json",
             "BEST.inp: the input file with the parameters found, run at once into BEST.out\n"
             "(DATA an input file, or at most 1500 points); MODEL.json: a model file with the\n"
             "parameters, the period and the criteria (validate takes it as FITTED)", true},
            rain, runoff,
            {"--objective", ObjectiveValue(), "the fit to make best (rsquare by default)"},
            {"--max-storage", "LO:HI", "the range of the maximum storage in mm (1:500 by default)"},
            {"--warm-up", "N",
             "the objective leaves out the first N points (the search for reservoirs and alpha\n"
             "still uses every point)"},
            {"--validate", "DATA2",
             "then validates the fit on DATA2 (an input file, or a table read with the table\n"
             "options) and prints the report"},
            {"--validate-from", "X", "DATA2's first date or time, in place of --from"},
            {"--validate-to", "X", "DATA2's last date or time, in place of --to"},
            {"--slow-path", nullptr,
             "beside the design (-o MODEL.json only): a share of each recharge (0 to 1) goes\n"
             "through one slow linear reservoir, its reaction factor searched over 0.0005 to 0.5\n"
             "per time unit; with --pet-column (a table DATA) the escape of each step follows the\n"
             "potential evaporation of that column, as a ratio to its mean over DATA"}},
           {{"--force", nullptr, "replace an existing BEST.inp or MODEL.json"}})},
      {"validate", ValidateCommand, "FITTED DATA",
       "validate: judges a fitted model on the data of another period: the determination's\n"
       "reconstruction with FITTED's reservoirs, alpha and store parameters, without a search;\n"
       "prints what was used, the period and every criterion, rounded and in full precision.\n"
       "FITTED: a determination's FILE.inp or FILE.out, or a MODEL.json; DATA: a\n"
       "determination's FILE.inp or a table read with the table options, up to 100000 points",
       WithTableOptions({{"--warm-up", "N", "the first N points are left out of the criteria"},
                         {"--table", "OUT.csv",
                          "the run's table in full precision (date when known, time, rain,\n"
                          "recharge, measured, calculated; quick and slow with a slow path); a\n"
                          "model file's evaporation is read from the column it names unless\n"
                          "--pet-column names another"},
                         {"--plot", "FILE.png|FILE.svg",
                          "the hydrograph as a picture: measured and calculated runoff, and with a\n"
                          "slow path its quick and slow flow apart"},
                         rain, runoff})},
      {"uncertainty", UncertaintyCommand, "DATA",
       "uncertainty: how sure the fit is (GLUE): the maximum storage (log-uniform), initial\n"
       "storage and escape rate sampled over the range by Latin hypercube, each sample fitted\n"
       "with its reservoirs and alpha; the samples whose objective reaches a threshold are\n"
       "behavioural, weighted by how far above it they are; writes PREFIX_samples.csv and\n"
       "PREFIX_bands.csv (the best fit and the weighted 5, 50 and 95 % of the behavioural\n"
       "runoff at every point) and prints the behavioural ranges and how much of the measured\n"
       "runoff the band holds. DATA as for calibrate, of at most 100000 points",
       WithTableOptions(
           {{"-o", "PREFIX", "the start of the names of the tables written", true},
            rain, runoff,
            {"--samples", "N", "how many samples (10000 by default)"},
            {"--objective", ObjectiveValue(), "what judges a sample (nse by default)"},
            {"--threshold", "X", "behavioural: an objective of X or more"},
            {"--best-share", "P",
             "behavioural: the best share P of the samples (0.1, the best 10 %, by default)",
             false, '|'},
            {"--max-storage", "LO:HI", "the range of the maximum storage in mm (1:500 by default)"},
            {"--warm-up", "N", "the criteria and the band's figures leave out the first N points"},
            {"--seed", "S", "the seed of the samples (1 by default): the same seed, the same samples"},
            {"--validate", "DATA2",
             "also the behavioural set's band on DATA2 (PREFIX_validation_bands.csv) and its\n"
             "figures"},
            {"--validate-from", "X", "DATA2's first date or time, in place of --from"},
            {"--validate-to", "X", "DATA2's last date or time, in place of --to"},
            {"--slow-path", nullptr,
             "the slow path's share and reaction factor sampled too; with --pet-column the\n"
             "escape follows the potential evaporation (DATA2 scaled by DATA's mean)"},
            {"--plots", "DIR",
             "also pictures in DIR: a dotty plot of the objective against each sampled value\n"
             "(dotty_KEY), the band around the measured runoff (band, validation_band)"},
            {"--plot-format", "png|svg", "the pictures' format (png by default)"}},
           {{"--force", nullptr, "replace existing tables"}})},
      {"table", TableCommand, "FILE.out",
       "table: the table of an output file (either option) as CSV for a spreadsheet, with the\n"
       "values it prints; a header row, then one row per point, commas and a decimal point",
       {{"-o", "OUT.csv", "the table to write (an existing one is replaced)", true},
        {"--european", nullptr, "semicolons between cells and decimal commas"}}},
      {"graph", GraphCommand, "FILE.out",
       "graph: one graph of an output file, saved as the extension of -o says: a 24-bit bitmap\n"
       "(.bmp) or a PNG (.png) of 623 x 465 pixels, or an SVG drawing (.svg) of that size",
       {{"--kind", "1|2|3|4|7",
         "1 runoff in time, 3 rain and recharge, 7 observed against calculated runoff (of a\n"
         "determination); 2 runoff in time, 4 rain and recharge (of a prediction)", true},
        {"-o", "GRAPH.bmp|GRAPH.png|GRAPH.svg", "the file to write (an existing one is replaced)", true},
        {"--scale", "1|2|3",
         "a PNG drawn at that multiple of the size, text and lines scaled (1 by default)"}}},
      {"regional", RegionalCommand, "MANIFEST.csv",
       "regional: calibrates and validates every catchment of a manifest (a header row, then\n"
       "one row a catchment: id, data, the table options as columns such as rain_column,\n"
       "calibrate_from, calibrate_to, validate_from, validate_to, warm_up, objective, slow_path,\n"
       "max_storage), in parallel; each into OUTDIR/ID (model.json, validation.csv) and a row\n"
       "of OUTDIR/summary.csv; catchments with complete results are skipped, so a run broken\n"
       "off and started again finishes the rest",
       {{"-o", "OUTDIR", "the folder of the results (made when missing)", true},
        {"--jobs", "N", "catchments run at once, each on one core (all cores by default)"},
        {"--shard", "I/N",
         "only every N-th catchment from the I-th, for N machines; the summary is then\n"
         "OUTDIR/summary-I-of-N.csv (regional-merge joins them)"},
        {"--force", nullptr, "run catchments again whose results are complete"},
        {"--plots", "DIR", "also the cumulative distributions of NSE and KGE over the catchments,\n"
                           "calibration and validation: DIR/cdf-nse.png and DIR/cdf-kge.png"},
        {"--plot-format", "png|svg", "the plots as PNG (by default) or SVG drawings"}}},
      {"regional-merge", RegionalMergeCommand, "OUTDIR...",
       "regional-merge: joins the summaries of the shards of regional (each OUTDIR's\n"
       "summary.csv and summary-I-of-N.csv, or the files named) into one, in the manifest's\n"
       "order when every OUTDIR has the same, by id otherwise; an id given twice is refused",
       {{"-o", "SUMMARY.csv", "the summary to write (an existing one is replaced)", true},
        {"--plots", "DIR", "also the cumulative distributions of NSE and KGE, as regional draws them"},
        {"--plot-format", "png|svg", "the plots as PNG (by default) or SVG drawings"}}},
  };
}

// "--rain-column N|NAME", or "--force".
std::string Term(const TOption& o) { return std::string(o.Name) + (o.Value ? std::string(" ") + o.Value : ""); }

// The usage's pieces: an option, or options joined, bracketed unless needed.
std::vector<std::string> UsagePieces(const TCommand& command) {
  std::vector<std::string> pieces;
  const auto& options = command.Options;
  for (std::size_t i = 0; i < options.size();) {
    std::string piece = Term(options[i]);
    const bool required = options[i].Required;
    std::size_t j = i + 1;
    for (; j < options.size() && options[j].Join; ++j)
      piece += (options[j].Join == '|' ? " | " : " ") + Term(options[j]);
    pieces.push_back(required ? piece : "[" + piece + "]");
    i = j;
  }
  return pieces;
}

constexpr std::size_t UsageWidth = 92;
constexpr std::size_t HelpColumn = 27;

// Roff with its own characters kept: a minus is "\-".
std::string Roff(const std::string& text) {
  std::string out;
  for (char c : text) out += c == '-' ? std::string("\\-") : c == '\\' ? std::string("\\e") : std::string(1, c);
  return out;
}

}  // namespace

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = MakeCommands();
  return commands;
}

const TCommand& CommandNamed(const std::string& name) {
  for (const TCommand& command : Commands())
    if (name == command.Name) return command;
  throw std::logic_error("no command " + name);
}

std::string CommandUsage(const TCommand& command) {
  std::string text, line = std::string("  tolvane-batch ") + command.Name + " " + command.Operands;
  for (const std::string& piece : UsagePieces(command)) {
    if (line.size() + 1 + piece.size() > UsageWidth) {
      text += line + "\n";
      line = "     ";
    }
    line += " " + piece;
  }
  return text + line + "\n";
}

std::string CommandHelp(const TCommand& command) {
  std::string text = std::string(command.Summary) + "\n";
  for (const TOption& o : command.Options) {
    // The help as one paragraph, wrapped into its column; a long option
    // starts it on its own line, two blanks after it.
    std::string head = "  " + Term(o);
    head += head.size() + 2 > HelpColumn ? "  " : std::string(HelpColumn - head.size(), ' ');
    std::string line = head;
    bool first = true;
    for (const std::string& part : SplitAt(o.Help, '\n')) {
      std::size_t at = 0;
      while (at < part.size()) {
        const auto end = part.find(' ', at);
        const std::string word = part.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? part.size() : end + 1;
        if (!first && line.size() + 1 + word.size() > UsageWidth) {
          text += line + "\n";
          line = std::string(HelpColumn, ' ');
          first = true;
        }
        line += (first ? "" : " ") + word;
        first = false;
      }
    }
    text += line + "\n";
  }
  return text;
}

std::string ManualSynopsis() {
  std::string roff;
  for (const TCommand& command : Commands()) {
    if (!roff.empty()) roff += ".br\n";
    roff += ".B tolvane\\-batch " + Roff(command.Name) + "\n.I " + Roff(command.Operands) + "\n";
    for (const std::string& piece : UsagePieces(command)) roff += Roff(piece) + "\n";
  }
  return roff + ".br\n.B tolvane\\-batch \\-\\-help\\fR|\\fB\\-\\-version\n";
}

std::string ManualOptions() {
  std::string roff;
  for (const TCommand& command : Commands()) {
    roff += ".SS " + Roff(command.Name) + "\n";
    std::string summary = command.Summary;
    std::replace(summary.begin(), summary.end(), '\n', ' ');
    roff += Roff(summary.substr(summary.find(": ") + 2)) + "\n";
    for (const TOption& o : command.Options) {
      std::string help = o.Help;
      std::replace(help.begin(), help.end(), '\n', ' ');
      roff += ".TP\n.B " + Roff(o.Name) + (o.Value ? " \\fI" + Roff(o.Value) + "\\fR" : "") + "\n" +
              Roff(help) + "\n";
    }
  }
  return roff;
}
