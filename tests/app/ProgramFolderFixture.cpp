#include "ProgramFolderFixture.h"

#include "app/Program.h"
#include "forms/FileUtils.h"

void ProgramFolderTest::SetUp() {
  FormsTest::SetUp();
  FFolder = std::make_unique<TTempFolder>();
  Folder().MakeFolder("Data0000");
  Folder().MakeFolder("Data0001");
  FOldCurrentDir = GetCurrentDir();
  Program().SetFolder(Folder().Path());
  ASSERT_TRUE(SetCurrentDir(Folder().Path()));
  auto fonts = std::make_unique<TRecordingFonts>();
  FFonts = fonts.get();
  Program().SetFonts(std::move(fonts));
  Program().SetScreenColorBits(0);  // measured from this test's screen
  Program().SetFontAdded(false);
}

void ProgramFolderTest::TearDown() {
  SetCurrentDir(FOldCurrentDir);
  Program().SetFonts(nullptr);
  Program().SetScreenColorBits(0);
  Program().SetFontAdded(false);
  FFolder.reset();
  FormsTest::TearDown();
}
