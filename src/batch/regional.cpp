#include "batch/regional.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <set>

#include "base/numformat.h"
#include "base/numparse.h"
#include "batch/tableargs.h"
#include "files/filepaths.h"

std::vector<std::string> SplitCsvLine(const std::string& line) {
  std::vector<std::string> cells(1);
  bool quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c != '"') cells.back() += c;
      else if (i + 1 < line.size() && line[i + 1] == '"') cells.back() += '"', ++i;
      else quoted = false;
    } else if (c == '"') {
      quoted = true;
    } else if (c == ',') {
      cells.emplace_back();
    } else if (c != '\r') {
      cells.back() += c;
    }
  }
  return cells;
}

std::string CsvCell(const std::string& text) {
  if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
  std::string cell = "\"";
  for (char c : text) {
    if (c == '\r' || c == '\n') c = ' ';
    cell += c == '"' ? std::string("\"\"") : std::string(1, c);
  }
  return cell + "\"";
}

namespace {

// The columns that are not table options of import.
const char* const OwnColumns[] = {"id",          "data",     "calibrate_from", "calibrate_to",
                                  "validate_from", "validate_to", "warm_up", "objective",
                                  "slow_path",   "max_storage"};

std::string ColumnOf(const std::string& option) {
  std::string column = option.substr(2);
  std::replace(column.begin(), column.end(), '-', '_');
  return column;
}

std::string OptionOf(const std::string& column) {
  std::string option = "--" + column;
  std::replace(option.begin(), option.end(), '_', '-');
  return option;
}

// Why an id cannot name a folder of its own; empty when it can.
std::string IdFault(const std::string& id) {
  if (id.empty()) return "the id is empty";
  if (id == "." || id == "..") return "the id \"" + id + "\" names no folder of its own";
  for (char c : id)
    if (c == '/' || c == '\\' || static_cast<unsigned char>(c) < ' ')
      return "the id \"" + id + "\" holds a character a folder name cannot (a slash or a control)";
  return "";
}

}  // namespace

const std::vector<std::string>& ManifestColumns() {
  static const std::vector<std::string> columns = [] {
    std::vector<std::string> all(std::begin(OwnColumns), std::end(OwnColumns));
    // --from and --to are the periods' own columns.
    for (const auto& option : TableOptionNames())
      if (option != "--from" && option != "--to") all.push_back(ColumnOf(option));
    return all;
  }();
  return columns;
}

std::string InManifestWords(std::string message) {
  for (const auto& column : ManifestColumns()) {
    const std::string option = OptionOf(column);
    for (auto at = message.find(option); at != std::string::npos; at = message.find(option, at)) {
      // Not a longer option's start: "--date-column" in "--date-columns".
      const auto end = at + option.size();
      if (end < message.size() && (std::isalnum(static_cast<unsigned char>(message[end])) ||
                                   message[end] == '-')) {
        at = end;
        continue;
      }
      message.replace(at, option.size(), column);
      at += column.size();
    }
  }
  return message;
}

