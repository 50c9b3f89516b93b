// tolvane-batch validate, and the parts of it calibrate --validate shares:
// DATA read from a determination's input file or a table, and the report.
#pragma once

#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "batch/batchargs.h"
#include "files/tabledates.h"
#include "model/engine.h"
#include "model/validation.h"

struct TValidationData {
  std::string Path;  // as named on the command line, made absolute
  std::vector<double> Times, Rains, Runoffs;
  // The potential evaporation, when a PET column was read; empty otherwise.
  std::vector<double> Pets;
  std::string PetColumn;  // as given
  std::optional<TRecordDates> Dates;
  int LeftOut = 0;  // rows of a table left out for a missing value
  // An input file of the program, with its text; a table otherwise.
  bool InputFile = false;
  std::string Bytes;
  std::string Title1, Title2;
  TRecordView View() const { return {Times, Rains, Runoffs}; }
  // The first and last date (or time) and the time unit ("day", "hour", or
  // "" for plain time units), as a model file names them.
  std::string First() const;
  std::string Last() const;
  std::string TimeUnit() const;
};

// A period of a table that replaces --from and --to (empty: theirs).
struct TPeriod {
  std::string From, To;
};

// Checks the table options of args for DATA (a table when any is given);
// false with error set, a usage error.
bool CheckDataOptions(const TArgs& args, std::string& error);

// Reads DATA: an input file of a determination, or else a table read with
// the table options of args (period, when given, in place of --from and
// --to); at most ValidationCapacity points. petColumn, when given, is the
// PET column read unless --pet-column names one (a model file's). Says
// why not on err and returns the exit status when it cannot be taken
// (ExitOk when it can); notes and interpolated values go there too.
int ReadValidationData(const TArgs& args, const std::string& path, TValidationData& data,
                       const TPeriod& period = {}, const char* command = "validate",
                       const std::string& petColumn = "", std::ostream& err = std::cerr);

// --warm-up N of args into warmUp (0 when not given); false with error set.
bool GetWarmUp(const TArgs& args, int& warmUp, std::string& error);

// Validates model on data into v; empty, or why it could not.
std::string ValidateOn(const TFittedModel& model, const TValidationData& data, int warmUp,
                       TValidation& v);
// The points of a validation as the CSV table of --table.
std::string ValidationTable(const TValidationData& data, const TValidation& v);

// Validates model on data and prints the report; source says where the
// model came from ("the determination of PATH"). With tablePath the points
// are written there as CSV, with plotPath the hydrograph as a picture
// (PNG or SVG by its extension). Returns the exit status.
int ReportValidation(const TFittedModel& model, const std::string& source,
                     const TValidationData& data, int warmUp, const std::string& tablePath,
                     const std::string& plotPath = "");
