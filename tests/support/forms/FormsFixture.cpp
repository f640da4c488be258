#include "support/forms/FormsFixture.h"

#include "platform/MessageLoop.h"

void FormsTest::SetUp() {
  auto screen = std::make_unique<THeadlessDisplay>(1024, 768, 24);
  FScreen = screen.get();
  SetDisplay(std::move(screen));
  Application->ResetTerminated();
  Application->SetTitle("Quillet");
}

void FormsTest::TearDown() {
  DrainMessages();
  Application->ResetTerminated();
  Application->SetMainForm(nullptr);
  SetDisplay(nullptr);
}

void FormsTest::Press(TControl* control, int x, int y) {
  TPoint p = control->ClientToScreen({x, y});
  FScreen->InjectMouseMove(p.X, p.Y);
  FScreen->InjectMouseDown(p.X, p.Y);
}

void FormsTest::Release(TControl* control, int x, int y) {
  TPoint p = control->ClientToScreen({x, y});
  FScreen->InjectMouseUp(p.X, p.Y);
}

void FormsTest::MoveTo(TControl* control, int x, int y) {
  TPoint p = control->ClientToScreen({x, y});
  FScreen->InjectMouseMove(p.X, p.Y);
}

void FormsTest::Click(TControl* control, int x, int y) {
  Press(control, x, y);
  Release(control, x, y);
}

void FormsTest::Key(int vk, bool shift, bool ctrl) {
  FScreen->InjectKey(vk, shift, ctrl);
}

void FormsTest::Type(const std::string& text) {
  for (unsigned char c : text) FScreen->InjectChar(c);
}

std::unique_ptr<TTimer> FormsTest::Driver(std::function<bool()> step, int timeoutMs) {
  auto timer = std::make_unique<TTimer>(nullptr);
  timer->SetInterval(10);
  std::uint64_t deadline = TickCount() + static_cast<std::uint64_t>(timeoutMs);
  TTimer* raw = timer.get();
  timer->OnTimer = [raw, step, deadline](TObject*) {
    if (TickCount() > deadline) {
      ADD_FAILURE() << "the driven windows did not finish in time";
      raw->SetEnabled(false);
      // Unblock whatever modal loop is running so the test can end.
      while (TForm* modal = Application->ModalForm()) {
        modal->SetModalResult(-1);
        if (Application->ModalForm() == modal) break;
      }
      Application->Terminate();
      return;
    }
    if (step()) raw->SetEnabled(false);
  };
  return timer;
}
