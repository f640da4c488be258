#include "WindowsHarness.h"

#include <unistd.h>

#include "app/Main.h"
#include "app/ProgramMain.h"
#include "app/Setup.h"
#include "app/Warn.h"
#include "forms/Clipboard.h"
#include "forms/CommandLine.h"
#include "ui/LayoutBuilder.h"

void WindowsHarness::TearDown() {
  DiskFull.reset();
  delete fWarn;
  fWarn = nullptr;
  delete fMain;
  fMain = nullptr;
  SetArguments({});
  ProgramFolderTest::TearDown();
}

void WindowsHarness::MakeProgramWindows() {
  fMain = new TfMain(nullptr);
  fMain->AfterConstruction();
  fWarn = new TfWarn(nullptr);
  fWarn->AfterConstruction();
}

std::string WindowsHarness::Describe(TForm* w) {
  auto text = [w](const char* name) { return FindControl<TControl>(w, name)->Text(); };
  std::string line = w->Name() + " ";
  if (w->Name() == "fSetup")
    return line + text("eServ") + "|" + text("ePort") + "|" + text("eUser") + "|" + text("ePass");
  if (w->Name() == "fWarn")
    return line + text("lFrom") + "|" + text("lSubj") + "|" + text("lName") + "|" + text("ll1") +
           "|" + text("ll2");
  if (auto* main = dynamic_cast<TfMain*>(w)) {
    const TMailboxSettings s = main->Settings();
    return line + text("lInfo") + " " + s.Host + "|" + s.Port + "|" + s.UserName + "|" + s.PassWord;
  }
  return line + text("Text");
}

bool WindowsHarness::Awaits(TForm* w) const {
  return w && w->Visible() && (!w->InModal() || w->ModalResult() == mrNone);
}

void WindowsHarness::Drive(std::deque<TAction> actions, const std::function<void()>& body) {
  // Injected input is dispatched before the next tick, so each action has been taken in
  // full when the next window is looked at.
  auto driver = Driver([&] {
    TForm* window = Application->ActiveForm();
    if (!Awaits(window)) return false;
    Shown.push_back(Describe(window));
    if (actions.empty()) {
      ADD_FAILURE() << "no action left for " << Shown.back();
      window->Close();
      return false;
    }
    TAction action = std::move(actions.front());
    actions.pop_front();
    action(window);
    return false;
  });
  body();
  EXPECT_TRUE(actions.empty()) << actions.size() << " actions left over";
}

int WindowsHarness::RunProgram(std::vector<std::string> arguments, std::deque<TAction> actions) {
  SetArguments(std::move(arguments));
  // The run before may have ended the loop; each run starts as a fresh process would.
  DrainMessages();
  Application->ResetTerminated();
  int status = -1;
  Drive(std::move(actions), [&] { status = ProgramMain(Folder().File("quillet")); });
  return status;
}

void WindowsHarness::SetSettingsFile(const std::optional<std::string>& bytes) {
  ::unlink(Folder().File("Tessel.dat").c_str());
  if (bytes) Folder().Write("Tessel.dat", *bytes);
}

std::optional<std::string> WindowsHarness::SettingsFile() {
  if (!Folder().Exists("Tessel.dat")) return std::nullopt;
  return Folder().Read("Tessel.dat");
}

void WindowsHarness::CheckRuns(const std::vector<std::string>& arguments,
                               const std::vector<TRunCase>& cases) {
  for (const TRunCase& c : cases) {
    SCOPED_TRACE(c.what);
    SetSettingsFile(c.before);
    Shown.clear();
    EXPECT_EQ(RunProgram(arguments, c.actions), c.status);
    EXPECT_EQ(Shown, c.shown);
    EXPECT_EQ(SettingsFile(), c.after);
    EXPECT_FALSE(Folder().Exists("Tessel.dat.new"));
  }
}

WindowsHarness::TAction WindowsHarness::Press(int vk) {
  return [this, vk](TForm*) { Key(vk); };
}

WindowsHarness::TAction WindowsHarness::ClickOn(const char* control) {
  return [this, control](TForm* w) { Click(FindControl<TControl>(w, control), 5, 5); };
}

WindowsHarness::TAction WindowsHarness::TypeInto(const char* field, const std::string& text) {
  return [this, field, text](TForm* w) {
    Click(FindControl<TControl>(w, field), 5, 5);
    Key(VK_END);
    Type(text);
  };
}

WindowsHarness::TAction WindowsHarness::PasteInto(const char* field, const std::string& text) {
  return [this, field, text](TForm* w) {
    Clipboard()->SetAsText(text);
    Click(FindControl<TControl>(w, field), 5, 5);
    Key(VK_END);
    Key('V', false, true);
  };
}
