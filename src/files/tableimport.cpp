#include "files/tableimport.h"

#include <algorithm>
#include <optional>
#include <tuple>

#include "base/numformat.h"
#include "base/numparse.h"
#include "files/tabledates.h"

namespace {

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string Plural(long long n, const char* one, const char* many) {
  return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The lines of the text: a spreadsheet ends them with CR LF, LF or a lone
// CR. A last line without an end counts; nothing after the last end does.
std::vector<std::string_view> SplitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  lines.reserve(static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1);
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\n' && text[i] != '\r') continue;
    lines.push_back(text.substr(start, i - start));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

// Cells between delimiters, blanks around them trimmed. A cell that starts
// with a double quote runs to the closing one, delimiters included; a
// doubled quote inside stands for one.
void SplitCells(std::string_view line, char delimiter, std::vector<std::string>& cells) {
  cells.clear();
  std::size_t i = 0;
  for (;;) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t') && line[i] != delimiter) ++i;
    if (i < line.size() && line[i] == '"') {
      std::string cell;
      ++i;
      for (; i < line.size(); ++i) {
        if (line[i] == '"') {
          if (i + 1 < line.size() && line[i + 1] == '"') {
            cell += '"';
            ++i;
            continue;
          }
          ++i;
          break;
        }
        cell += line[i];
      }
      const auto end = std::min(line.find(delimiter, i), line.size());
      cell += line.substr(i, end - i);
      i = end;
      cells.emplace_back(Trim(cell));
    } else {
      // Straight from the line: a long record has millions of cells.
      const auto end = std::min(line.find(delimiter, i), line.size());
      cells.emplace_back(Trim(line.substr(i, end - i)));
      i = end;
    }
    if (i >= line.size()) break;
    ++i;  // the delimiter
  }
}

bool AllEmpty(const std::vector<std::string>& cells) {
  return std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); });
}

// A line with tabs is tab separated, else one with semicolons semicolon
// separated, else comma; quoted text does not count.
TTableDelimiter DetectDelimiter(std::string_view line) {
  bool quoted = false, semicolon = false;
  for (char c : line) {
    if (c == '"') quoted = !quoted;
    if (quoted) continue;
    if (c == '\t') return TTableDelimiter::Tab;
    if (c == ';') semicolon = true;
  }
  return semicolon ? TTableDelimiter::Semicolon : TTableDelimiter::Comma;
}

char DelimiterChar(TTableDelimiter d) {
  return d == TTableDelimiter::Tab ? '\t' : d == TTableDelimiter::Semicolon ? ';' : ',';
}

std::string StepText(long long seconds) {
  if (seconds % SecondsPerDay == 0) return Plural(seconds / SecondsPerDay, "day", "days");
  if (seconds % SecondsPerHour == 0) return Plural(seconds / SecondsPerHour, "hour", "hours");
  if (seconds % 60 == 0) return Plural(seconds / 60, "minute", "minutes");
  return Plural(seconds, "second", "seconds");
}

enum class TCellKind { Number, Missing, Bad };

