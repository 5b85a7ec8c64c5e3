// The platform's exception classes. Every error the library raises derives from
// Exception, whose what() is the message text, character for character.
#pragma once

#include <stdexcept>
#include <string>

namespace dari {

// The platform's general exception.
class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& Msg) : std::runtime_error(Msg) {}
};

// Raised by elementary functions outside their domain (lg, ld, tg, cot).
class EMathError : public Exception {
 public:
  using Exception::Exception;
};

// Raised when an assignment or conversion between two kinds of object is impossible.
class EConvertError : public Exception {
 public:
  using Exception::Exception;
};

// Raised by streams: a file that cannot be opened, a read or write that fails.
class EStreamError : public Exception {
 public:
  using Exception::Exception;
};

// Raised when a file stream cannot open or create its file.
class EFOpenError : public EStreamError {
 public:
  using EStreamError::EStreamError;
};

}  // namespace dari
