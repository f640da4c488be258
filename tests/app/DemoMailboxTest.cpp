// The demo mailbox of assets/demo, each message laid into a spool file as the mail check
// writes it (lines ended by CR LF) and analysed: every message gives the warnings it was
// written for, and the clean ones none.

#include <algorithm>
#include <fstream>
#include <map>

#include "SpoolHarness.h"

namespace {

namespace fs = std::filesystem;

using DemoMailboxTest = SpoolHarness;

TLines MessageLines(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  TLines lines;
  std::string line;
  while (std::getline(in, line)) {
    if (line.ends_with('\r')) line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string Warned(const std::string& from, const std::string& subject, const std::string& shown) {
  return "warn " + from + "|" + subject + "|" + shown;
}

TEST_F(DemoMailboxTest, EachMessageGivesTheVerdictItWasWrittenFor) {
  const std::map<std::string, TLines> expected = {
      {"01-lunch-plain.eml", {}},
      {"02-library-html.eml", {}},
      {"03-minutes-inline.eml", {}},
      {"04-invoice-pdf.eml", {}},
      {"05-trip-zip.eml", {}},
      {"06-netpatch-wsock.eml",
       {Warned("Service Desk <servicedesk@example.com>", "Urgent: network update for your PC",
               "netpatch.exe|" + kExeInfected)}},
      {"07-planner-exe.eml",
       {Warned("Jonas Berg <jonas.berg@example.org>", "The little planner tool I mentioned",
               "planner.exe|" + kExeClean)}},
      {"08-invoice-double.eml",
       {Warned("\"Billing Department\" <billing@example.com>", "Your unpaid invoice",
               "invoice.pdf.exe|" + kDoubleExe)}},
      {"09-parcel-vbs.eml",
       {Warned("\"Parcel Service\" <noreply@parcels.example.com>",
               "Your parcel could not be delivered", "tracking.vbs|" + kScript)}},
      {"10-budget-xls.eml",
       {Warned("Helena Quist <helena.quist@example.org>", "Budget draft for next year",
               "budget-2025.xls|" + kOffice)}},
      {"11-display-reg.eml",
       {Warned("Support Team <support@example.com>", "Fix for the display problem",
               "display-fix.reg|" + kRegistry)}},
  };
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(QUILLET_SOURCE_DIR "/assets/demo"))
    if (entry.path().extension() == ".eml") files.push_back(entry.path());
  std::sort(files.begin(), files.end());

  std::vector<std::string> names;
  int n = 0;
  for (const fs::path& file : files) {
    const std::string name = file.filename();
    names.push_back(name);
    WriteSpool(++n, {MessageLines(file)});
    Log.clear();
    Check(n);
    const auto it = expected.find(name);
    if (it != expected.end()) {
      EXPECT_EQ(Log, it->second) << name;
    }
  }
  std::vector<std::string> listed;
  for (const auto& [name, warnings] : expected) listed.push_back(name);
  EXPECT_EQ(names, listed) << "every demo message, and only those, has its verdicts here";
}

}  // namespace
