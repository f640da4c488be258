#pragma once
// The program's application object: its title and help file, the main form, the message
// loop (Run, HandleMessage, ProcessMessages), modal bookkeeping and the message box.
//
// An exception that escapes an event or message handler is caught by the loop (or by the
// window procedure that ran the handler) and shown in a message box with its text; the
// loop then goes on.

#include <functional>
#include <string>
#include <vector>

#include "forms/Component.h"

class TForm;

constexpr int IDOK = 1;

class TApplication : public TComponent {
 public:
  explicit TApplication(TComponent* AOwner = nullptr);
  ~TApplication() override;

  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value) { FTitle = value; }
  const std::string& HelpFile() const { return FHelpFile; }
  void SetHelpFile(const std::string& value) { FHelpFile = value; }

  TForm* MainForm() const { return FMainForm; }
  // The first form made by CreateForm becomes the main form; programs and tests that make
  // forms another way name it here.
  void SetMainForm(TForm* form) { FMainForm = form; }
  // Makes a form of type T owned by the application, runs its OnCreate, and stores it in
  // reference.
  template <class T>
  void CreateForm(T*& reference) {
    reference = new T(this);
    if (!FMainForm) FMainForm = reference;
    reference->AfterConstruction();
  }

  // Shows the main form and dispatches messages until Terminate (closing the main form
  // terminates).
  void Run();
  // Dispatches one message, or, when none is pending, sleeps until one arrives.
  void HandleMessage();
  // Dispatches everything pending without waiting.
  void ProcessMessages();
  void Terminate();
  bool Terminated() const { return FTerminated; }
  // Clears the terminated state, so the application can run again (tests, restarts).
  void ResetTerminated() { FTerminated = false; }

  // A plain modal window titled caption (empty: the application's title) with the text and
  // one OK button; Enter and Esc close it. Returns IDOK.
  int MessageBox(const std::string& text, const std::string& caption = "");
  // Shows the exception being handled; call it from inside a catch block.
  void HandleException(TObject* Sender);
  void ShowException(const std::string& text) { MessageBox(text); }

  // Called with the text of every exception caught by the loop before it is shown.
  std::function<void(TObject* Sender, const std::string& Text)> OnException;
  // For an observer of the whole run, such as a transcript of the windows: told when a form
  // has come on screen (painted, and before its activation), and when a modal showing has
  // ended (the form hidden again), with its result.
  std::function<void(TForm* Form)> OnFormShown;
  std::function<void(TForm* Form, int ModalResult)> OnModalEnd;

  // Modal and activation bookkeeping, used by the forms.
  TForm* ActiveForm() const { return FActiveForm; }
  void SetActiveForm(TForm* form) { FActiveForm = form; }
  TForm* ModalForm() const { return FModal.empty() ? nullptr : FModal.back(); }
  void PushModal(TForm* form) { FModal.push_back(form); }
  void PopModal(TForm* form);
  // Every form that exists, in creation order.
  const std::vector<TForm*>& Forms() const { return FForms; }
  bool FormExists(const TForm* form) const;
  void FormCreated(TForm* form) { FForms.push_back(form); }
  void FormDestroyed(TForm* form);

 private:
  bool ProcessMessage();

  std::string FTitle;
  std::string FHelpFile;
  TForm* FMainForm = nullptr;
  TForm* FActiveForm = nullptr;
  std::vector<TForm*> FModal;
  std::vector<TForm*> FForms;
  bool FTerminated = false;
};

// The application of the run; it lives until the process ends.
extern TApplication* Application;
