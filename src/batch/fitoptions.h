// The options of the commands that fit the store: --objective and
// --max-storage, parsed and checked one way for all of them.
#pragma once

#include <optional>
#include <string>

#include "batch/batchargs.h"
#include "model/calibration.h"

// The objective of a key the criteria table allows to be maximised.
std::optional<TObjective> ParseObjective(const std::string& text);
// "a, b or c" of the objectives' keys.
std::string ObjectiveChoices();
// "LO:HI", each a number.
std::optional<TCalibrationBounds> ParseRange(const std::string& text);

// --objective into objective (left alone when not given) and --max-storage
// into bounds (checked); false with error set, a usage error.
bool GetFitOptions(const TArgs& args, TObjective& objective, TCalibrationBounds& bounds,
                   std::string& error);
