// The settings file Tessel.dat in the program folder: the bytes a save leaves on disk, what
// reading makes of a file, and that a refused or failed save keeps the old file.

#include <sys/stat.h>

#include <functional>

#include "ProgramFolderFixture.h"
#include "app/SettingsFile.h"
#include "forms/FileErrors.h"
#include "support/FileSizeLimit.h"

using namespace std::string_literals;

namespace {

class SettingsFile : public ProgramFolderTest {
 protected:
  // The text of what the action threw, as the user would read it in a message box.
  static std::string ErrorOf(const std::function<void()>& action) {
    try {
      action();
    } catch (const EInOutError& e) {
      return "EInOutError: "s + e.what();
    } catch (const ESettingsError& e) {
      return "ESettingsError: "s + e.what();
    }
    return "(nothing thrown)";
  }
  void ExpectOldFileKept(const std::string& old) {
    EXPECT_EQ(Folder().Read("Tessel.dat"), old);
    EXPECT_FALSE(Folder().Exists("Tessel.dat.new"));
  }
};

const std::string kOld = "old.example.org\r\n110\r\nold\r\nbcd\r\n";

TEST_F(SettingsFile, SaveWritesFourLinesWithThePasswordScrambledAndReadsThemBack) {
  const struct {
    TMailboxSettings settings;
    std::string onDisk;
  } cases[] = {
      {{"pop.example.org", "110", "joe", "abc"}, "pop.example.org\r\n110\r\njoe\r\nbcd\r\n"},
      {{"h", "pop3", "u", "x\xFFy"}, "h\r\npop3\r\nu\r\ny\0z\r\n"s},
      {{" host ", " 110 ", " me ", " p w "}, " host \r\n 110 \r\n me \r\n!q!x!\r\n"},
  };
  for (const auto& c : cases) {
    WriteSettingsFile(c.settings);
    EXPECT_EQ(Folder().Read("Tessel.dat"), c.onDisk);
    EXPECT_EQ(ReadSettingsFile(), c.settings) << c.onDisk;
    EXPECT_FALSE(Folder().Exists("Tessel.dat.new"));
  }
  // The file holds a password: a save keeps whatever access the user gave it.
  ASSERT_EQ(::chmod("Tessel.dat", 0600), 0);
  WriteSettingsFile(cases[0].settings);
  struct stat st {};
  ASSERT_EQ(::stat("Tessel.dat", &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST_F(SettingsFile, ReadingTakesFourLinesAndMissingOnesAreEmpty) {
  const struct {
    std::string onDisk;
    TMailboxSettings settings;
  } cases[] = {
      {"srv\r\n110\r\n", {"srv", "110", "", ""}},
      {"", {"", "", "", ""}},
      {"a\r\nb\r\nc\r\nbcd\r\nignored\r\n", {"a", "b", "c", "abc"}},
      {"a\r\nb\x1A\r\nc\r\nd\r\n", {"a", "b", "", ""}},
      {"a\rb\rc\rd", {"a", "b", "c", "c"}},
  };
  for (const auto& c : cases) {
    Folder().Write("Tessel.dat", c.onDisk);
    EXPECT_EQ(ReadSettingsFile(), c.settings) << c.onDisk;
  }
  ::unlink("Tessel.dat");
  EXPECT_EQ(ErrorOf([] { ReadSettingsFile(); }), "EInOutError: File not found");
}

TEST_F(SettingsFile, AValueTheFileCannotHoldIsRefusedBeforeAnythingIsWritten) {
  // 12 and 25 scramble to CR and Ctrl-Z; the other lines are stored as typed.
  const std::string password =
      "ESettingsError: The password contains a control character (Ctrl+L or Ctrl+Y) that the "
      "settings file cannot store. Please type the password again without it.";
  const struct {
    TMailboxSettings settings;
    std::string error;
  } cases[] = {
      {{"h", "110", "u", "pass\x0Cword"}, password},
      {{"h", "110", "u", "\x19"}, password},
      {{"pop\x1A", "110", "u", "p"}, "ESettingsError: The POP3 server contains"},
      {{"h", "1\r10", "u", "p"}, "ESettingsError: The port contains"},
      {{"h", "110", "u\x1A", "p"}, "ESettingsError: The POP3 account contains"},
  };
  Folder().Write("Tessel.dat", kOld);
  for (const auto& c : cases) {
    std::string error = ErrorOf([&] { WriteSettingsFile(c.settings); });
    EXPECT_EQ(error.substr(0, c.error.size()), c.error);
    ExpectOldFileKept(kOld);
  }
}

TEST_F(SettingsFile, AFailedWriteKeepsTheOldFile) {
  Folder().Write("Tessel.dat", kOld);
  const TMailboxSettings fresh{"new.example.org", "995", "someone", "secret"};
  {
    TFileSizeLimit tooSmall(8);
    EXPECT_EQ(ErrorOf([&] { WriteSettingsFile(fresh); }), "EInOutError: Disk full");
  }
  ExpectOldFileKept(kOld);

  ASSERT_EQ(::chmod("Tessel.dat", 0444), 0);
  EXPECT_EQ(ErrorOf([&] { WriteSettingsFile(fresh); }), "EInOutError: Access denied");
  ExpectOldFileKept(kOld);

  EXPECT_EQ(ErrorOf([&] { WriteSettingsFile(fresh, "NoSuchFolder/Tessel.dat"); }),
            "EInOutError: Path not found");
}

}  // namespace
