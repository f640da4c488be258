#pragma once
// The content search over an attachment's decoded bytes.

#include <string>

// Whether the file at Path holds Pattern (lower-case), each byte lower-cased as it is read
// (A to Z only). A byte that breaks a partial match sends the search back to the pattern's
// first character and is not itself compared again, so "wwsock" does not hold "wsock" at
// that place. Stops at the first complete match. Raises EFOpenError if Path cannot be
// opened.
bool FileContains(const std::string& Path, const std::string& Pattern);
