#include "forms/Application.h"

#include <algorithm>
#include <exception>

#include "forms/Form.h"
#include "platform/MessageLoop.h"

// Made on first use of the program's start-up and never freed: forms it owns may hold
// display windows, which must not be torn down after the display itself at exit.
TApplication* Application = new TApplication(nullptr);

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
  Destroying();
  DestroyComponents();
  if (Application == this) Application = nullptr;
}

void TApplication::Run() {
  if (FMainForm && !FTerminated) FMainForm->Show();
  while (!FTerminated) HandleMessage();
}

bool TApplication::ProcessMessage() {
  TMsg msg;
  if (!PeekMessage(msg)) return false;
  if (msg.message == WM_QUIT) {
    FTerminated = true;
    return true;
  }
  try {
    DispatchMessage(msg);
  } catch (...) {
    HandleException(this);
  }
  return true;
}

void TApplication::HandleMessage() {
  // Waiting happens in the loop's poll(): no CPU is used until something arrives. It waits
  // even after Terminate, so a caller's own loop that does not look at Terminated sleeps
  // instead of spinning; the loops here look at Terminated before they call.
  if (!ProcessMessage()) WaitMessage();
}

void TApplication::ProcessMessages() {
  while (ProcessMessage()) {
  }
}

void TApplication::Terminate() {
  if (FTerminated) return;
  // The flag ends our loops at once; the quit message also ends loops that are not ours
  // (a socket's message pump) and wakes a loop that waits.
  FTerminated = true;
  PostQuitMessage(0);
}

void TApplication::HandleException(TObject* Sender) {
  std::string text;
  try {
    throw;
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "Unknown exception";
  }
  if (OnException) OnException(Sender, text);
  ShowException(text);
}

void TApplication::PopModal(TForm* form) {
  auto it = std::find(FModal.begin(), FModal.end(), form);
  if (it != FModal.end()) FModal.erase(it);
}

bool TApplication::FormExists(const TForm* form) const {
  return std::find(FForms.begin(), FForms.end(), form) != FForms.end();
}

void TApplication::FormDestroyed(TForm* form) {
  auto it = std::find(FForms.begin(), FForms.end(), form);
  if (it != FForms.end()) FForms.erase(it);
  if (FMainForm == form) FMainForm = nullptr;
  if (FActiveForm == form) FActiveForm = nullptr;
  PopModal(form);
}
