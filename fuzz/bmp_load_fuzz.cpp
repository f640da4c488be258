// Feeds arbitrary bytes to the BMP reader. The program loads its pictures from files beside
// it, which a user can replace: whatever they hold, loading must either fail with a reason
// or give a surface of exactly the size the header promised, and never read out of bounds.

#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/draw/ImageFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TSurface surface;
  std::string error;
  if (!LoadBmpData(data, size, surface, &error)) {
    if (error.empty()) std::abort();
    return 0;
  }
  // A loaded picture round-trips through the writer and reads back the same size.
  TSurface again;
  const std::vector<std::uint8_t> encoded = EncodeBmp(surface);
  if (!LoadBmpData(encoded.data(), encoded.size(), again)) std::abort();
  if (again.Width() != surface.Width() || again.Height() != surface.Height()) std::abort();
  return 0;
}
