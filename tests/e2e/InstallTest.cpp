// cmake --install into a folder of the user's choice: the program folder laid out whole
// and writable, the settings kept by a second install, and the program started by the
// desktop entry's command.

#include <unistd.h>

#include <filesystem>
#include <map>
#include <set>

#include "QuilletRun.h"

namespace {

namespace fs = std::filesystem;

// The prefix holds a space, which the desktop entry's command must quote.
const std::string kPrefix = "my programs/quillet/";

class InstallTest : public QuilletRun {
 protected:
  std::string Installed(const std::string& name = "") const { return Folder.File(kPrefix + name); }
  std::string Read(const std::string& name) const { return Folder.Read(kPrefix + name); }

  void Install() const {
    int status = 0;
    const std::string out =
        CommandOutput(std::string("'") + QUILLET_CMAKE + "' --install '" + QUILLET_BUILD_DIR +
                          "' --prefix '" + Installed() + "'",
                      status);
    ASSERT_EQ(status, 0) << out;
  }

  // The key=value lines of the desktop entry.
  std::map<std::string, std::string> DesktopEntry() const {
    std::map<std::string, std::string> entry;
    const std::string text = Read("quillet.desktop");
    for (std::size_t at = 0, end; at < text.size(); at = end + 1) {
      end = text.find('\n', at);
      const std::string line = text.substr(at, end - at);
      if (const auto eq = line.find('='); eq != std::string::npos)
        entry[line.substr(0, eq)] = line.substr(eq + 1);
    }
    return entry;
  }
};

TEST_F(InstallTest, LaysOutTheProgramFolderAndASecondInstallKeepsTheSettings) {
  ASSERT_NO_FATAL_FAILURE(Install());
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(Installed()))
    names.insert(entry.path().filename());
  EXPECT_EQ(names, (std::set<std::string>{"Data0000", "Data0001", "Tessel.dat", "quillet",
                                          "quillet.desktop", "quillet.png", "verdana.ttf"}));
  EXPECT_EQ(::access(Installed("quillet").c_str(), X_OK), 0);
  for (const char* folder : {"Data0000", "Data0001"}) {
    EXPECT_TRUE(fs::is_directory(Installed(folder)) && fs::is_empty(Installed(folder)));
    EXPECT_EQ(::access(Installed(folder).c_str(), W_OK), 0) << folder;
  }
  EXPECT_EQ(fs::file_size(Installed("Tessel.dat")), 0u);
  EXPECT_EQ(Read("verdana.ttf").substr(0, 4), std::string("\0\1\0\0", 4));
  EXPECT_EQ(Read("quillet.png").substr(0, 8), "\x89PNG\r\n\x1a\n");

  auto entry = DesktopEntry();
  EXPECT_EQ(entry["Exec"], '"' + Installed("quillet") + '"');
  EXPECT_EQ(entry["Icon"], Installed("quillet.png"));
  EXPECT_EQ(entry["Name"], "Quillet");
  EXPECT_EQ(entry["Categories"], "Network;Email;");
  int status = 0;
  const std::string complaints =
      CommandOutput("desktop-file-validate '" + Installed("quillet.desktop") + "'", status);
  EXPECT_EQ(status, 0) << complaints;
  EXPECT_EQ(complaints, "");

  const std::string settings = "pop.example.org\r\n110\r\njoe\r\nbcd\r\n";
  Folder.Write(kPrefix + "Tessel.dat", settings);
  ASSERT_NO_FATAL_FAILURE(Install());
  EXPECT_EQ(Read("Tessel.dat"), settings);
}

TEST_F(InstallTest, TheDesktopEntryStartsTheInstalledProgram) {
  ASSERT_NO_FATAL_FAILURE(Install());
  StartCommand(DesktopEntry()["Exec"] + " x");
  const std::string window = WaitForWindow("Quillet Settings");
  ASSERT_FALSE(window.empty()) << "no settings window";
  XDo("mousemove --sync --window " + window + " 100 100");
  XDo("key Escape");
  EXPECT_EQ(WaitForExit(), 0);
}

}  // namespace
