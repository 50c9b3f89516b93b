// Changing the pre-reservoir parameters of an existing input file without
// touching anything else in it.
#pragma once

#include <optional>
#include <string>

#include "files/storeparameters.h"

// The text of an input file with line 7 naming path and lines 8 to 10
// holding the three parameters as the writer writes them; every other byte,
// each line's own line end included, is kept. Empty when the text has
// fewer than ten lines.
std::optional<std::string> ReplaceStoreLines(const std::string& text, const std::string& path,
                                             const TStoreParameters& store);
