// File names and safe replacement of files.
#pragma once

#include <optional>
#include <string>

// The part after the last "." of the file-name part is replaced by ext
// (which carries its own "."); a name without extension gets ext appended.
std::string ChangeFileExt(const std::string& path, const std::string& ext);

bool FileExists(const std::string& path);

// Every byte of a file; empty when it cannot be opened or read (a folder
// opens as a stream on this system but holds no text).
std::optional<std::string> ReadWholeFile(const std::string& path);

// Writes bytes beside path under a temporary name and renames it over path,
// so that on any failure an existing file is left untouched. A target that
// exists but may not be written (read-only, a folder) is refused. Returns
// false and fills error on failure. With syncToDisk the contents are on
// the disk before the rename (for the user's own data; results that a run
// can make again need not wait for the disk).
bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error,
                         bool syncToDisk = false);
