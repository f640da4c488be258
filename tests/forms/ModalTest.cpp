#include <algorithm>
#include <stdexcept>
#include <vector>

#include "forms/Button.h"
#include "forms/Label.h"
#include "platform/MessageLoop.h"
#include "support/forms/FormsFixture.h"

namespace {

// A window with one button, 200 x 100, the button at (20, 20).
struct TTestForm {
  explicit TTestForm(const std::string& caption) : form(std::make_unique<TForm>(nullptr)) {
    form->SetCaption(caption);
    form->SetBounds(0, 0, 200, 100);
    button = new TButton(form.get());
    button->SetParent(form.get());
    button->SetBounds(20, 20, 80, 25);
  }
  std::unique_ptr<TForm> form;
  TButton* button;
};

using ModalForms = FormsTest;

TEST_F(ModalForms, ShowModalReturnsTheResultAControlSetsAndHidesTheForm) {
  TTestForm w("Settings");
  w.button->OnClick = [&](TObject*) { w.form->SetModalResult(7); };
  bool clicked = false;
  auto driver = Driver([&] {
    if (!w.form->Visible() || clicked) return false;
    clicked = true;
    Click(w.button, 5, 5);
    return true;
  });
  EXPECT_EQ(w.form->ShowModal(), 7);
  EXPECT_FALSE(w.form->Visible());
  EXPECT_FALSE(Screen().Visible(w.form->DisplayWindow()));
  EXPECT_EQ(Application->ModalForm(), nullptr);
  // The form is centred on the 1024 x 768 screen.
  EXPECT_EQ(w.form->Left(), (1024 - 200) / 2);
  EXPECT_EQ(w.form->Top(), (768 - 100) / 2);
}

TEST_F(ModalForms, AModalFormNestsInsideAnotherAndInputGoesOnlyToTheTopOne) {
  TTestForm outer("Outer");
  TTestForm inner("Inner");
  inner.form->SetBounds(0, 0, 120, 60);
  inner.button->SetBounds(10, 10, 60, 25);
  int innerResult = 0;
  int outerClicks = 0;
  inner.button->SetModalResult(5);  // a button with a result closes its window
  outer.button->OnClick = [&](TObject*) {
    ++outerClicks;
    innerResult = inner.form->ShowModal();
    outer.form->SetModalResult(3);
  };
  int step = 0;
  auto driver = Driver([&] {
    if (step == 0 && outer.form->Visible()) {
      Click(outer.button, 5, 5);
      step = 1;
    } else if (step == 1 && inner.form->Visible()) {
      // A click on the outer window while the inner one is modal must be ignored. The
      // outer button lies outside the inner window, which is centred and smaller.
      Click(outer.button, 2, 2);
      Click(inner.button, 5, 5);
      step = 2;
      return true;
    }
    return false;
  });
  // The run's observer hears of each showing once the form is on screen, and of each end
  // once it is hidden again.
  std::vector<std::string> observed;
  Application->OnFormShown = [&](TForm* f) {
    observed.push_back("shown " + f->Caption() + (f->Visible() ? "" : " (hidden)"));
  };
  Application->OnModalEnd = [&](TForm* f, int result) {
    observed.push_back("end " + f->Caption() + " " + std::to_string(result) +
                       (f->Visible() ? " (visible)" : ""));
  };
  EXPECT_EQ(outer.form->ShowModal(), 3);
  Application->OnFormShown = nullptr;
  Application->OnModalEnd = nullptr;
  EXPECT_EQ(innerResult, 5);
  EXPECT_EQ(outerClicks, 1);
  EXPECT_FALSE(inner.form->Visible());
  EXPECT_EQ(observed,
            (std::vector<std::string>{"shown Outer", "shown Inner", "end Inner 5", "end Outer 3"}));
}

TEST_F(ModalForms, TerminateEndsEveryNestedModalShowingWithoutHanging) {
  TTestForm outer("Outer");
  TTestForm inner("Inner");
  int innerResult = -1;
  outer.button->OnClick = [&](TObject*) { innerResult = inner.form->ShowModal(); };
  bool clicked = false;
  auto driver = Driver([&] {
    if (!clicked && outer.form->Visible()) {
      Click(outer.button, 5, 5);
      clicked = true;
    } else if (inner.form->Visible()) {
      Application->Terminate();
      return true;
    }
    return false;
  });
  EXPECT_EQ(outer.form->ShowModal(), mrCancel);
  EXPECT_EQ(innerResult, mrCancel);
  // Once terminated, a modal window does not even open.
  EXPECT_EQ(inner.form->ShowModal(), mrCancel);
}

TEST_F(ModalForms, CloseEndsAModalShowingWithCancel) {
  TTestForm w("Closing");
  auto driver = Driver([&] {
    if (!w.form->Visible()) return false;
    Screen().InjectClose(w.form->DisplayWindow());
    return true;
  });
  EXPECT_EQ(w.form->ShowModal(), mrCancel);
}

// A window manager's close is no input a modal window may hold back: the main window goes,
// the run ends, and the modal window above it ends as cancelled.
TEST_F(ModalForms, TheMainFormClosedFromOutsideEndsTheRunThroughAModalShowing) {
  TTestForm main("Quillet");
  TTestForm dialog("Dialog");
  Application->SetMainForm(main.form.get());
  int dialogResult = mrNone;
  main.form->OnActivate = [&](TObject*) { dialogResult = dialog.form->ShowModal(); };
  bool closed = false;
  // Goes on until the run ends, so that a close left unheeded meets the time bound.
  auto driver = Driver([&] {
    if (!closed && dialog.form->Visible()) {
      Screen().InjectClose(main.form->DisplayWindow());
      closed = true;
    }
    return false;
  });
  Application->Run();
  EXPECT_EQ(dialogResult, mrCancel);
  EXPECT_FALSE(main.form->Visible());
}

TEST_F(ModalForms, AModalFormHiddenByTheProgramEndsItsShowingWithCancel) {
  TTestForm w("Hidden");
  auto driver = Driver([&] {
    if (!w.form->Visible()) return false;
    w.form->Hide();
    return true;
  });
  EXPECT_EQ(w.form->ShowModal(), mrCancel);
  EXPECT_EQ(Application->ModalForm(), nullptr);
}

TEST_F(ModalForms, AnExceptionInOnClickIsShownInAMessageBoxAndTheLoopGoesOn) {
  TTestForm w("Main");
  int clicks = 0;
  w.button->OnClick = [&](TObject*) {
    if (++clicks == 1) throw std::runtime_error("Error 10061 in function Connect");
    w.form->SetModalResult(mrOk);
  };
  std::string boxText, boxTitle;
  int step = 0;
  auto driver = Driver([&] {
    TForm* top = Application->ModalForm();
    if (step == 0 && top == w.form.get()) {
      Click(w.button, 5, 5);
      step = 1;
    } else if (step == 1 && top && top != w.form.get()) {
      auto* text = dynamic_cast<TLabel*>(top->FindComponent("Text"));
      boxText = text ? text->Caption() : "(no text label)";
      boxTitle = Screen().Title(top->DisplayWindow());
      Key(VK_RETURN);
      step = 2;
    } else if (step == 2 && top == w.form.get()) {
      Click(w.button, 5, 5);  // the window still works after the message box
      return true;
    }
    return false;
  });
  EXPECT_EQ(w.form->ShowModal(), mrOk);
  EXPECT_EQ(boxText, "Error 10061 in function Connect");
  EXPECT_EQ(boxTitle, "Quillet");
  EXPECT_EQ(clicks, 2);
}

TEST_F(ModalForms, EscClosesTheMessageBoxToo) {
  bool sawBox = false;
  auto driver = Driver([&] {
    TForm* top = Application->ModalForm();
    if (!top || !top->Visible()) return false;
    sawBox = true;
    Key(VK_ESCAPE);
    return true;
  });
  EXPECT_EQ(Application->MessageBox("File not found"), IDOK);
  EXPECT_TRUE(sawBox);
}

TEST_F(ModalForms, AWordWiderThanTheMessageBoxIsBrokenNotCutOff) {
  const std::string path = "/home/user/quillet/" + std::string(120, 'x') + "/Data0001/a.exe";
  const std::string text = "Cannot create file " + path;
  std::string shown;
  int labelWidth = 0, labelHeight = 0, boxWidth = 0, lineHeight = 0;
  std::vector<int> lineWidths;  // of each word as shown
  auto driver = Driver([&] {
    TForm* top = Application->ModalForm();
    if (!top || !top->Visible()) return false;
    auto* label = dynamic_cast<TLabel*>(top->FindComponent("Text"));
    if (!label) return false;
    shown = label->Caption();
    labelWidth = label->Width();
    labelHeight = label->Height();
    boxWidth = top->Width();
    TCanvas measure;
    measure.SetFont(label->Font());
    lineHeight = measure.TextHeight("x");
    // Word wrapping breaks lines at spaces and at line breaks; each piece between them must
    // fit.
    for (std::size_t at = 0; at <= shown.size();) {
      std::size_t end = std::min(shown.find_first_of(" \r\n", at), shown.size());
      if (end > at) lineWidths.push_back(measure.TextWidth(shown.substr(at, end - at)));
      at = end + 1;
    }
    Key(VK_RETURN);
    return true;
  });
  Application->MessageBox(text);
  // Every character is still there, on lines that fit inside the label and the box.
  std::string joined = shown;
  for (std::size_t at; (at = joined.find("\r\n")) != std::string::npos;) joined.erase(at, 2);
  EXPECT_EQ(joined, text);
  ASSERT_GE(lineWidths.size(), 5u);  // three short words and the path in pieces
  for (int w : lineWidths) EXPECT_LE(w, labelWidth);
  // A line for the short words, then one for each piece of the path.
  EXPECT_GE(labelHeight, static_cast<int>(lineWidths.size() - 2) * lineHeight);
  EXPECT_LE(labelWidth, boxWidth);
}

TEST_F(ModalForms, AnExceptionFromAPlainWindowProcedureIsCaughtByHandleMessage) {
  bool reached = false;
  HWND plain = AllocateHWnd([&](UINT msg, WPARAM, LPARAM) -> LRESULT {
    if (msg == WM_USER) throw std::runtime_error("Access denied");
    if (msg == WM_USER + 1) reached = true;
    return 0;
  });
  std::string shown;
  Application->OnException = [&](TObject*, const std::string& text) { shown = text; };
  auto driver = Driver([&] {
    TForm* top = Application->ModalForm();
    if (!top) return false;
    Key(VK_RETURN);
    return true;
  });
  PostMessage(plain, WM_USER, 0, 0);
  PostMessage(plain, WM_USER + 1, 0, 0);
  std::uint64_t deadline = TickCount() + 4000;
  while (!reached && TickCount() < deadline) Application->HandleMessage();
  Application->OnException = nullptr;
  DestroyWindow(plain);
  EXPECT_EQ(shown, "Access denied");
  EXPECT_TRUE(reached);
}

TEST_F(ModalForms, ClosingTheMainFormEndsRun) {
  TTestForm w("Quillet");
  Application->SetMainForm(w.form.get());
  int activations = 0;
  w.form->OnActivate = [&](TObject*) { ++activations; };
  w.button->OnClick = [&](TObject*) { w.form->Close(); };
  auto driver = Driver([&] {
    if (!w.form->Visible()) return false;
    Click(w.button, 5, 5);
    return true;
  });
  Application->Run();
  EXPECT_TRUE(Application->Terminated());
  EXPECT_EQ(activations, 1);
}

TEST_F(ModalForms, OnActivateRunsOnceEvenAfterAModalWindowReturns) {
  TTestForm main("Quillet");
  TTestForm dialog("Dialog");
  Application->SetMainForm(main.form.get());
  int activations = 0;
  dialog.button->SetModalResult(mrOk);
  main.form->OnActivate = [&](TObject*) {
    ++activations;
    dialog.form->ShowModal();
  };
  bool closed = false;
  auto driver = Driver([&] {
    if (dialog.form->Visible()) {
      Click(dialog.button, 5, 5);
      closed = true;
    } else if (closed && main.form->Active()) {
      main.form->Close();
      return true;
    }
    return false;
  });
  Application->Run();
  EXPECT_EQ(activations, 1);
}

TEST_F(ModalForms, AWindowFreedDuringAModalShowingIsNotMadeActiveAgain) {
  auto behind = std::make_unique<TTestForm>("Behind");
  TTestForm dialog("Dialog");
  behind->form->Show();
  ASSERT_TRUE(behind->form->Active());
  auto driver = Driver([&] {
    if (!dialog.form->Visible()) return false;
    behind.reset();
    dialog.form->SetModalResult(mrOk);
    return true;
  });
  EXPECT_EQ(dialog.form->ShowModal(), mrOk);
  EXPECT_EQ(Application->ActiveForm(), nullptr);
  EXPECT_EQ(Application->Forms().size(), 1u);
}

TEST_F(ModalForms, AFormFreedWhileModalEndsWithNoWordToTheObserver) {
  auto* form = new TForm(nullptr);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->OnClick = [form](TObject*) { form->Release(); };
  int ends = 0;
  Application->OnModalEnd = [&](TForm*, int) { ++ends; };
  auto driver = Driver([&] {
    Click(button, 5, 5);
    return true;
  });
  EXPECT_EQ(form->ShowModal(), mrCancel);
  Application->OnModalEnd = nullptr;
  EXPECT_EQ(ends, 0);
}

TEST_F(ModalForms, AFormCanReleaseItselfFromItsOwnClick) {
  auto* form = new TForm(nullptr);
  auto* button = new TButton(form);
  button->SetParent(form);
  button->OnClick = [form](TObject*) { form->Release(); };
  form->Show();
  Click(button, 5, 5);
  EXPECT_TRUE(Pump([] { return Application->Forms().empty(); }));
}

// A window whose creation handler is bound in its constructor, as the program's are.
class TCountingForm : public TForm {
 public:
  explicit TCountingForm(TComponent* owner) : TForm(owner) {
    OnCreate = [this](TObject*) { ++Creates; };
  }
  int Creates = 0;
};

TEST_F(ModalForms, CreateFormRunsOnCreateOnceAndTheFirstFormBecomesTheMain) {
  TCountingForm* first = nullptr;
  TCountingForm* second = nullptr;
  Application->CreateForm(first);
  Application->CreateForm(second);
  EXPECT_EQ(Application->MainForm(), first);
  EXPECT_EQ(first->Creates, 1);
  EXPECT_EQ(first->Owner(), Application);
  second->Show();
  EXPECT_EQ(second->Creates, 1);  // not again when shown
  // A form made with new gets its creation handler when first shown.
  auto third = std::make_unique<TCountingForm>(nullptr);
  EXPECT_EQ(third->Creates, 0);
  third->Show();
  third->Hide();
  third->Show();
  EXPECT_EQ(third->Creates, 1);
  delete second;
  delete first;
  EXPECT_EQ(Application->MainForm(), nullptr);
  EXPECT_EQ(Application->ComponentCount(), 0);
}

}  // namespace
