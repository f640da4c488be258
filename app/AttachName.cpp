#include "app/AttachName.h"

#include <algorithm>
#include <string_view>

#include "forms/StrUtils.h"

namespace {

constexpr std::string_view kNameParameter = "name=\"";
constexpr std::size_t kMaxFileName = 255;
constexpr const char* kFixedScratchName = "attachment.bin";

bool RefusedInFileNames(char c) {
  return static_cast<unsigned char>(c) < 32 ||
         std::string_view("<>:\"|?*\\/").find(c) != std::string_view::npos;
}

}  // namespace

std::string GetAttachName(const std::string& Line) {
  std::string text = LowerCase(Line);
  text.erase(std::remove(text.begin(), text.end(), ' '), text.end());
  const std::size_t at = text.find(kNameParameter);
  if (at == std::string::npos) return {};
  const std::size_t start = at + kNameParameter.size();
  return text.substr(start, text.find('"', start) - start);
}

std::string ScratchFileName(const std::string& Name) {
  const bool usable = !Name.empty() && Name.size() <= kMaxFileName && Name != "." && Name != ".." &&
                      std::none_of(Name.begin(), Name.end(), RefusedInFileNames);
  return usable ? Name : kFixedScratchName;
}
