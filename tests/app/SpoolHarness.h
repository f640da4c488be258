#pragma once
// A temporary program folder with Data0000 and Data0001 as the current folder, spool files
// written into it, and the analysis run with recording hooks: every warning and every
// deletion call lands in one log, in order.

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "app/SpoolAnalysis.h"

// The verdict lines of a plain executable after the content search, joined by "|".
inline const std::string kExeInfected =
    "This is an executable file. Quillet thinks it contains a virus.|Quillet recommends to "
    "delete this message.";
inline const std::string kExeClean =
    "This is an executable file. Quillet can not find dangerous data inside.|But be careful. "
    "New types of viruses appear every day...";
// The verdict lines of the other kinds of attachment the demo mailbox and the tests use.
inline const std::string kRecommend = "Quillet recommends to delete this message.";
inline const std::string kDoubleExe =
    "This is an executable file and Quillet thinks it contains a virus!|" + kRecommend;
inline const std::string kScript =
    "This is a script file. This scripts-language is often used for viruses writing.|" + kRecommend;
inline const std::string kOffice =
    "This is a document for MS Office. Quillet thinks that it is harmless.|But just in case "
    "switch \"Macro virus protection\" option ON before opening.";
inline const std::string kRegistry =
    "This is a registry file. Its opening will change your system registry.|" + kRecommend;

using TLines = std::vector<std::string>;

class SpoolHarness : public ::testing::Test {
 protected:
  void SetUp() override;
  // Fails the test when anything is left in Data0001.
  void TearDown() override;

  // Writes Data0000/<n>.msg from blocks of lines, each line ended by CR LF.
  static void WriteSpool(int n, const std::vector<TLines>& blocks);
  // Runs CheckSpoolFile on <n>.msg; warnings are answered from Answers in turn, and with 2
  // once it is empty.
  void Check(int n);

  // Standard base64 of bytes in lines of 76 characters.
  static TLines Base64Lines(const std::string& bytes);
  // A MIME part: headers naming the file, an empty line, the base64 body, and an empty
  // line unless the body runs straight into the next boundary.
  static TLines Part(const std::string& nameLine, const std::string& bytes,
                     bool emptyLineAfter = true);

  TSpoolAnalysis Analysis;
  std::deque<int> Answers;
  // "warn <From>|<Subject>|<Name>|<Line1>|<Line2>" and "delete <spool name>".
  TLines Log;

 private:
  std::filesystem::path FRoot, FOldDir;
};