// What the table holds, split and sized up, before any row is read.
class TTable {
public:
  TTable(std::string_view bytes, const TTableImportOptions& options) : Options(options) {
    // Old DOS tools end a text with character 26, as the program's own
    // files may.
    const auto eof = bytes.find('\x1A');
    if (eof != std::string_view::npos) bytes = bytes.substr(0, eof);
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF")) {
      Error = Options.FileName + ": is UTF-16 text; save it as UTF-8 or plain text";
      return;
    }
    Lines = SplitLines(bytes);
    while (FirstLine < Lines.size() && Trim(Lines[FirstLine]).empty()) ++FirstLine;
    Delimiter = Options.Delimiter != TTableDelimiter::Auto ? Options.Delimiter
                : FirstLine < Lines.size()                ? DetectDelimiter(Lines[FirstLine])
                                                          : TTableDelimiter::Comma;
    Sep = DelimiterChar(Delimiter);
    Decimal = Options.Decimal;
    if (Decimal == TTableDecimal::Auto && Delimiter == TTableDelimiter::Comma)
      Decimal = TTableDecimal::Point;
    for (const auto& code : Options.Missing) {
      const auto text = Trim(code);
      if (text.empty()) continue;
      if (const auto value = ReadPlain(text)) MissingValues.push_back(*value);
      MissingTexts.emplace_back(text);
    }
  }

  // A number with the decimal separator in force; whether a comma was one.
  std::optional<double> ReadPlain(std::string_view text, bool* comma = nullptr) const {
    const bool hasComma = text.find(',') != std::string_view::npos;
    const bool hasPoint = text.find('.') != std::string_view::npos;
    if (!hasComma) {
      if (Decimal == TTableDecimal::Comma && hasPoint) return std::nullopt;
      return ParseReal(text);
    }
    if (Decimal == TTableDecimal::Point || hasPoint) return std::nullopt;
    std::string token(text);
    std::replace(token.begin(), token.end(), ',', '.');
    const auto value = ParseReal(token);
    if (value && comma) *comma = true;
    return value;
  }

  bool IsMissing(std::string_view cell) const {
    if (cell.empty()) return true;
    for (const auto& code : MissingTexts)
      if (SameText(cell, code)) return true;
    if (!MissingValues.empty()) {
      if (const auto value = ReadPlain(cell))
        for (double code : MissingValues)
          if (*value == code) return true;
    }
    return false;
  }

  // IsMissing, and the number when it is none, from one reading of the
  // cell: a long record spends its time here.
  TCellKind ReadNumber(std::string_view cell, double& value) {
    if (cell.empty()) return TCellKind::Missing;
    for (const auto& code : MissingTexts)
      if (SameText(cell, code)) return TCellKind::Missing;
    bool comma = false;
    const auto parsed = ReadPlain(cell, &comma);
    if (!parsed) return TCellKind::Bad;
    for (double code : MissingValues)
      if (*parsed == code) return TCellKind::Missing;
    SawDecimalComma = SawDecimalComma || comma;
    value = *parsed;
    return TCellKind::Number;
  }

  std::string At(int line) const { return Options.FileName + ":" + std::to_string(line); }

  std::string ColumnText(int column) const {
    std::string text = "column " + std::to_string(column);
    if (column >= 1 && static_cast<std::size_t>(column) <= Names.size() &&
        !Names[static_cast<std::size_t>(column) - 1].empty())
      text += " (" + Names[static_cast<std::size_t>(column) - 1] + ")";
    return text;
  }

  // The columns the reading needs, each as chosen.
  std::vector<const TTableColumn*> Needed() const {
    std::vector<const TTableColumn*> needed;
    for (const TTableColumn* c : {&Options.TimeColumn, &Options.DateColumn})
      if (c->Chosen()) needed.push_back(c);
    for (const auto& c : Options.DateColumns) needed.push_back(&c);
    needed.push_back(&Options.RainColumn);
    if (Options.Determination && Options.RunoffColumn.Chosen())
      needed.push_back(&Options.RunoffColumn);
    if (Options.PetColumn.Chosen()) needed.push_back(&Options.PetColumn);
    return needed;
  }

  bool IsDatePart(const TTableColumn* column) const {
    for (const auto& c : Options.DateColumns)
      if (column == &c) return true;
    return false;
  }

  // Whether a cell holds what its column needs, for deciding on a header.
  bool LooksLikeValue(const TTableColumn* column, std::string_view cell) const {
    if (IsMissing(cell)) return true;
    if (column == &Options.DateColumn) return ParseTableDate(cell).has_value();
    if (IsDatePart(column)) return ParseInteger(cell).has_value();
    return ReadPlain(cell).has_value();
  }

  // Finds the header line and the column numbers; false with Error set.
  bool FindHeader() {
    if (FirstLine >= Lines.size()) return true;
    const auto needed = Needed();
    bool header = Options.Header == TTableHeader::Yes;
    const bool byName = std::any_of(needed.begin(), needed.end(),
                                    [](const TTableColumn* c) { return c->Number == 0; });
    std::vector<std::string> cells;
    SplitCells(Lines[FirstLine], Sep, cells);
    if (Options.Header == TTableHeader::Auto) {
      header = byName;
      // A line that starts with a date is data, whatever the rest holds:
      // a slip in its rain is then reported, not taken for a name.
      const bool dated = Options.DateColumn.Chosen() || !Options.DateColumns.empty();
      for (const TTableColumn* c : needed) {
        if (dated && c != &Options.DateColumn && !IsDatePart(c)) continue;
        if (c->Number < 1 || static_cast<std::size_t>(c->Number) > cells.size()) continue;
        if (!LooksLikeValue(c, cells[static_cast<std::size_t>(c->Number) - 1])) header = true;
      }
    }
    if (header) {
      HeaderLine = static_cast<int>(FirstLine) + 1;
      Names = cells;
    }
    if (byName && !header) {
      Error = Options.FileName + ": a column by name needs a header line";
      return false;
    }
    return true;
  }

  // The number of a chosen column; 0 with Error set when its name is not
  // in the header.
  int Resolve(const TTableColumn& column) {
    if (column.Number != 0 || !Error.empty()) return column.Number;
    int found = 0;
    for (std::size_t i = 0; i < Names.size(); ++i) {
      if (!SameText(Names[i], Trim(column.Name))) continue;
      if (found != 0) {
        Error = At(HeaderLine) + ": the header has \"" + column.Name + "\" twice (columns " +
                std::to_string(found) + " and " + std::to_string(i + 1) + ")";
        return 0;
      }
      found = static_cast<int>(i) + 1;
    }
    if (found == 0) {
      std::string list;
      for (const auto& name : Names) list += (list.empty() ? "" : ", ") + name;
      Error = At(HeaderLine) + ": no column \"" + column.Name + "\" in the header (" + list + ")";
    }
    return found;
  }

  const TTableImportOptions& Options;
  std::string Error;
  std::vector<std::string_view> Lines;
  std::size_t FirstLine = 0;  // index of the first line that is not blank
  TTableDelimiter Delimiter = TTableDelimiter::Comma;
  char Sep = ',';
  TTableDecimal Decimal = TTableDecimal::Auto;
  int HeaderLine = 0;
  std::vector<std::string> Names;
  std::vector<std::string> MissingTexts;
  std::vector<double> MissingValues;
  bool SawDecimalComma = false;
};

