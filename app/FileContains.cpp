#include "app/FileContains.h"

#include <vector>

#include "forms/FileStream.h"

bool FileContains(const std::string& Path, const std::string& Pattern) {
  TFileStream file(Path, fmOpenRead);
  if (Pattern.empty()) return true;
  std::vector<unsigned char> block(1 << 16);
  std::size_t j = 0;
  for (;;) {
    const auto count =
        static_cast<std::size_t>(file.Read(block.data(), static_cast<std::int64_t>(block.size())));
    if (count == 0) return false;
    for (std::size_t i = 0; i < count; ++i) {
      unsigned char c = block[i];
      if (c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c - 'A' + 'a');
      if (c != static_cast<unsigned char>(Pattern[j]))
        j = 0;
      else if (++j == Pattern.size())
        return true;
    }
  }
}
