#pragma once
// Finding an attachment's name in a line of a message, and the name its scratch file gets.

#include <string>

// The run after the first `name="` of the line, lower-cased (A to Z only) and with every
// space removed (tabs stay), up to the next double quote; a line without a closing quote
// gives the rest of the line. Empty when the line holds no `name="` or the quotes hold
// nothing. A filename parameter is found the same way.
std::string GetAttachName(const std::string& Line);

// The file name under which the scratch folder holds the attachment's decoded bytes: the
// attachment name itself when a file of that name can be made there on every system the
// program runs on, otherwise a fixed name. Names that need the fixed one hold a path
// separator, a character Windows refuses in file names (< > : " | ? * and control
// characters), are "." or "..", or are longer than a file name may be.
std::string ScratchFileName(const std::string& Name);
