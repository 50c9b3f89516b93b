// Everything the program's core wants to say to a person goes through this
// interface: the windowed program shows boxes, the batch tool prints, tests
// record.
#pragma once

#include <string>

class TUserDialogs {
public:
  virtual ~TUserDialogs() = default;
  // A modal message with one OK button.
  virtual void ShowMessage(const std::string& text) = 0;
  // A confirmation with Yes and No; true for Yes.
  virtual bool AskYesNo(const std::string& text) = 0;
  // A program error; text already begins with "A program error occurred.".
  virtual void ShowProgramError(const std::string& text) = 0;
  // The model determination shows how many points it read.
  virtual void ShowPointsRead(int /*count*/) {}
};
