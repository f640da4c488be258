// Copy and paste in the fields go through the display's clipboard, so on X11 other
// programs share it; here the headless display stands in for that clipboard.

#include "support/forms/FormsFixture.h"
#include "forms/Clipboard.h"
#include "forms/Edit.h"

namespace {

class ClipboardFields : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 100);
    first = AddEdit(10);
    second = AddEdit(40);
    form->Show();
  }
  void TearDown() override {
    form.reset();
    FormsTest::TearDown();
  }
  TEdit* AddEdit(int top) {
    TEdit* e = new TEdit(form.get());
    e->SetParent(form.get());
    e->SetBounds(10, top, 195, 22);
    return e;
  }
  void CtrlKey(int vk) {
    Key(vk, false, true);
    DrainMessages();
  }
  std::string DisplayText() {
    std::string text;
    return Screen().GetClipboardText(text) ? text : "<none>";
  }

  std::unique_ptr<TForm> form;
  TEdit* first;
  TEdit* second;
};

TEST_F(ClipboardFields, CopyCutAndPasteUseTheDisplaysClipboard) {
  EXPECT_EQ(DisplayText(), "<none>");
  EXPECT_FALSE(Clipboard()->HasText());

  first->SetText("pop.example.com");
  first->SetFocus();
  first->SelectAll();
  CtrlKey('C');
  EXPECT_EQ(DisplayText(), "pop.example.com");

  // Text another program put on the clipboard is what a paste inserts.
  Screen().SetClipboardText("mail.example.org");
  second->SetFocus();
  DrainMessages();
  CtrlKey('V');
  EXPECT_EQ(second->Text(), "mail.example.org");

  second->SetSelStart(0);
  second->SetSelLength(5);
  CtrlKey('X');
  EXPECT_EQ(DisplayText(), "mail.");
  EXPECT_EQ(second->Text(), "example.org");

  // An empty clipboard pastes nothing and leaves the field alone.
  Clipboard()->Clear();
  EXPECT_EQ(DisplayText(), "<none>");
  second->SetSelStart(0);
  CtrlKey('V');
  EXPECT_EQ(second->Text(), "example.org");
}

TEST_F(ClipboardFields, APasswordNeverReachesTheDisplaysClipboard) {
  Screen().SetClipboardText("kept");
  first->SetPasswordChar('*');
  first->SetText("s3cret");
  first->SetFocus();
  first->SelectAll();
  CtrlKey('C');
  CtrlKey('X');
  Key(VK_INSERT, false, true);
  Key(VK_DELETE, true, false);  // Shift+Delete cuts in other fields
  DrainMessages();
  EXPECT_EQ(DisplayText(), "kept");
  EXPECT_EQ(first->Text(), "s3cret");

  // Pasting into a password field is still allowed.
  first->SelectAll();
  CtrlKey('V');
  EXPECT_EQ(first->Text(), "kept");
}

TEST_F(ClipboardFields, NoCopyIsKeptInsideTheProgram) {
  first->SetText("user@example.com");
  first->SetFocus();
  first->SelectAll();
  CtrlKey('C');
  EXPECT_EQ(Clipboard()->AsText(), "user@example.com");
  // Another display (as after a restart of the X server) has its own, empty clipboard.
  form.reset();
  auto fresh = std::make_unique<THeadlessDisplay>();
  THeadlessDisplay* screen = fresh.get();
  SetDisplay(std::move(fresh));
  EXPECT_FALSE(Clipboard()->HasText());
  screen->SetClipboardText("new");
  EXPECT_EQ(Clipboard()->AsText(), "new");
}

}  // namespace
