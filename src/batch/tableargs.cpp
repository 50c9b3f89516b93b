#include "batch/tableargs.h"

std::string OptionOr(const TArgs& args, const std::string& name, const std::string& otherwise) {
  const auto it = args.Options.find(name);
  return it == args.Options.end() ? otherwise : it->second;
}

namespace {

// One of the words of an option; false with error set for any other.
template <typename TValue>
bool GetChoice(const TArgs& args, const std::string& name,
               const std::vector<std::pair<const char*, TValue>>& words, TValue& value,
               std::string& error) {
  const auto it = args.Options.find(name);
  if (it == args.Options.end()) return true;
  std::string list;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (it->second == words[i].first) {
      value = words[i].second;
      return true;
    }
    list += i == 0 ? "" : i + 1 == words.size() ? " or " : ", ";
    list += words[i].first;
  }
  error = name + " must be " + list;
  return false;
}

}  // namespace

const std::vector<std::string>& TableOptionNames() {
  static const std::vector<std::string> names = {
      "--time-column", "--rain-column", "--runoff-column", "--date-column", "--date-columns",
      "--time-unit",   "--delimiter",   "--decimal",       "--header",      "--from",
      "--to",          "--missing",     "--max-gap",       "--first-row",   "--rows",
      "--pet-column"};
  return names;
}

bool HasTableOptions(const TArgs& args) {
  for (const auto& name : TableOptionNames())
    if (args.Options.count(name)) return true;
  return false;
}

bool GetTableOptions(const TArgs& args, bool analysis, const std::string& runoffNeeded,
                     TTableImportOptions& o, std::string& error) {
  o.Determination = analysis;
  if (!GetChoice<TTableDelimiter>(args, "--delimiter",
                                  {{"auto", TTableDelimiter::Auto},
                                   {"comma", TTableDelimiter::Comma},
                                   {"semicolon", TTableDelimiter::Semicolon},
                                   {"tab", TTableDelimiter::Tab}},
                                  o.Delimiter, error) ||
      !GetChoice<TTableDecimal>(args, "--decimal",
                                {{"auto", TTableDecimal::Auto},
                                 {"point", TTableDecimal::Point},
                                 {"comma", TTableDecimal::Comma}},
                                o.Decimal, error) ||
      !GetChoice<TTableHeader>(args, "--header",
                               {{"auto", TTableHeader::Auto},
                                {"yes", TTableHeader::Yes},
                                {"no", TTableHeader::No}},
                               o.Header, error) ||
      !GetChoice<TTableTimeUnit>(args, "--time-unit",
                                 {{"day", TTableTimeUnit::Day}, {"hour", TTableTimeUnit::Hour}},
                                 o.TimeUnit, error) ||
      !GetInt(args, "--first-row", o.FirstRow, error) || !GetInt(args, "--rows", o.Rows, error) ||
      !GetInt(args, "--max-gap", o.MaxGap, error))
    return false;

  o.TimeColumn = TableColumnOf(OptionOr(args, "--time-column", ""));
  o.DateColumn = TableColumnOf(OptionOr(args, "--date-column", ""));
  o.RainColumn = TableColumnOf(OptionOr(args, "--rain-column", ""));
  o.RunoffColumn = TableColumnOf(OptionOr(args, "--runoff-column", ""));
  o.PetColumn = TableColumnOf(OptionOr(args, "--pet-column", ""));
  if (o.PetColumn.Number < 0 || (args.Options.count("--pet-column") && !o.PetColumn.Chosen())) {
    error = "--pet-column counts from 1";
    return false;
  }
  if (args.Options.count("--date-columns")) {
    for (const auto& part : SplitAt(args.Options.at("--date-columns"), ','))
      o.DateColumns.push_back(TableColumnOf(part));
    bool good = o.DateColumns.size() == 3;
    for (const auto& c : o.DateColumns) good = good && c.Chosen() && c.Number >= 0;
    if (!good) {
      error = "--date-columns takes three columns Y,M,D (numbers from 1 or header names)";
      return false;
    }
  }
  if (o.RainColumn.Number < 0 || !o.RainColumn.Chosen()) {
    error = "--rain-column N is needed (columns count from 1)";
    return false;
  }
  if (o.TimeColumn.Number < 0 || (args.Options.count("--time-column") && !o.TimeColumn.Chosen())) {
    error = "--time-column counts from 1";
    return false;
  }
  if (o.DateColumn.Number < 0 || (args.Options.count("--date-column") && !o.DateColumn.Chosen())) {
    error = "--date-column counts from 1";
    return false;
  }
  if (!runoffNeeded.empty() && (o.RunoffColumn.Number < 0 || !o.RunoffColumn.Chosen())) {
    error = runoffNeeded;
    return false;
  }
  const int sources = (o.TimeColumn.Chosen() ? 1 : 0) + (o.DateColumn.Chosen() ? 1 : 0) +
                      (o.DateColumns.empty() ? 0 : 1);
  if (sources > 1) {
    error = "give one of --time-column, --date-column and --date-columns";
    return false;
  }
  const bool dated = o.DateColumn.Chosen() || !o.DateColumns.empty();
  if (args.Options.count("--time-unit") && !dated) {
    error = "--time-unit goes with --date-column or --date-columns";
    return false;
  }
  if (o.FirstRow < 1) {
    error = "--first-row counts from 1";
    return false;
  }
  if (args.Options.count("--rows") && o.Rows < 1) {
    error = "--rows must be 1 or more";
    return false;
  }
  if (o.MaxGap < 0) {
    error = "--max-gap must be 0 or more";
    return false;
  }
  if (args.Options.count("--max-gap") && o.TimeColumn.Chosen()) {
    error = "--max-gap does not go with --time-column (there a row with a missing value is left "
            "out)";
    return false;
  }
  o.From = OptionOr(args, "--from", "");
  o.To = OptionOr(args, "--to", "");
  for (const char* name : {"--from", "--to"}) {
    if (!args.Options.count(name)) continue;
    const std::string why = CheckPeriodBound(args.Options.at(name), dated);
    if (!why.empty()) {
      error = std::string(name) + ": " + why;
      return false;
    }
  }
  if (args.Options.count("--missing")) {
    o.Missing.clear();
    for (const auto& code : SplitAt(args.Options.at("--missing"), ','))
      if (!code.empty()) o.Missing.push_back(code);
  }
  return true;
}

