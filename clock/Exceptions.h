// The clock program's exception classes. A failure that no handler catches
// ends the running event handler and is shown by the error report with
// what(), so Message holds the text exactly as the user sees it (CP932).
#pragma once

#include <exception>
#include <string>
#include <utility>

class Exception : public std::exception {
public:
  explicit Exception(std::string message) : Message(std::move(message)) {}
  const char* what() const noexcept override { return Message.c_str(); }

  std::string Message;
};

// A text or a value that cannot be converted (numbers, dates).
class EConvertError : public Exception {
public:
  using Exception::Exception;
};

// An index outside a list of texts.
class EStringListError : public Exception {
public:
  using Exception::Exception;
};
