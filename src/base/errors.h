// The errors the program's own code raises and does not handle where they
// arise: they reach the caller's general error handling (the window's
// error box, the batch tool's exit status).
#pragma once

#include <stdexcept>

// An input/output or conversion error.
class TInOutError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// A text that is not a valid number where one is expected.
class TInvalidNumber : public TInOutError {
public:
  TInvalidNumber() : TInOutError("Invalid numeric input") {}
};
