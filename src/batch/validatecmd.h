// tolvane-batch validate, and the parts of it calibrate --validate shares:
// DATA read from a determination's input file or a table, and the report.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "batch/batchargs.h"
#include "files/tabledates.h"
#include "model/validation.h"

struct TValidationData {
  std::string Path;  // as named on the command line, made absolute
  std::vector<double> Times, Rains, Runoffs;
  std::optional<TRecordDates> Dates;
  int LeftOut = 0;  // rows of a table left out for a missing value
};

// Checks the table options of args for DATA (a table when any is given);
// false with error set, a usage error.
bool CheckDataOptions(const TArgs& args, std::string& error);

// Reads DATA; prints why not and returns the exit status when it cannot be
// taken (ExitOk when it can). args holds the table options.
int ReadValidationData(const TArgs& args, const std::string& path, TValidationData& data);

// --warm-up N of args into warmUp (0 when not given); false with error set.
bool GetWarmUp(const TArgs& args, int& warmUp, std::string& error);

// Validates model on data and prints the report; source says where the
// model came from ("the determination of PATH"). With tablePath the points
// are written there as CSV. Returns the exit status.
int ReportValidation(const TFittedModel& model, const std::string& source,
                     const TValidationData& data, int warmUp, const std::string& tablePath);
