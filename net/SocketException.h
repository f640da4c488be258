#pragma once
// The one exception class of the socket layer; it carries a message only.

#include <stdexcept>
#include <string>

class ESocketException : public std::runtime_error {
 public:
  explicit ESocketException(const std::string& message) : std::runtime_error(message) {}
  std::string Message() const { return what(); }
};
