#include "app/Verdict.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "app/FileContains.h"
#include "forms/StrUtils.h"

namespace {

struct TVerdictRow {
  bool DoubleMode;
  std::string_view Extensions;  // separated by single spaces
  const char* First;
  const char* Second;
};

constexpr const char* kRecommendDelete = "Quillet recommends to delete this message.";

// Both verdict tables. A single-mode executable's empty second line is filled by the
// content search below.
constexpr TVerdictRow kVerdicts[] = {
    {false, ".exe .com .bat .pif", "This is an executable file.", ""},
    {false, ".vbs .scr",
     "This is a script file. This scripts-language is often used for viruses writing.",
     kRecommendDelete},
    {false, ".doc .xls", "This is a document for MS Office. Quillet thinks that it is harmless.",
     "But just in case switch \"Macro virus protection\" option ON before opening."},
    {false, ".reg", "This is a registry file. Its opening will change your system registry.",
     kRecommendDelete},
    {true, ".exe .com .bat .pif .vbs .scr",
     "This is an executable file and Quillet thinks it contains a virus!", kRecommendDelete},
    {true, ".doc .xls", "This is a document for MS Office and Quillet thinks it contains a virus.",
     kRecommendDelete},
    {true, ".reg", "This is a registry file and Quillet thinks it contains a virus!",
     kRecommendDelete},
};

struct TContentRow {
  const char* Appended;  // to the first line
  const char* Second;
};

constexpr const char* kContentPatterns[] = {"wsock", "winsock"};
constexpr TContentRow kContentFound = {" Quillet thinks it contains a virus.", kRecommendDelete};
constexpr TContentRow kContentClean = {" Quillet can not find dangerous data inside.",
                                       "But be careful. New types of viruses appear every day..."};

bool Lists(std::string_view extensions, std::string_view ext) {
  while (!extensions.empty()) {
    const std::size_t space = extensions.find(' ');
    if (extensions.substr(0, space) == ext) return true;
    extensions.remove_prefix(space == std::string_view::npos ? extensions.size() : space + 1);
  }
  return false;
}

}  // namespace

std::string GetInnerExt(const std::string& Name) {
  const std::size_t dot = Name.find('.');
  if (dot == std::string::npos) return ".";
  return Name.substr(dot, Name.find('.', dot + 1) - dot);
}

std::string GetLastExt(const std::string& Name) {
  const std::size_t at = Name.find_last_of(".:\\");
  if (at == std::string::npos || Name[at] != '.') return {};
  return LowerCase(Copy(Name, static_cast<std::int64_t>(at) + 1, 255));
}

TVerdict JudgeName(const std::string& Name) {
  const std::string last = GetLastExt(Name);
  const bool doubleMode = last != LowerCase(GetInnerExt(Name));
  for (const TVerdictRow& row : kVerdicts)
    if (row.DoubleMode == doubleMode && Lists(row.Extensions, last)) return {row.First, row.Second};
  return {};
}

void JudgeContent(TVerdict& Verdict, const std::string& Path) {
  if (Verdict.First.empty() || !Verdict.Second.empty()) return;
  const bool found = std::any_of(std::begin(kContentPatterns), std::end(kContentPatterns),
                                 [&](const char* pattern) { return FileContains(Path, pattern); });
  const TContentRow& row = found ? kContentFound : kContentClean;
  Verdict.First += row.Appended;
  Verdict.Second = row.Second;
}
