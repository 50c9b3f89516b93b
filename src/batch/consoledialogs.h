// The batch programs' user: messages go to standard error, and nobody is
// there to say Yes.
#pragma once

#include <iostream>
#include <string>

#include "model/dmquorell.h"

class TConsoleDialogs : public TUserDialogs {
public:
  void ShowMessage(const std::string& text) override { std::cerr << text << "\n"; }
  bool AskYesNo(const std::string& text) override {
    std::cerr << text << " (answered No)\n";
    return false;
  }
  void ShowProgramError(const std::string& text) override { std::cerr << text << "\n"; }
};
