#pragma once
// Judging an attachment: first by its name's last and inner extension, then, for a plain
// executable, by what its decoded bytes hold.

#include <string>

struct TVerdict {
  std::string First;   // empty: nothing to say, so no warning
  std::string Second;  // empty with First set: the content search is still to come
};

// From the name's first dot up to, not including, the next dot or the end: "." alone for a
// name without a dot or whose only dot is its last character.
std::string GetInnerExt(const std::string& Name);
// From the name's last dot to its end, lower-cased; empty when there is no dot, or when a
// ":" or "\" follows the last one.
std::string GetLastExt(const std::string& Name);

// Single mode when the two extensions agree, double mode when they differ; an extension
// that no row of the verdict tables names leaves both lines empty.
TVerdict JudgeName(const std::string& Name);
// Completes a plain executable's verdict by searching the decoded bytes at Path for
// "wsock", then "winsock"; any other verdict is left as it is, and Path is not read.
void JudgeContent(TVerdict& Verdict, const std::string& Path);
