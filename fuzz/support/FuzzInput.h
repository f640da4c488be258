#pragma once
// What every fuzz target shares: the check that turns a broken invariant into a finding,
// and the input read piece by piece, running dry into zeros and empty pieces.

#include <cstddef>
#include <cstdint>
#include <string>

// Ends the run as a finding (libFuzzer keeps the input) when the condition does not hold.
void Check(bool condition);

class TFuzzInput {
 public:
  TFuzzInput(const std::uint8_t* data, std::size_t size) : FData(data), FSize(size) {}
  bool More() const { return FPos < FSize; }
  // The next byte, 0 once the input is used up.
  int Byte() { return More() ? FData[FPos++] : 0; }
  // The next n bytes, or fewer at the end.
  std::string Take(std::size_t n);
  std::string Rest() { return Take(FSize - FPos); }

 private:
  const std::uint8_t* FData;
  std::size_t FSize;
  std::size_t FPos = 0;
};
