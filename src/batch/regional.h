// The files of a regional study: the manifest that names the catchments
// and the summary that holds a row of results for each.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/batchargs.h"
#include "batch/validatecmd.h"
#include "model/calibration.h"

// The cells of one CSV line: commas between, a cell in double quotes may
// hold commas and "" for a quote.
std::vector<std::string> SplitCsvLine(const std::string& line);
// A cell as a CSV line holds it: quoted when it needs to be.
std::string CsvCell(const std::string& text);

// A row of the manifest: a catchment and how to read and fit it.
struct TCatchment {
  int Line = 0;  // of the manifest
  std::string Id;
  std::string Data;  // absolute
  // The table options and those of calibrate, as command-line options
  // ("--rain-column" for the column rain_column); blank cells left out.
  TArgs Args;
  TPeriod Calibration, Validation;
  // Every cell given but the id, one "column=value" a line.
  std::string Settings;
};

struct TManifest {
  std::vector<TCatchment> Catchments;
  std::string Error;  // empty when the manifest can be taken
};

// The columns a manifest may have, id and data first.
const std::vector<std::string>& ManifestColumns();
// Reads the manifest at path; data paths are relative to its folder. An
// unknown column, a missing id or data column, an id unfit as a folder
// name or given twice are refused, naming the line.
TManifest ReadManifest(const std::string& path);
// The manifest's own words in a message of the command line's:
// "--rain-column" becomes "rain_column".
std::string InManifestWords(std::string message);

// One catchment's line of the summary.
struct TSummaryRow {
  std::string Id, Status = "failed", Message;
  bool Fitted = false;  // Best and the calibration's criteria hold
  TCalibrationPoint Best;
  bool Validated = false;
  TFitCriteria Validation;
  int CalPoints = 0, ValPoints = 0;
  double Seconds = 0;
};

std::string SummaryHeader();
// The row in full precision; cells that do not apply are empty.
std::string FormatSummaryRow(const TSummaryRow& row);

// "I/N" with 1 <= I <= N; empty when not so.
std::optional<std::pair<int, int>> ParseShard(const std::string& text);
