#pragma once
// General exception classes of the window layer. Everything derives from std::exception, so
// the loop's handler can show any of them by its text.

#include <stdexcept>

class EInvalidOperation : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
class EInvalidCast : public std::runtime_error {
 public:
  EInvalidCast() : std::runtime_error("Invalid class typecast") {}
  using std::runtime_error::runtime_error;
};
class EInvalidGraphic : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};