std::string OptionsError(const TTableImportOptions& o) {
  const int sources = (o.TimeColumn.Chosen() ? 1 : 0) + (o.DateColumn.Chosen() ? 1 : 0) +
                      (o.DateColumns.empty() ? 0 : 1);
  if (sources > 1) return "the times come from one of a time column, a date column and date columns";
  if (!o.DateColumns.empty() && o.DateColumns.size() != 3)
    return "the date columns are three: year, month, day";
  if (!o.RainColumn.Chosen()) return "a rain column is needed";
  if (o.Determination && !o.RunoffColumn.Chosen())
    return "a runoff column is needed to determine the model";
  for (const auto* c : {&o.TimeColumn, &o.DateColumn, &o.RainColumn, &o.RunoffColumn, &o.PetColumn})
    if (c->Number < 0) return "columns count from 1";
  for (const auto& c : o.DateColumns)
    if (c.Number < 0 || !c.Chosen()) return "columns count from 1";
  if (o.FirstRow < 1) return "rows count from 1";
  if (o.Rows == 0 || o.Rows < -1) return "the number of rows must be 1 or more";
  if (o.MaxGap < 0) return "the longest gap must be 0 or more";
  return "";
}

// One row of the period as read.
struct TRow {
  int Line = 0;
  double When = 0;  // the time value, or the date's seconds
  bool HasTime = false;
  double Rain = 0, Runoff = 0, Pet = 0;
  bool RunoffMissing = false, PetMissing = false;
  bool Kept = true;
};

}  // namespace

