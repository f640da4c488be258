#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>

#include "forms/FileErrors.h"
#include "forms/FileStream.h"
#include "forms/FileUtils.h"
#include "forms/TextFile.h"

namespace {

class FileHelpers : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/forms-files-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    Dir = tmpl;
  }
  void TearDown() override { std::system(("rm -rf " + Dir).c_str()); }

  std::string Path(const std::string& name) const { return Dir + "/" + name; }
  void WriteRaw(const std::string& name, const std::string& bytes) const {
    std::ofstream(Path(name), std::ios::binary) << bytes;
  }
  std::string ReadRaw(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
  }
  static std::string ErrorText(const std::function<void()>& action) {
    try {
      action();
    } catch (const std::exception& e) {
      return e.what();
    }
    return "(no error)";
  }

  std::string Dir;
};

TEST_F(FileHelpers, LinesEndAtCrAnLfAfterItIsPassedOverAndCtrlZEndsTheData) {
  WriteRaw("mixed.txt", std::string("one\rtwo\r\nthree\nstill three\r\r\nfive\x1Ahidden\r\n"));
  TTextFile f(Path("mixed.txt"));
  f.Reset();
  EXPECT_EQ(f.ReadLn(), "one");
  EXPECT_EQ(f.ReadLn(), "two");
  // A lone LF is not a line end.
  EXPECT_EQ(f.ReadLn(), "three\nstill three");
  EXPECT_EQ(f.ReadLn(), "");
  EXPECT_FALSE(f.Eof());
  EXPECT_EQ(f.ReadLn(), "five");
  EXPECT_TRUE(f.Eof());
  // Past the end every line is empty and nothing fails.
  EXPECT_EQ(f.ReadLn(), "");
  EXPECT_EQ(f.ReadLn(), "");
  f.Close();
}

TEST_F(FileHelpers, AnLfRightAfterACrIsPassedOverOnlyOnceAcrossTheReadBuffer) {
  // The CR LF pair straddles the 16 KiB read block.
  std::string first(16383, 'a');
  WriteRaw("long.txt", first + "\r\n\nb\r\n");
  TTextFile f(Path("long.txt"));
  f.Reset();
  EXPECT_EQ(f.ReadLn(), first);
  EXPECT_EQ(f.ReadLn(), "\nb");
  EXPECT_TRUE(f.Eof());
}

TEST_F(FileHelpers, ReadingIntoAUsedLineReplacesItAndCtrlZEndsALineLongerThanTheBuffer) {
  const std::string longLine(20000, 'x');
  WriteRaw("reuse.txt", "first\r\n" + longLine + "\x1A" + "after\r\n");
  TTextFile f(Path("reuse.txt"));
  f.Reset();
  std::string line = "an older and longer line";
  f.ReadLn(line);
  EXPECT_EQ(line, "first");
  f.ReadLn(line);
  EXPECT_EQ(line, longLine);
  EXPECT_TRUE(f.Eof());
  f.ReadLn(line);
  EXPECT_EQ(line, "");
}

TEST_F(FileHelpers, WrittenLinesEndWithCrLfAndReadBackUnchanged) {
  TTextFile f(Path("out.txt"));
  f.Rewrite();
  f.WriteLn("server");
  f.WriteLn("");
  f.WriteLn("  spaced  ");
  f.Close();
  EXPECT_EQ(ReadRaw("out.txt"), "server\r\n\r\n  spaced  \r\n");
  f.Reset();
  EXPECT_EQ(f.ReadLn(), "server");
  EXPECT_EQ(f.ReadLn(), "");
  EXPECT_EQ(f.ReadLn(), "  spaced  ");
  EXPECT_TRUE(f.Eof());
  // Rewrite replaces an existing file.
  f.Rewrite();
  f.WriteLn("x");
  f.Close();
  EXPECT_EQ(ReadRaw("out.txt"), "x\r\n");
}

