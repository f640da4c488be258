// The title picture on a real X server: a press on it starts the X11 backend's caption
// drag, which moves the window with the pointer until the button is released.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include "forms/Application.h"
#include "forms/Form.h"
#include "forms/Timer.h"
#include "platform/display/DisplayBackend.h"
#include "support/LoopRunner.h"
#include "support/XvfbServer.h"
#include "ui/Title.h"

namespace {

// Tells whether its caption drag is running, so the pointer is moved only once it is.
class TDragWatch : public TForm {
 public:
  using TForm::TForm;
  bool Dragging = false;
  int Drags = 0;
  void WndProc(TMessage& Message) override {
    if (Message.Msg != WM_NCLBUTTONDOWN) return TForm::WndProc(Message);
    Dragging = true;
    TForm::WndProc(Message);
    Dragging = false;
    ++Drags;
  }
};

TEST(TitleOnX11, APressAMoveAndAReleaseMoveTheWindowAsFarAsThePointer) {
  ASSERT_TRUE(OnPath("Xvfb") && OnPath("xdotool")) << "tools/install-deps installs them";
  TXvfbServer server;
  ASSERT_TRUE(server.Start(24));
  auto backend = CreateDisplayBackend(server.Name());
  ASSERT_EQ(backend->Name(), "x11");
  SetDisplay(std::move(backend));
  Application->ResetTerminated();
  {
    TDragWatch form(nullptr);
    form.SetPosition(TPosition::poDesigned);
    form.SetBounds(100, 100, 300, 100);
    form.SetText("Title Drag");
    auto* title = new TTitle(&form);
    title->SetParent(&form);
    title->SetBounds(1, 1, 298, 23);
    int clicks = 0;
    title->OnClick = [&](TObject*) { ++clicks; };
    form.Show();
    server.Run("xdotool search --sync --onlyvisible --name '^Title Drag$'");
    server.Run("xdotool mousemove --sync 150 110 mousedown 1");
    pid_t mover = -1;
    TTimer probe(nullptr);
    probe.SetInterval(10);
    probe.OnTimer = [&](TObject*) {
      if (form.Dragging && mover < 0)
        mover = server.Spawn("xdotool mousemove_relative --sync 40 30 mouseup 1");
    };
    bool moved = RunLoopUntil([&] { return form.Drags == 1; }, 10000);
    if (mover > 0) ::waitpid(mover, nullptr, 0);
    ASSERT_TRUE(moved);
    EXPECT_EQ(form.Left(), 140);
    EXPECT_EQ(form.Top(), 130);
    EXPECT_EQ(TheDisplay().Bounds(form.DisplayWindow()), Bounds(140, 130, 300, 100));
    EXPECT_EQ(clicks, 0);
  }
  SetDisplay(nullptr);
}

}  // namespace