TTableColumn TableColumnOf(std::string_view text) {
  TTableColumn column;
  const auto trimmed = Trim(text);
  if (const auto number = ParseInteger(trimmed))
    column.Number = *number == 0 ? -1 : *number;  // 0 chooses no column: refused as a number
  else
    column.Name = std::string(trimmed);
  return column;
}

std::vector<std::string> DefaultMissingCodes() { return {"NA", "NaN", "-999", "-9999"}; }

const char* DelimiterName(TTableDelimiter delimiter) {
  switch (delimiter) {
    case TTableDelimiter::Semicolon: return "semicolon";
    case TTableDelimiter::Tab: return "tab";
    default: return "comma";
  }
}

std::string CheckPeriodBound(std::string_view text, bool dated) {
  if (dated) {
    if (ParseTableDate(text)) return "";
    return "\"" + std::string(text) +
           "\" is not a date (yyyy-mm-dd, yyyy/mm/dd or dd.mm.yyyy, with hh:mm if need be)";
  }
  if (StringToFloat(text, '.')) return "";
  return "\"" + std::string(text) + "\" is not a time value";
}

TTablePreview PreviewTable(std::string_view bytes, const TTableImportOptions& options,
                           int maxRows) {
  TTablePreview preview;
  TTable table(bytes, options);
  if (table.Error.empty()) table.FindHeader();
  preview.Error = table.Error;
  preview.Delimiter = table.Delimiter;
  preview.HeaderLine = table.HeaderLine;
  preview.Names = table.Names;
  preview.LineCount = static_cast<int>(table.Lines.size());
  const auto start = static_cast<std::size_t>(std::max(options.FirstRow, table.HeaderLine + 1));
  std::vector<std::string> cells;
  for (std::size_t line = start; line <= table.Lines.size(); ++line) {
    if (static_cast<int>(preview.Cells.size()) >= maxRows) break;
    SplitCells(table.Lines[line - 1], table.Sep, cells);
    if (AllEmpty(cells)) continue;
    preview.Lines.push_back(static_cast<int>(line));
    preview.Cells.push_back(cells);
  }
  return preview;
}

