// The three windows as the program shows them, filled as in use, at 24 bits per pixel and
// the main window at 8: every text fits its box, and the title strip is plain green only
// at 8. Set QUILLET_SHOT_DIR to a folder to get their pictures as PNG.

#include <cstdlib>
#include <filesystem>

#include "WindowsHarness.h"
#include "app/Main.h"
#include "app/Program.h"
#include "app/Setup.h"
#include "app/Warn.h"
#include "platform/text/Fonts.h"
#include "ui/LayoutBuilder.h"

namespace {

class WindowPictures : public WindowsHarness {
 protected:
  void TearDown() override {
    SetTextSmoothing(true);
    WindowsHarness::TearDown();
  }
  // The screen as the program meets it at that depth; 256-colour X screens draw text with
  // whole pixels.
  void UseScreen(int bits) {
    Screen().SetScreen(1024, 768, bits);
    SetTextSmoothing(bits > 8);
    Program().SetScreenColorBits(0);
  }
  // Past the caption's text, left of the close button.
  static TColor TitleRight(TForm* form) {
    auto* title = FindControl<TControl>(form, "Title");
    const TPoint o = title->WindowOffset();
    return form->Surface().Pixel(o.X + title->Width() - 30, o.Y + 12);
  }
  void Save(TForm* form, const std::string& name) {
    form->Show();
    DrainMessages();
    for (int i = 0; i < form->ComponentCount(); ++i)
      if (auto* label = dynamic_cast<TLabel*>(form->Components(i))) {
        EXPECT_LE(label->Canvas()->TextWidth(label->Caption()), label->Width())
            << form->Name() << "." << label->Name();
      }
    if (const char* dir = std::getenv("QUILLET_SHOT_DIR")) {
      std::filesystem::create_directories(dir);
      EXPECT_TRUE(Screen().SaveWindowPng(form->DisplayWindow(), std::string(dir) + "/" + name));
    }
  }
};

TEST_F(WindowPictures, MainSettingsAndWarningWindows) {
  for (int bits : {24, 8}) {
    UseScreen(bits);
    TfMain main(nullptr);
    main.AfterConstruction();
    main.OnActivate = nullptr;  // a picture of the window, not of a check
    main.lInfo->SetCaption("Checking your mail... Please wait.");
    Save(&main, "main-" + std::to_string(bits) + ".png");
    EXPECT_EQ(TitleRight(&main) == clGreen, bits == 8) << bits;
  }
  UseScreen(24);
  TfSetup setup(nullptr);
  setup.AfterConstruction();
  setup.eServ->SetText("pop.example.org");
  setup.ePort->SetText("110");
  setup.eUser->SetText("joe");
  setup.ePass->SetText("secret");
  Save(&setup, "setup-24.png");

  TfWarn warn(nullptr);
  warn.AfterConstruction();
  warn.lFrom->SetCaption("Alice Example <alice@example.org>");
  warn.lSubj->SetCaption("Invoice & payment details");
  warn.lName->SetCaption("invoice.pdf.exe");
  warn.ll1->SetCaption(
      "This is a script file. This scripts-language is often used for viruses writing.");
  warn.ll2->SetCaption("Quillet recommends to delete this message.");
  Save(&warn, "warn-24.png");
}

}  // namespace
