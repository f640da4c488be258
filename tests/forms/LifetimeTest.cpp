#include "FormsFixture.h"
#include "forms/Button.h"
#include "forms/Edit.h"
#include "platform/MessageLoop.h"

namespace {

using Lifetime = FormsTest;

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

}  // namespace
