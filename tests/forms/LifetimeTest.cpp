#include "support/forms/FormsFixture.h"
#include "forms/Button.h"
#include "forms/Edit.h"
#include "forms/GroupBox.h"
#include "platform/MessageLoop.h"

namespace {

using Lifetime = FormsTest;

// A window the test frees through its own handlers: a field with the focus, and one below.
TForm* FormWithTwoFields(TEdit*& edit, TEdit*& later) {
  auto* form = new TForm(nullptr);
  edit = new TEdit(form);
  edit->SetParent(form);
  later = new TEdit(form);
  later->SetParent(form);
  later->SetTop(40);
  return form;
}

TEST_F(Lifetime, ATimerMayFreeItselfFromItsOwnHandler) {
  auto* timer = new TTimer(nullptr);
  timer->SetInterval(10);
  int ticks = 0;
  timer->OnTimer = [&ticks, timer](TObject*) {
    delete timer;
    ++ticks;  // the handler itself must outlive the timer it freed
  };
  EXPECT_TRUE(Pump([&] { return ticks == 1; }));
  RunLoopUntil([] { return false; }, 60);
  EXPECT_EQ(ticks, 1);
}

TEST_F(Lifetime, AModalFormReleasedFromItsOwnClickEndsItsShowingWithCancel) {
  auto* behind = new TForm(nullptr);
  behind->Show();
  auto* dialog = new TForm(nullptr);
  auto* button = new TButton(dialog);
  button->SetParent(dialog);
  button->SetBounds(10, 10, 60, 20);
  button->OnClick = [dialog](TObject*) { dialog->Release(); };
  auto driver = Driver([&] {
    if (!Application->FormExists(dialog) || !dialog->Visible()) return false;
    Click(button, 5, 5);
    return true;
  });
  EXPECT_EQ(dialog->ShowModal(), mrCancel);
  EXPECT_FALSE(Application->FormExists(dialog));
  EXPECT_EQ(Application->ModalForm(), nullptr);
  EXPECT_EQ(Application->ActiveForm(), behind);
  delete behind;
}

// The safe way is Release; a program that deletes its window outright from one of the
// window's own handlers must not crash the input handling that called it.
TEST_F(Lifetime, AFormDeletedFromItsOwnHandlersIsLeftAlone) {
  auto* form = new TForm(nullptr);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->SetBounds(10, 10, 60, 20);
  button->OnClick = [form](TObject*) { delete form; };
  form->Show();
  DrainMessages();
  Click(button, 5, 5);
  DrainMessages();
  EXPECT_TRUE(Application->Forms().empty());

  // The same from the window's own key handler ahead of its focused field, and from a
  // field's OnEnter while the press that focuses it is being handled.
  TEdit* edit = nullptr;
  TEdit* later = nullptr;
  form = FormWithTwoFields(edit, later);
  form->SetKeyPreview(true);
  form->OnKeyDown = [form](TObject*, WORD& key, TShiftState) {
    if (key == VK_F1) delete form;
  };
  form->Show();
  DrainMessages();
  ASSERT_EQ(form->ActiveControl(), edit);
  Key(VK_F1);
  DrainMessages();
  EXPECT_TRUE(Application->Forms().empty());

  form = FormWithTwoFields(edit, later);
  later->OnEnter = [form](TObject*) { delete form; };
  form->Show();
  DrainMessages();
  Click(later, 5, 5);
  DrainMessages();
  EXPECT_TRUE(Application->Forms().empty());

  // From a field's own OnKeyDown and OnKeyPress, as a field that submits on Enter might.
  for (bool onPress : {false, true}) {
    form = new TForm(nullptr);
    edit = new TEdit(form);
    edit->SetParent(form);
    if (onPress)
      edit->OnKeyPress = [form](TObject*, char&) { delete form; };
    else
      edit->OnKeyDown = [form](TObject*, WORD&, TShiftState) { delete form; };
    form->Show();
    DrainMessages();
    if (onPress)
      Type("a");
    else
      Key(VK_DELETE);
    DrainMessages();
    EXPECT_TRUE(Application->Forms().empty());
  }

  // And from the OnExit of the field that Tab leaves.
  form = FormWithTwoFields(edit, later);
  edit->OnExit = [form](TObject*) { delete form; };
  form->Show();
  DrainMessages();
  Key(VK_TAB);
  DrainMessages();
  EXPECT_TRUE(Application->Forms().empty());
}

// A control may free itself, or the panel that holds it, from its own OnClick, whether a
// click or Enter set it off.
TEST_F(Lifetime, AControlFreedFromItsOwnClickIsLeftAlone) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 200, 100);
  auto* panel = new TGroupBox(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 200, 100);
  auto* b = new TButton(form.get());
  b->SetParent(panel);
  b->SetBounds(10, 10, 60, 20);
  b->OnClick = [b](TObject*) { delete b; };
  form->Show();
  DrainMessages();
  Click(b, 5, 5);
  DrainMessages();
  EXPECT_EQ(form->ComponentCount(), 1);
  auto* b2 = new TButton(form.get());
  b2->SetParent(panel);
  b2->SetDefault(true);
  b2->OnClick = [panel](TObject*) { delete panel; };
  Key(VK_RETURN);
  DrainMessages();
  EXPECT_EQ(form->ComponentCount(), 0);

  // Nor is a button that its own OnKeyDown freed pressed by the Space that set it off.
  int clicks = 0;
  auto* b3 = new TButton(form.get());
  b3->SetParent(form.get());
  b3->OnClick = [&clicks](TObject*) { ++clicks; };
  b3->OnKeyDown = [b3](TObject*, WORD&, TShiftState) { delete b3; };
  form->SetActiveControl(b3);
  Key(VK_SPACE);
  DrainMessages();
  EXPECT_EQ(form->ComponentCount(), 0);
  EXPECT_EQ(clicks, 0);
}

}  // namespace
