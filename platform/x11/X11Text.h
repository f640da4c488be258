#pragma once
// The program's text is 8-bit Latin-1; X speaks UTF-8 for names and clipboard text.

#include <string>

std::string Latin1ToUtf8(const std::string& s);
// Characters beyond Latin-1 and malformed bytes become '?', so nothing is silently merged
// into a different character.
std::string Utf8ToLatin1(const std::string& s);
