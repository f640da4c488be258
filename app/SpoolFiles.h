#pragma once
// The spool files of a check: message n of the mailbox is held in Data0000/<n>.msg, named
// relative to the program folder. Only the numbers 1 to LastSpoolNumber are ever swept or
// examined.

#include <string>

constexpr char SpoolFolder[] = "Data0000";
constexpr int LastSpoolNumber = 1000;

// "<n>.msg", the name the analysis and the deletion step are given.
inline std::string SpoolName(int n) {
  return std::to_string(n) + ".msg";
}
inline std::string SpoolPath(int n) {
  return std::string(SpoolFolder) + "/" + SpoolName(n);
}
