// What the fuzz harnesses share: silent dialogs and a scratch file.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "model/dmquorell.h"

class TQuietDialogs : public TUserDialogs {
public:
  void ShowMessage(const std::string&) override {}
  bool AskYesNo(const std::string&) override { return false; }
  void ShowProgramError(const std::string&) override {}
};

// Writes the input to this process's scratch file with the given extension
// and returns its path; empty when it cannot be written.
std::string WriteScratchFile(const std::uint8_t* data, std::size_t size, const std::string& ext);