TManifest ReadManifest(const std::string& path) {
  TManifest manifest;
  const auto bytes = ReadWholeFile(path);
  if (!bytes) {
    manifest.Error = path + ": cannot be opened";
    return manifest;
  }
  const auto lines = SplitAt(*bytes, '\n');
  if (lines.empty() || lines[0].empty()) {
    manifest.Error = path + ": no header row (id,data,...)";
    return manifest;
  }
  const auto header = SplitCsvLine(lines[0]);
  const auto& known = ManifestColumns();
  std::set<std::string> seen;
  for (const auto& name : header) {
    if (std::find(known.begin(), known.end(), name) == known.end()) {
      manifest.Error = path + ":1: unknown column \"" + name + "\"";
      return manifest;
    }
    if (!seen.insert(name).second) {
      manifest.Error = path + ":1: the column \"" + name + "\" is given twice";
      return manifest;
    }
  }
  for (const char* needed : {"id", "data"})
    if (!seen.count(needed)) {
      manifest.Error = path + ":1: no column \"" + needed + "\"";
      return manifest;
    }
  const auto folder = std::filesystem::path(AbsolutePath(path)).parent_path();
  std::set<std::string> ids;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    if (lines[i].find_first_not_of(" \r\t") == std::string::npos) continue;
    const std::string where = path + ":" + std::to_string(i + 1) + ": ";
    const auto cells = SplitCsvLine(lines[i]);
    if (cells.size() > header.size()) {
      manifest.Error = where + std::to_string(cells.size()) + " cells, the header names " +
                       std::to_string(header.size());
      return manifest;
    }
    TCatchment c;
    c.Line = static_cast<int>(i + 1);
    for (std::size_t k = 0; k < cells.size(); ++k) {
      const std::string& column = header[k];
      const std::string& cell = cells[k];
      if (column == "id") c.Id = cell;
      if (cell.empty() || column == "id") continue;
      c.Settings += column + "=" + cell + "\n";
      if (column == "data") c.Data = (folder / cell).lexically_normal().string();
      else if (column == "calibrate_from") c.Calibration.From = cell;
      else if (column == "calibrate_to") c.Calibration.To = cell;
      else if (column == "validate_from") c.Validation.From = cell;
      else if (column == "validate_to") c.Validation.To = cell;
      else if (column == "slow_path") c.Args.Options[column] = cell;  // yes or no, checked by the run
      else c.Args.Options[OptionOf(column)] = cell;
    }
    if (const std::string why = IdFault(c.Id); !why.empty()) {
      manifest.Error = where + why;
      return manifest;
    }
    if (!ids.insert(c.Id).second) {
      manifest.Error = where + "the id \"" + c.Id + "\" is given twice";
      return manifest;
    }
    if (c.Data.empty()) {
      manifest.Error = where + "no data file for \"" + c.Id + "\"";
      return manifest;
    }
    manifest.Catchments.push_back(std::move(c));
  }
  if (manifest.Catchments.empty()) manifest.Error = path + ": no catchments, only a header";
  return manifest;
}

std::string SummaryHeader() {
  std::string header = "id,status,message,max_storage,initial_storage,max_escape,base_share,"
                       "base_alpha,reservoirs,alpha";
  for (const char* period : {"cal_", "val_"})
    for (const auto& info : Criteria) header += std::string(",") + period + info.Key;
  return header + ",cal_points,val_points,seconds";
}

std::string FormatSummaryRow(const TSummaryRow& row) {
  std::string line = CsvCell(row.Id) + "," + row.Status + "," + CsvCell(row.Message);
  const TCalibrationPoint& b = row.Best;
  auto add = [&line](bool given, double value) {
    line += ",";
    // A criterion that does not exist for the record (a flat series) is empty.
    if (given && std::isfinite(value)) line += FullPrecision(value);
  };
  add(row.Fitted, b.Store.MaxSto);
  add(row.Fitted, b.Store.IniSto);
  add(row.Fitted, b.Store.MaxEsc);
  add(row.Fitted && b.Extensions.SlowPath, b.Extensions.BaseShare);
  add(row.Fitted && b.Extensions.SlowPath, b.Extensions.BaseAlpha);
  line += "," + (row.Fitted ? std::to_string(b.NrOfRes) : std::string());
  add(row.Fitted, b.Alpha);
  for (const auto& info : Criteria) add(row.Fitted, b.Fit[info.Id]);
  for (const auto& info : Criteria) add(row.Validated, row.Validation[info.Id]);
  line += "," + (row.Fitted ? std::to_string(row.CalPoints) : std::string());
  line += "," + (row.Validated ? std::to_string(row.ValPoints) : std::string());
  line += "," + FormatFixed(row.Seconds, 0, 2);
  return line;
}

std::optional<std::pair<int, int>> ParseShard(const std::string& text) {
  const auto slash = text.find('/');
  if (slash == std::string::npos) return std::nullopt;
  const auto i = ParseInteger(std::string_view(text).substr(0, slash));
  const auto n = ParseInteger(std::string_view(text).substr(slash + 1));
  if (!i || !n || *n < 1 || *i < 1 || *i > *n) return std::nullopt;
  return std::pair<int, int>(static_cast<int>(*i), static_cast<int>(*n));
}
