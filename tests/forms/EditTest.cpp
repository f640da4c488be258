#include "support/forms/FormsFixture.h"
#include "forms/Clipboard.h"
#include "forms/Edit.h"

namespace {

// Counts its paints, so a test can tell a blinking caret from a still one.
class TCountingEdit : public TEdit {
 public:
  using TEdit::TEdit;
  int Paints = 0;

 protected:
  void Paint() override {
    ++Paints;
    TEdit::Paint();
  }
};

class EditField : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 100);
    edit = new TEdit(form.get());
    edit->SetParent(form.get());
    edit->SetBounds(10, 10, 195, 22);
    other = new TEdit(form.get());
    other->SetParent(form.get());
    other->SetBounds(10, 40, 195, 22);
    edit->OnChange = [this](TObject*) { ++changes; };
    form->Show();
  }
  void TearDown() override {
    form.reset();
    FormsTest::TearDown();
  }
  void Keys(std::initializer_list<int> vks, bool shift = false, bool ctrl = false) {
    for (int vk : vks) Key(vk, shift, ctrl);
    DrainMessages();
  }

  std::unique_ptr<TForm> form;
  TEdit* edit;
  TEdit* other;
  int changes = 0;
};

TEST_F(EditField, TypingAndTheEditingKeys) {
  ASSERT_TRUE(edit->Focused());
  Type("pop.example.com");
  DrainMessages();
  EXPECT_EQ(edit->Text(), "pop.example.com");
  EXPECT_EQ(edit->CaretPos(), 15);
  EXPECT_EQ(changes, 15);

  Keys({VK_HOME, VK_DELETE, VK_DELETE, VK_DELETE, VK_DELETE});
  EXPECT_EQ(edit->Text(), "example.com");
  Keys({VK_END, VK_BACK, VK_BACK, VK_BACK, VK_LEFT});
  EXPECT_EQ(edit->Text(), "example.");
  EXPECT_EQ(edit->CaretPos(), 7);
  Type("X");
  DrainMessages();
  EXPECT_EQ(edit->Text(), "exampleX.");
  // Enter, Tab and Esc characters are no text; Backspace at the start does nothing.
  Type("\r\t\x1b");
  Keys({VK_HOME, VK_BACK, VK_LEFT});
  EXPECT_EQ(edit->Text(), "exampleX.");
  EXPECT_EQ(edit->CaretPos(), 0);
  Keys({VK_END, VK_RIGHT});
  EXPECT_EQ(edit->CaretPos(), 9);
}

TEST_F(EditField, ShiftSelectsAndTypingReplacesTheSelection) {
  Type("abcdef");
  Keys({VK_LEFT, VK_LEFT}, /*shift=*/true);
  EXPECT_EQ(edit->SelText(), "ef");
  EXPECT_EQ(edit->SelStart(), 4);
  Type("Z");
  DrainMessages();
  EXPECT_EQ(edit->Text(), "abcdZ");
  Keys({VK_HOME}, true);  // from the caret at the end back to the start
  EXPECT_EQ(edit->SelText(), "abcdZ");
  Keys({VK_RIGHT});  // collapses to the selection's right end
  EXPECT_EQ(edit->SelLength(), 0);
  EXPECT_EQ(edit->CaretPos(), 5);
  Keys({'A'}, false, /*ctrl=*/true);
  EXPECT_EQ(edit->SelText(), "abcdZ");
  Keys({VK_DELETE});
  EXPECT_EQ(edit->Text(), "");
}

TEST_F(EditField, CopyAndPasteBetweenFieldsAndNoLengthLimit) {
  std::string longText(300, 'q');
  edit->SetText(longText + "\r\nsecond line");
  EXPECT_EQ(edit->Text().size(), 300u + 13u);
  edit->SetText("user@example.com");
  Keys({'A'}, false, true);
  Keys({'C'}, false, true);
  EXPECT_EQ(Clipboard()->AsText(), "user@example.com");
  other->SetFocus();
  Keys({'V'}, false, true);
  EXPECT_EQ(other->Text(), "user@example.com");
  // A pasted text keeps only its first line.
  Clipboard()->SetAsText("first\r\nsecond");
  Keys({VK_END});
  Keys({VK_INSERT}, /*shift=*/true);
  EXPECT_EQ(other->Text(), "user@example.comfirst");
  // Cut.
  Keys({VK_HOME});
  Keys({VK_RIGHT, VK_RIGHT, VK_RIGHT, VK_RIGHT}, true);
  Keys({'X'}, false, true);
  EXPECT_EQ(Clipboard()->AsText(), "user");
  EXPECT_EQ(other->Text(), "@example.comfirst");
}

TEST_F(EditField, APasswordFieldShowsStarsAndRefusesToBeCopied) {
  edit->SetPasswordChar('*');
  Type("s3cret");
  DrainMessages();
  EXPECT_EQ(edit->Text(), "s3cret");
  Clipboard()->SetAsText("before");
  Keys({'A'}, false, true);
  Keys({'C'}, false, true);
  Keys({'X'}, false, true);
  Keys({VK_INSERT}, false, true);
  EXPECT_EQ(Clipboard()->AsText(), "before");
  EXPECT_EQ(edit->Text(), "s3cret");  // cutting is refused as well

  // What is on screen is the stars: the field looks exactly like one holding "******".
  edit->SelectAll();  // the same selection, and the caret in the same phase, in both
  edit->Repaint();
  TSurface secret = form->Surface();
  edit->SetPasswordChar(0);
  edit->SetText("******");
  edit->SelectAll();
  edit->Repaint();
  const TSurface& stars = form->Surface();
  int differing = 0;
  for (int y = 10; y < 32; ++y)
    for (int x = 10; x < 205; ++x)
      if (secret.Pixel(x, y) != stars.Pixel(x, y)) ++differing;
  EXPECT_EQ(differing, 0);
}

