// The transcript's questions: each window that waits for the user gets its answer as input
// on the in-memory screen, from --answer or from lines of input, and the answer it took is
// written once its showing has ended.

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "app/Main.h"
#include "app/Setup.h"
#include "app/Transcript.h"
#include "app/Warn.h"
#include "app/WindowText.h"
#include "forms/Application.h"
#include "forms/Edit.h"
#include "platform/MessageLoop.h"
#include "platform/headless/HeadlessDisplay.h"
#include "ui/LayoutBuilder.h"

namespace {

// The settings fields in the order their lines come, each with the label that names it.
constexpr struct {
  const char* Field;
  const char* Label;
} kFields[] = {{"eServ", "Label1"}, {"ePort", "Label2"}, {"eUser", "Label3"}, {"ePass", "Label4"}};
constexpr int kFieldCount = 4;

constexpr char kWarningQuestion[] = "  d deletes the message, c or Enter continues: ";

THeadlessDisplay& Screen() {
  auto* screen = dynamic_cast<THeadlessDisplay*>(&TheDisplay());
  if (!screen) throw std::logic_error("the transcript answers only on the in-memory screen");
  return *screen;
}

std::string Normalized(const std::string& line) {
  std::string word;
  for (char c : line)
    if (!std::isspace(static_cast<unsigned char>(c)))
      word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return word;
}

// What the field shows: the password as the stars it draws.
std::string AsShown(const TEdit& field, const std::string& text) {
  return field.PasswordChar() ? std::string(text.size(), field.PasswordChar()) : text;
}

}  // namespace

void TTranscript::Ask(TForm* window) {
  if (window == fWarn) {
    if (FOptions.Answer != TWarningAnswer::Ask)
      return AnswerWarning(FOptions.Answer == TWarningAnswer::Delete);
    FAsking = window;
    FOut.Prompt(kWarningQuestion);
  } else if (dynamic_cast<TfSetup*>(window)) {
    FSettings = window;
    FAsking = window;
    FField = 0;
    PromptField();
  } else {
    return Key(window, VK_RETURN);  // a message box has but the one answer
  }
  AnswerFromInput();
}

void TTranscript::AnswerFromInput() {
  std::string line;
  while (FAsking && FIn.NextLine(line)) {
    if (FAsking != fWarn) {
      TakeSettingsLine(line);
    } else if (!TakeWarningAnswer(line)) {
      FOut.Line("  \"" + line + "\" is no answer: d deletes the message, c or Enter continues");
      FOut.Prompt(kWarningQuestion);
    }
  }
  if (FAsking && FIn.Closed()) AnswerInputClosed();
}

bool TTranscript::TakeWarningAnswer(const std::string& line) {
  const std::string word = Normalized(line);
  if (word == "d" || word == "delete") {
    AnswerWarning(true);
  } else if (word.empty() || word == "c" || word == "continue") {
    AnswerWarning(false);
  } else {
    return false;
  }
  return true;
}

// "Delete & continue scanning" has no key of its own; Enter is "Continue scanning".
void TTranscript::AnswerWarning(bool remove) {
  FAsking = nullptr;
  if (remove)
    Click(fWarn, "qDel");
  else
    Key(fWarn, VK_RETURN);
}

void TTranscript::TakeSettingsLine(const std::string& line) {
  const auto& field = *FindControl<TEdit>(FSettings, kFields[FField].Field);
  if (!line.empty()) TypeInto(FSettings, kFields[FField].Field, line);
  FOut.Line(ControlLine(field.Name(), AsShown(field, line.empty() ? field.Text() : line)));
  if (++FField < kFieldCount) return PromptField();
  FAsking = nullptr;
  Key(FSettings, VK_RETURN);
  // The window keeps showing when a field is still empty: then it is asked for again.
  PostMessage(FWindow, WM_TRANSCRIPT_CHECK, kCheckSettings, 0);
}

void TTranscript::PromptField() {
  const auto& label = *FindControl<TLabel>(FSettings, kFields[FField].Label);
  const auto& field = *FindControl<TEdit>(FSettings, kFields[FField].Field);
  std::string prompt = "  ";
  prompt += label.ShownText();
  prompt += ' ';
  if (!field.Text().empty()) {
    prompt += '[';
    prompt += AsShown(field, field.Text());
    prompt += "] ";
  }
  FOut.Prompt(prompt);
}

void TTranscript::AskSettingsAgain() {
  if (!FSettings || FAsking || Application->ModalForm() != FSettings ||
      FSettings->ModalResult() != mrNone)
    return;
  FOut.Line("  (the settings are saved only when every field holds something)");
  FAsking = FSettings;
  FField = 0;
  PromptField();
  AnswerFromInput();
}

void TTranscript::AnswerInputClosed() {
  TForm* window = FAsking;
  FAsking = nullptr;
  FOut.Line("  (no more input)");
  Key(window, window == fWarn ? VK_RETURN : VK_ESCAPE);
}

void TTranscript::ModalEnded(TForm* window, int result) {
  if (FAsking == window) FAsking = nullptr;
  if (window == fWarn) {
    FOut.Line(ControlLine("answer", result == mrOk ? "delete" : "continue"));
    return;
  }
  if (window == FSettings) {
    FSettings = nullptr;
    FOut.Line(ControlLine("answer", result == mrOk ? "save" : "cancel"));
    return;
  }
  FOut.Line(ControlLine("answer", "OK"));
  // A box over the settings window leaves it waiting for its fields again; a box with only
  // the main window behind it has stopped the check, and the main window would now only
  // wait to be closed.
  if (FSettings)
    PostMessage(FWindow, WM_TRANSCRIPT_CHECK, kCheckSettings, 0);
  else if (!Application->ModalForm() && FMain.Visible())
    EndRun(true);
}

void TTranscript::Click(TForm* window, const char* control) {
  const TControl* c = FindControl<TControl>(window, control);
  const TPoint p = c->ClientToScreen({c->Width() / 2, c->Height() / 2});
  Screen().InjectMouseMove(p.X, p.Y);
  Screen().InjectMouseDown(p.X, p.Y);
  Screen().InjectMouseUp(p.X, p.Y);
  // The pointer moves off again, so the next window does not come up under it.
  Screen().InjectMouseMove(0, 0);
}

void TTranscript::Key(TForm* window, int key, bool ctrl) {
  Screen().InjectKey(key, false, ctrl, false, window->DisplayWindow());
}

void TTranscript::TypeInto(TForm* window, const char* field, const std::string& text) {
  Click(window, field);
  Key(window, 'A', true);
  for (unsigned char c : text)
    if (c >= ' ') Screen().InjectChar(c, window->DisplayWindow());
}
