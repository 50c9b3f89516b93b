// The options of a table read as import reads it. Every command that takes
// a table takes all of them, with the same words and the same checks.
#pragma once

#include <string>
#include <vector>

#include "batch/batchargs.h"
#include "files/tableimport.h"

// An option's value, or otherwise when it is not given.
std::string OptionOr(const TArgs& args, const std::string& name, const std::string& otherwise);

// --time-column, --rain-column ... --rows: the valued options of a table.
const std::vector<std::string>& TableOptionNames();
// Whether any of them is given.
bool HasTableOptions(const TArgs& args);

// The table options of the command line into o; false with error set (a
// usage error). runoffNeeded is the error when no runoff column is given,
// empty when none is needed.
bool GetTableOptions(const TArgs& args, bool determination, const std::string& runoffNeeded,
                     TTableImportOptions& o, std::string& error);