TEST_F(EditField, AClickPlacesTheCaretAndDraggingSelects) {
  edit->SetText("abcdefghij");
  other->SetFocus();
  DrainMessages();
  Press(edit, 3, 10);  // left of the first character
  MoveTo(edit, 150, 10);
  Release(edit, 150, 10);
  DrainMessages();
  EXPECT_TRUE(edit->Focused());
  EXPECT_EQ(edit->SelStart(), 0);
  EXPECT_EQ(edit->SelLength(), 10);
}

TEST_F(EditField, TheCaretBlinksOnlyWhileTheFieldHasTheFocus) {
  auto* field = new TCountingEdit(form.get());
  field->SetParent(form.get());
  field->SetBounds(10, 70, 195, 22);
  field->SetFocus();
  DrainMessages();
  // The field is empty, so the caret stands just inside its left edge.
  auto caret = [&] { return form->Surface().Pixel(10 + 4, 70 + 11); };
  EXPECT_EQ(caret(), clBlack);
  ASSERT_TRUE(Pump([&] { return caret() == clWhite; }));
  ASSERT_TRUE(Pump([&] { return caret() == clBlack; }));
  // A key shows the caret at once, whatever the phase.
  ASSERT_TRUE(Pump([&] { return caret() == clWhite; }));
  Keys({VK_HOME});
  EXPECT_EQ(caret(), clBlack);
  // A slow blink: a couple of repaints a second, not a loop kept busy.
  int before = field->Paints;
  RunLoopUntil([] { return false; }, 1100);
  EXPECT_LE(field->Paints - before, 6);

  // Disabled while focused: no caret, and the field is left alone.
  field->SetEnabled(false);
  DrainMessages();
  EXPECT_NE(caret(), clBlack);
  int still = field->Paints;
  RunLoopUntil([] { return false; }, 700);
  EXPECT_EQ(field->Paints, still);
  field->SetEnabled(true);
  DrainMessages();
  EXPECT_EQ(caret(), clBlack);

  // Focus elsewhere: the same.
  other->SetFocus();
  DrainMessages();
  EXPECT_EQ(caret(), clWhite);
  still = field->Paints;
  RunLoopUntil([] { return false; }, 700);
  EXPECT_EQ(field->Paints, still);

  // A window hidden with the field focused blinks again when it is shown.
  field->SetFocus();
  form->Hide();
  RunLoopUntil([] { return false; }, 700);
  form->Show();
  DrainMessages();
  EXPECT_EQ(caret(), clBlack);
  EXPECT_TRUE(Pump([&] { return caret() == clWhite; }));

  // Freed while blinking: its timer goes with it.
  delete field;
  EXPECT_EQ(form->ActiveControl(), nullptr);
  RunLoopUntil([] { return false; }, 700);
}

TEST_F(EditField, TheFieldHasASunkenBorderAndAWindowColouredInside) {
  form->PaintPending();
  form->Repaint();
  const TSurface& s = form->Surface();
  EXPECT_EQ(s.Pixel(10 + 5, 10), clGray);         // outer top edge
  EXPECT_EQ(s.Pixel(10 + 5, 10 + 21), clWhite);   // outer bottom edge
  EXPECT_EQ(s.Pixel(10 + 1, 10 + 5), clBlack);    // inner left edge
  EXPECT_EQ(s.Pixel(10 + 190, 10 + 3), clWhite);  // inside, right of the text
}

TEST_F(EditField, APasteWithNothingToInsertKeepsTheSelection) {
  edit->SetText("pop.example.com");
  edit->SetSelStart(4);
  edit->SetSelLength(7);
  changes = 0;
  Clipboard()->Clear();
  Keys({'V'}, false, true);
  EXPECT_EQ(edit->Text(), "pop.example.com");
  Clipboard()->SetAsText("\r\nonly a second line");
  Keys({VK_INSERT}, /*shift=*/true);
  EXPECT_EQ(edit->Text(), "pop.example.com");
  EXPECT_EQ(edit->SelText(), "example");
  EXPECT_EQ(changes, 0);
}

TEST_F(EditField, TextLongerThanTheBoxScrollsToKeepTheCaretInside) {
  edit->SetText(std::string(80, 'w') + "END");
  Keys({VK_END});
  edit->Repaint();
  // The caret is drawn inside the field's border, in the text's colour, at the very end.
  auto column = [&](int x) {
    for (int y = 14; y < 28; ++y)
      if (form->Surface().Pixel(x, y) == clBlack) return true;
    return false;
  };
  int caretX = -1;
  for (int x = 10 + 2; x < 10 + 195 - 2; ++x)
    if (column(x)) caretX = x;
  ASSERT_GE(caretX, 0);
  EXPECT_GT(caretX, 10 + 195 - 20);
  // Typing at the end keeps the caret in view; Home brings the start back.
  Type("!!!");
  DrainMessages();
  EXPECT_EQ(edit->CaretPos(), 86);
  Keys({VK_HOME});
  edit->Repaint();
  EXPECT_TRUE(column(10 + 4));
  // A click on the far left of a scrolled field lands at the start of what is shown, not
  // at the start of the text.
  Keys({VK_END});
  edit->Repaint();
  Click(edit, 5, 10);
  DrainMessages();
  EXPECT_GT(edit->CaretPos(), 20);
}

}  // namespace
