#include "support/forms/FormsFixture.h"
#include "forms/Button.h"
#include "forms/Edit.h"
#include "forms/GraphicControl.h"
#include "forms/GroupBox.h"

namespace {

// A windowless button that answers the dialog-key query the way the program's skinned
// buttons do: Enter when Default, Esc when Cancel.
class TKeyButton : public TGraphicControl {
 public:
  explicit TKeyButton(TComponent* owner) : TGraphicControl(owner) { SetBounds(0, 0, 40, 20); }
  bool Default = false;
  bool Cancel = false;
  int Clicks = 0;
  int Asked = 0;
  void WndProc(TMessage& m) override {
    if (m.Msg == CM_DIALOGKEY) {
      ++Asked;
      if ((m.WParam == VK_RETURN && Default) || (m.WParam == VK_ESCAPE && Cancel)) {
        ++Clicks;
        m.Result = 1;
      }
      return;
    }
    TGraphicControl::WndProc(m);
  }
};

class Keyboard : public FormsTest {
 protected:
  void SetUp() override {
    FormsTest::SetUp();
    form = std::make_unique<TForm>(nullptr);
    form->SetBounds(0, 0, 300, 200);
    outer = Panel(form.get(), 0);
    inner = Panel(outer, 10);
    edit = new TEdit(form.get());
    edit->SetParent(inner);
    edit->SetBounds(5, 5, 100, 21);
    top = Button(form.get());  // windowless children are asked before panels
    first = Button(outer);     // asked before the search descends into the inner panel
    nested = Button(inner);    // Default and Cancel, two panels down
    later = Button(inner);     // would answer too, but comes after nested
  }
  void TearDown() override {
    form.reset();
    FormsTest::TearDown();
  }
  TGroupBox* Panel(TWinControl* parent, int offset) {
    auto* p = new TGroupBox(form.get());
    p->SetParent(parent);
    p->SetBounds(offset, offset, 250, 150);
    return p;
  }
  TKeyButton* Button(TWinControl* parent) {
    auto* b = new TKeyButton(form.get());
    b->SetParent(parent);
    b->SetTop(120);
    return b;
  }

  std::unique_ptr<TForm> form;
  TGroupBox* outer;
  TGroupBox* inner;
  TEdit* edit;
  TKeyButton* top;
  TKeyButton* first;
  TKeyButton* nested;
  TKeyButton* later;
};

TEST_F(Keyboard, EnterAndEscReachANestedButtonAndStopAtTheFirstThatAnswers) {
  nested->Default = nested->Cancel = true;
  later->Default = later->Cancel = true;
  int formKeys = 0;
  form->OnKeyDown = [&](TObject*, WORD&, TShiftState) { ++formKeys; };
  form->Show();
  EXPECT_EQ(form->ActiveControl(), edit);  // the first tab stop has the focus
  Key(VK_RETURN);
  Key(VK_ESCAPE);
  ASSERT_TRUE(Pump([&] { return nested->Clicks == 2; }));
  DrainMessages();
  EXPECT_EQ(top->Asked, 2);  // asked first, did not answer
  EXPECT_EQ(first->Asked, 2);
  EXPECT_EQ(nested->Clicks, 2);
  EXPECT_EQ(later->Asked, 0);  // never asked: the search stopped
  EXPECT_EQ(formKeys, 0);
  EXPECT_EQ(edit->Text(), "");  // the edit field does not take Enter
}

TEST_F(Keyboard, AnUnansweredKeyGoesOnToTheFocusedControlsOnKeyDown) {
  edit->SetParent(nullptr);  // nothing focusable: the form itself gets the key
  WORD seen = 0;
  form->OnKeyDown = [&](TObject*, WORD& key, TShiftState) { seen = key; };
  form->Show();
  Key(VK_ESCAPE);
  ASSERT_TRUE(Pump([&] { return seen != 0; }));
  EXPECT_EQ(seen, VK_ESCAPE);
  EXPECT_EQ(top->Asked + first->Asked + nested->Asked + later->Asked, 4);
  delete edit;
}

TEST_F(Keyboard, TabOrderSkipsAControlThatIsNotATabStop) {
  auto* port = new TEdit(form.get());
  port->SetParent(inner);
  port->SetBounds(5, 30, 60, 21);
  auto* user = new TEdit(form.get());
  user->SetParent(inner);
  user->SetBounds(5, 55, 100, 21);
  auto* pass = new TEdit(form.get());
  pass->SetParent(inner);
  pass->SetBounds(5, 80, 100, 21);
  port->SetTabStop(false);
  // Tab order follows TabOrder, not creation order.
  pass->SetTabOrder(0);
  EXPECT_EQ(pass->TabOrder(), 0);
  EXPECT_EQ(edit->TabOrder(), 1);
  form->Show();
  EXPECT_EQ(form->ActiveControl(), pass);
  std::vector<TWinControl*> seen;
  for (int i = 0; i < 4; ++i) {
    Key(VK_TAB);
    DrainMessages();
    seen.push_back(form->ActiveControl());
  }
  EXPECT_EQ(seen, (std::vector<TWinControl*>{edit, user, pass, edit}));
  Key(VK_TAB, /*shift=*/true);
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), pass);
  // A click still focuses the field that Tab skips.
  Click(port, 5, 5);
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), port);
}

TEST_F(Keyboard, FocusLeavesAControlThatIsFreed) {
  form->Show();
  ASSERT_EQ(form->ActiveControl(), edit);
  delete edit;
  EXPECT_EQ(form->ActiveControl(), nullptr);
  Key('A');
  Type("a");
  DrainMessages();  // nothing reaches the freed control
}

using FocusOrder = FormsTest;

// Keys never reach a disabled field, and Tab passes over what is disabled or hidden and
// starts afresh when the focused field was taken off the window.
TEST_F(FocusOrder, TabAndEnterPassOverDisabledHiddenAndRemovedControls) {
  auto form = std::make_unique<TForm>(nullptr);
  form->SetBounds(0, 0, 300, 200);
  auto* panel = new TGroupBox(form.get());
  panel->SetParent(form.get());
  panel->SetBounds(0, 0, 300, 200);
  TEdit* e[4];
  for (int i = 0; i < 4; ++i) {
    e[i] = new TEdit(form.get());
    e[i]->SetParent(i == 2 ? static_cast<TWinControl*>(panel) : form.get());
    e[i]->SetTop(i * 30);
  }
  panel->SetTabOrder(2);
  auto* ok = new TButton(form.get());
  ok->SetParent(form.get());
  ok->SetTabStop(false);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  form->Show();
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), e[0]);
  Key(VK_TAB);
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), e[1]);
  e[1]->SetEnabled(false);
  Type("x");
  Key(VK_RETURN);
  DrainMessages();
  EXPECT_EQ(e[1]->Text(), "");
  EXPECT_EQ(clicks, 1);
  Key(VK_TAB);
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), e[2]);
  panel->SetVisible(false);
  Key(VK_TAB, true);
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), e[0]);
  Key(VK_TAB, true);
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), e[3]);
  delete panel;
  e[3]->SetParent(nullptr);
  EXPECT_EQ(form->ActiveControl(), nullptr);
  Key(VK_TAB);
  DrainMessages();
  EXPECT_EQ(form->ActiveControl(), e[0]);
  delete e[3];
}

}  // namespace
