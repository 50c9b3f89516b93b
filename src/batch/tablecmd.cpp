// tolvane-batch table: the table of an output file as CSV for a
// spreadsheet, with the values the file prints.
#include <iostream>
#include <string>

#include "batch/batchargs.h"
#include "batch/commands.h"
#include "files/csvtable.h"
#include "files/filepaths.h"
#include "files/outputreader.h"

int TableCommand(int argc, char** argv) {
  std::string error;
  auto parsed = ParseArgs(argc, argv, CommandNamed("table"), error);
  if (!parsed) return UsageError(error);
  const TArgs& args = *parsed;
  if (args.Positional.size() != 1) return UsageError("table takes one output file FILE.out");
  if (!args.Options.count("-o")) return UsageError("table needs -o OUT.csv");
  const std::string& path = args.Positional[0];
  const std::string& out = args.Options.at("-o");
  if (SameFile(path, out)) return UsageError("-o must name a file other than the output file");
  const auto content = ReadWholeFile(path);
  if (!content) {
    std::cerr << ResultsOpenFailureText(path) << "\n";
    return ExitUsage;
  }
  const TCsvStyle style = args.Has(EuropeanFlag) ? CsvEuropeanStyle : CsvPointStyle;
  const auto csv = OutputFileCsv(*content, path, style, error);
  if (!csv) {
    std::cerr << error << "\n";
    return ExitFailed;
  }
  // Every row, the header too, ends with CR LF.
  std::size_t rows = 0;
  for (std::size_t at = csv->find("\r\n"); at != std::string::npos; at = csv->find("\r\n", at + 2))
    ++rows;
  return WriteTable(out, *csv, rows - 1) ? ExitOk : ExitFailed;
}