TEST_F(FileHelpers, AnEmptyFileIsNoError) {
  WriteRaw("empty.txt", "");
  TTextFile f(Path("empty.txt"));
  f.Reset();
  EXPECT_TRUE(f.Eof());
  EXPECT_EQ(f.ReadLn(), "");
}

TEST_F(FileHelpers, OpeningFailuresCarryTheClassicTexts) {
  TTextFile missing(Path("nothing.txt"));
  EXPECT_EQ(ErrorText([&] { missing.Reset(); }), "File not found");
  TTextFile noFolder(Path("Data0000/1.msg"));
  EXPECT_EQ(ErrorText([&] { noFolder.Rewrite(); }), "Path not found");
  TTextFile folder(Dir);
  EXPECT_EQ(ErrorText([&] { folder.Reset(); }), "Access denied");
  TTextFile notOpen(Path("x"));
  EXPECT_EQ(ErrorText([&] { notOpen.ReadLn(); }), "I/O error 103");
  WriteRaw("r.txt", "a\r\n");
  TTextFile reading(Path("r.txt"));
  reading.Reset();
  EXPECT_EQ(ErrorText([&] { reading.WriteLn("b"); }), "I/O error 105");
  if (::geteuid() != 0) {
    WriteRaw("ro.txt", "a\r\n");
    ::chmod(Path("ro.txt").c_str(), 0444);
    TTextFile ro(Path("ro.txt"));
    EXPECT_EQ(ErrorText([&] { ro.Rewrite(); }), "Access denied");
  }
}

TEST_F(FileHelpers, AFullDiskIsReportedWhenTheLinesAreFlushed) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full on this machine";
  TTextFile f("/dev/full");
  f.Append();
  f.WriteLn("lost");
  EXPECT_EQ(ErrorText([&] { f.Close(); }), "Disk full");
  EXPECT_FALSE(f.IsOpen());
}

TEST_F(FileHelpers, StreamsReadWriteSeekAndNameThePathWhenTheyCannotBeCreated) {
  {
    TFileStream out(Path("data.bin"), fmCreate);
    const char bytes[] = {'w', 's', 'o', 'c', 'k', 0, 1, 2};
    out.WriteBuffer(bytes, sizeof bytes);
    EXPECT_EQ(out.Size(), 8);
  }
  TFileStream in(Path("data.bin"), fmOpenRead);
  char c = 0;
  std::string seen;
  while (in.Read(&c, 1) == 1) seen.push_back(c);
  EXPECT_EQ(seen, std::string("wsock\0\1\2", 8));
  EXPECT_EQ(in.Position(), 8);
  in.Seek(1, TSeekOrigin::soBeginning);
  char two[2];
  in.ReadBuffer(two, 2);
  EXPECT_EQ(std::string(two, 2), "so");
  EXPECT_EQ(in.Position(), 3);
  char many[16];
  EXPECT_EQ(ErrorText([&] { in.ReadBuffer(many, 16); }), "Stream read error");

  std::string bad = Path("no-such-folder/x.bin");
  EXPECT_EQ(ErrorText([&] { TFileStream s(bad, fmCreate); }), "Cannot create file " + bad);
  EXPECT_EQ(ErrorText([&] { TFileStream s(Path("absent"), fmOpenRead); }),
            "Cannot open file " + Path("absent"));
}

TEST_F(FileHelpers, ExistenceAndDeletion) {
  WriteRaw("1.msg", "x");
  EXPECT_TRUE(FileExists(Path("1.msg")));
  EXPECT_FALSE(FileExists(Dir));  // a folder is no file
  EXPECT_TRUE(DirectoryExists(Dir));
  EXPECT_TRUE(DeleteFile(Path("1.msg")));
  EXPECT_FALSE(FileExists(Path("1.msg")));
  EXPECT_FALSE(DeleteFile(Path("1.msg")));
}

}  // namespace
