#include "FuzzInput.h"

#include <algorithm>
#include <cstdlib>

void Check(bool condition) {
  if (!condition) std::abort();
}

std::string TFuzzInput::Take(std::size_t n) {
  n = std::min(n, FSize - FPos);
  std::string bytes(reinterpret_cast<const char*>(FData + FPos), n);
  FPos += n;
  return bytes;
}