TTableImport ImportTable(std::string_view bytes, const TTableImportOptions& options) {
  TTableImport result;
  const std::string& file = options.FileName;
  if (auto error = OptionsError(options); !error.empty()) {
    result.Error = file + ": " + error;
    return result;
  }
  TTable table(bytes, options);
  if (!table.Error.empty() || !table.FindHeader()) {
    result.Error = table.Error;
    return result;
  }
  result.Delimiter = table.Delimiter;
  result.HeaderLine = table.HeaderLine;
  result.Names = table.Names;

  const bool byDate = options.DateColumn.Chosen() || !options.DateColumns.empty();
  const bool byTimeColumn = options.TimeColumn.Chosen();
  const bool analysis = options.Determination;
  result.Dated = byDate;
  if (!analysis && options.RunoffColumn.Chosen())
    result.Notes.push_back(file + ": a prediction takes no runoff; the runoff column is not read");

  // The columns by number.
  const int timeCol = byTimeColumn ? table.Resolve(options.TimeColumn) : 0;
  const int dateCol = options.DateColumn.Chosen() ? table.Resolve(options.DateColumn) : 0;
  std::vector<int> ymdCols;
  for (const auto& c : options.DateColumns) ymdCols.push_back(table.Resolve(c));
  const int rainCol = table.Resolve(options.RainColumn);
  const int runoffCol = analysis ? table.Resolve(options.RunoffColumn) : 0;
  const int petCol = options.PetColumn.Chosen() ? table.Resolve(options.PetColumn) : 0;
  if (!table.Error.empty()) {
    result.Error = table.Error;
    return result;
  }
  result.TimeColumn = timeCol;
  result.RainColumn = rainCol;
  result.RunoffColumn = runoffCol;
  result.PetColumn = petCol;

  // The period.
  const long long unit =
      options.TimeUnit == TTableTimeUnit::Hour ? SecondsPerHour : SecondsPerDay;
  std::optional<double> from, to;
  for (const auto& [text, bound, isTo] :
       {std::tuple{&options.From, &from, false}, std::tuple{&options.To, &to, true}}) {
    if (Trim(*text).empty()) continue;
    if (const auto why = CheckPeriodBound(Trim(*text), byDate); !why.empty()) {
      result.Error = file + ": " + why;
      return result;
    }
    if (byDate) {
      const auto date = *ParseTableDate(Trim(*text));
      // A last day without a time of day is taken in whole.
      *bound = static_cast<double>(date.Seconds + (isTo && !date.HasTime ? SecondsPerDay - 1 : 0));
    } else {
      *bound = *StringToFloat(Trim(*text), '.');
    }
  }
  if (from && to && *to < *from) {
    result.Error = file + ": the period ends (" + options.To + ") before it starts (" +
                   options.From + ")";
    return result;
  }

  // The lines: from the first row asked for, never the header.
  const int lineCount = static_cast<int>(table.Lines.size());
  const int start = std::max(options.FirstRow, table.HeaderLine + 1);
  int last = lineCount;
  if (options.Rows > 0) {
    const long long wanted = static_cast<long long>(start) + options.Rows - 1;
    if (lineCount < wanted) {
      result.Error = file + ": has " + std::to_string(lineCount) + " lines, fewer than rows " +
                     std::to_string(start) + " to " + std::to_string(wanted);
      return result;
    }
    last = static_cast<int>(wanted);
  }

  auto whenText = [&](const TRow& row) {
    if (!byDate) return FormatGeneral(row.When, '.');
    return FormatTableDate(static_cast<long long>(row.When),
                           row.HasTime || options.TimeUnit == TTableTimeUnit::Hour);
  };
  auto inPeriod = [&](double when) { return (!from || when >= *from) && (!to || when <= *to); };

  std::vector<TRow> rows;
  rows.reserve(static_cast<std::size_t>(std::max(0, last - start + 1)));
  std::vector<std::string> cells;
  double firstWhen = 0, lastWhen = 0;  // of the whole range, for a message
  bool anyWhen = false;
  // With a time column a row without a time belongs to the period once it
  // has begun and until it is over.
  bool periodBegun = !from, periodOver = false;
  long long step = 0;
  int ordinal = 0;
  for (int line = start; line <= last; ++line) {
    SplitCells(table.Lines[static_cast<std::size_t>(line) - 1], table.Sep, cells);
    const bool blank = AllEmpty(cells);
    TRow row;
    row.Line = line;
    auto cellOf = [&](int column, std::string& cell) {
      if (static_cast<std::size_t>(column) > cells.size()) {
        result.Error = table.At(line) + ": " + table.ColumnText(column) + " is missing (the line has " +
                       std::to_string(cells.size()) + ")";
        return false;
      }
      cell = cells[static_cast<std::size_t>(column) - 1];
      return true;
    };
    auto notANumber = [&](int column, const std::string& cell) {
      result.Error = table.At(line) + ": " + table.ColumnText(column) + ": \"" + cell +
                     "\" is not a number";
      return result;
    };
    // The escape cannot follow an evaporation below 0: refused where it
    // stands, by line and date.
    auto negativePet = [&](const TRow& at) {
      result.Error = table.At(line) + ": " + table.ColumnText(petCol) +
                     ": the potential evaporation " + FormatGeneral(at.Pet, '.') + " " +
                     (byDate ? "on " : "at time ") + whenText(at) + " is negative";
      return result;
    };
    std::string cell;

    if (byTimeColumn) {
      // The times are the user's: a row with a missing value is left out and
      // leaves its gap in them, as the input sheet does.
      bool timed = false;
      if (!blank) {
        if (!cellOf(timeCol, cell)) return result;
        const auto kind = table.ReadNumber(cell, row.When);
        if (kind == TCellKind::Bad) return notANumber(timeCol, cell);
        timed = kind == TCellKind::Number;
        row.Kept = timed;
      } else {
        row.Kept = false;
      }
      if (timed) {
        if (!anyWhen) firstWhen = row.When;
        lastWhen = row.When;
        anyWhen = true;
        if (to && row.When > *to) periodOver = true;
        if (!inPeriod(row.When)) continue;
        periodBegun = true;
      } else if (!periodBegun || periodOver) {
        continue;
      }
      ++result.Selected;
      if (!blank) {
        double value = 0;
        for (const int column : {rainCol, runoffCol, petCol}) {
          if (column == 0) continue;
          if (!cellOf(column, cell)) return result;
          const auto kind = table.ReadNumber(cell, value);
          if (kind == TCellKind::Bad) return notANumber(column, cell);
          if (kind == TCellKind::Missing) row.Kept = false;
          (column == rainCol ? row.Rain : column == runoffCol ? row.Runoff : row.Pet) = value;
        }
        if (petCol != 0 && row.Kept && row.Pet < 0) return negativePet(row);
      }
      if (!row.Kept) ++result.LeftOut;
      rows.push_back(row);
      continue;
    }

    if (blank) continue;
    if (byDate) {
      std::optional<TTableDate> date;
      if (dateCol != 0) {
        if (!cellOf(dateCol, cell)) return result;
        date = ParseTableDate(cell);
        if (!date) {
          result.Error = table.At(line) + ": " + table.ColumnText(dateCol) + ": \"" + cell +
                         "\" is not a date (yyyy-mm-dd, yyyy-mm-dd hh:mm[:ss], yyyy/mm/dd or "
                         "dd.mm.yyyy [hh:mm])";
          return result;
        }
      } else {
        int parts[3] = {0, 0, 0};
        std::string texts[3];
        bool good = true;
        for (std::size_t k = 0; k < 3; ++k) {
          if (!cellOf(ymdCols[k], texts[k])) return result;
          const auto value = ParseInteger(texts[k]);
          good = good && value.has_value();
          parts[k] = value.value_or(0);
        }
        if (good) date = TableDateOf(parts[0], parts[1], parts[2]);
        if (!date) {
          result.Error = table.At(line) + ": " + table.ColumnText(ymdCols[0]) + ", " +
                         table.ColumnText(ymdCols[1]) + ", " + table.ColumnText(ymdCols[2]) +
                         ": \"" + texts[0] + "\", \"" + texts[1] + "\", \"" + texts[2] +
                         "\" make no date (year, month, day)";
          return result;
        }
      }
      row.When = static_cast<double>(date->Seconds);
      row.HasTime = date->HasTime;
    } else {
      row.When = ++ordinal;
    }
    if (!anyWhen) firstWhen = row.When;
    lastWhen = row.When;
    anyWhen = true;
    if (!inPeriod(row.When)) continue;
    ++result.Selected;

    // The model takes one time step for the whole record.
    if (byDate && !rows.empty()) {
      const TRow& previous = rows.back();
      const auto gap = static_cast<long long>(row.When - previous.When);
      // Built only for a refusal: a long record would spend most of its
      // reading on it.
      const auto follows = [&] {
        return table.At(line) + ": " + whenText(row) + " follows " + whenText(previous) +
               " of line " + std::to_string(previous.Line);
      };
      if (rows.size() == 1) {
        step = gap;
        if (step <= 0) {
          result.Error = follows() + "; the dates must increase";
          return result;
        }
        if (step % unit != 0) {
          result.Error = follows() + ": a step of " + StepText(step) + " is no whole number of " +
                         (unit == SecondsPerDay ? "days" : "hours") +
                         (unit == SecondsPerDay && step < unit
                              ? " (for data with hours take the time unit hour)"
                              : "");
          return result;
        }
      } else if (gap != step) {
        result.Error = follows() + "; the dates must follow each other at one step of " +
                       StepText(step);
        return result;
      }
    }

    if (!cellOf(rainCol, cell)) return result;
    auto kind = table.ReadNumber(cell, row.Rain);
    if (kind == TCellKind::Bad) return notANumber(rainCol, cell);
    if (kind == TCellKind::Missing) {
      result.Error = table.At(line) + ": " + table.ColumnText(rainCol) + ": rain missing (\"" +
                     cell + "\") " + (byDate ? "on " : "at time ") + whenText(row) +
                     "; only a missing runoff is interpolated";
      return result;
    }
    if (analysis) {
      if (!cellOf(runoffCol, cell)) return result;
      kind = table.ReadNumber(cell, row.Runoff);
      if (kind == TCellKind::Bad) return notANumber(runoffCol, cell);
      row.RunoffMissing = kind == TCellKind::Missing;
    }
    if (petCol != 0) {
      if (!cellOf(petCol, cell)) return result;
      kind = table.ReadNumber(cell, row.Pet);
      if (kind == TCellKind::Bad) return notANumber(petCol, cell);
      row.PetMissing = kind == TCellKind::Missing;
      if (!row.PetMissing && row.Pet < 0) return negativePet(row);
    }
    rows.push_back(row);
  }

  const auto kept = std::count_if(rows.begin(), rows.end(), [](const TRow& r) { return r.Kept; });
  if (kept == 0) {
    if (!anyWhen) {
      result.Error = file + ": holds no rows of data";
    } else if (from || to) {
      TRow first, end;
      first.When = firstWhen;
      end.When = lastWhen;
      const std::string period = from && to ? options.From + " to " + options.To
                                 : from     ? "from " + options.From + " on"
                                            : "up to " + options.To;
      result.Error = file + ": no rows in the period " + period + " (the rows run from " +
                     whenText(first) + " to " + whenText(end) + ")";
    } else {
      result.Error = file + ": no row holds every value needed";
    }
    return result;
  }

  // Holes in the runoff and in the evaporation: linear across a short run
  // between two values.
  const auto interpolate = [&](double TRow::*value, bool TRow::*missing, int column,
                               const char* what, std::vector<TTableInterpolation>& put) {
    const std::size_t n = rows.size();
    for (std::size_t a = 0; a < n; ++a) {
      if (!(rows[a].*missing)) continue;
      std::size_t b = a;
      while (b + 1 < n && rows[b + 1].*missing) ++b;
      const std::size_t length = b - a + 1;
      const std::string run = table.At(rows[a].Line) + ": " + table.ColumnText(column) + ": " +
                              what + " missing " +
                              (length == 1 ? (byDate ? "on " : "at time ") + whenText(rows[a])
                                           : "from " + whenText(rows[a]) + " to " +
                                                 whenText(rows[b])) +
                              " (" + Plural(static_cast<long long>(length), "value", "values") +
                              (length == 1 ? ", line " + std::to_string(rows[a].Line)
                                           : ", lines " + std::to_string(rows[a].Line) + " to " +
                                                 std::to_string(rows[b].Line)) +
                              ")";
      if (a == 0 || b == n - 1) {
        result.Error = run + (a == 0 ? " at the start of the period, with no value before it "
                                       "to interpolate from; begin the period later"
                                     : " at the end of the period, with no value after it to "
                                       "interpolate from; end the period earlier");
        return false;
      }
      if (static_cast<int>(length) > options.MaxGap) {
        result.Error = run + "; at most " + std::to_string(options.MaxGap) +
                       " in a row are interpolated";
        return false;
      }
      const double before = rows[a - 1].*value, after = rows[b + 1].*value;
      for (std::size_t k = a; k <= b; ++k) {
        const double share = static_cast<double>(k - a + 1) / static_cast<double>(length + 1);
        rows[k].*value = before + (after - before) * share;
        rows[k].*missing = false;
        put.push_back({rows[k].Line, whenText(rows[k]), rows[k].*value});
      }
      a = b;
    }
    return true;
  };
  if (analysis && !byTimeColumn &&
      !interpolate(&TRow::Runoff, &TRow::RunoffMissing, runoffCol, "runoff", result.Interpolated))
    return result;
  if (petCol != 0 && !byTimeColumn &&
      !interpolate(&TRow::Pet, &TRow::PetMissing, petCol, "potential evaporation",
                   result.PetInterpolated))
    return result;

  // The points.
  for (auto* series : {&result.Times, &result.Rains, &result.Runoffs})
    series->reserve(static_cast<std::size_t>(kept));
  result.Lines.reserve(static_cast<std::size_t>(kept));
  const TRow* firstKept = nullptr;
  const TRow* lastKept = nullptr;
  for (const TRow& row : rows) {
    if (!row.Kept) continue;
    if (!firstKept) firstKept = &row;
    lastKept = &row;
    double time = row.When;
    if (byDate)
      time = 1 + static_cast<double>(static_cast<long long>(row.When - firstKept->When) / unit);
    else if (!byTimeColumn)
      time = row.When - firstKept->When + 1;
    result.Times.push_back(time);
    result.Rains.push_back(row.Rain);
    result.Runoffs.push_back(analysis ? row.Runoff : 0);
    if (petCol != 0) result.Pets.push_back(row.Pet);
    result.Lines.push_back(row.Line);
  }
  result.Decimal = table.Decimal == TTableDecimal::Comma || table.SawDecimalComma ? ',' : '.';

  std::string summary = file + ": " + DelimiterName(table.Delimiter) + " separated, decimal " +
                        (result.Decimal == ',' ? "comma" : "point") + ", " +
                        (table.HeaderLine ? "header line " + std::to_string(table.HeaderLine)
                                          : std::string("no header")) +
                        ", ";
  const std::string lines = " (lines " + std::to_string(firstKept->Line) + " to " +
                            std::to_string(lastKept->Line) + ")";
  if (byDate) {
    const bool withTime = firstKept->HasTime || unit == SecondsPerHour;
    result.FirstDate = FormatTableDate(static_cast<long long>(firstKept->When), withTime);
    result.LastDate = FormatTableDate(static_cast<long long>(lastKept->When), withTime);
    summary += "dates " + result.FirstDate + " to " + result.LastDate + " every " +
               StepText(step == 0 ? unit : step) + lines;
    result.Title2 = "time 1 = " + result.FirstDate + ", time unit 1 " +
                    (unit == SecondsPerHour ? "hour" : "day");
  } else {
    summary += "times " + FormatGeneral(result.Times.front(), '.') + " to " +
               FormatGeneral(result.Times.back(), '.') +
               (byTimeColumn ? " from " + table.ColumnText(timeCol) : std::string(" by row")) +
               lines;
  }
  result.Summary = summary;
  return result;
}

std::string FirstSeriesFault(const TTableImport& read, const std::string& fileName) {
  auto column = [&](int number) {
    std::string text = "column " + std::to_string(number);
    const auto i = static_cast<std::size_t>(number);
    if (number >= 1 && i <= read.Names.size() && !read.Names[i - 1].empty())
      text += " (" + read.Names[i - 1] + ")";
    return text;
  };
  for (std::size_t k = 0; k < read.Times.size(); ++k) {
    const auto at = [&] { return fileName + ":" + std::to_string(read.Lines[k]) + ": "; };
    if (k > 0 && !(read.Times[k - 1] < read.Times[k]))
      return at() + (read.TimeColumn ? column(read.TimeColumn) + ": " : std::string()) + "the time " +
             FormatGeneral(read.Times[k], '.') + " does not follow " +
             FormatGeneral(read.Times[k - 1], '.') + " of line " + std::to_string(read.Lines[k - 1]);
    if (read.Rains[k] < 0)
      return at() + column(read.RainColumn) + ": the rain " + FormatGeneral(read.Rains[k], '.') +
             " is negative";
    if (read.RunoffColumn && read.Runoffs[k] < 0)
      return at() + column(read.RunoffColumn) + ": the runoff " +
             FormatGeneral(read.Runoffs[k], '.') + " is negative";
  }
  return "";
}
