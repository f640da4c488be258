#pragma once
// The program's windows built from their layouts on the headless screen, with handlers that
// record their names when called and test pictures of the sizes the windows use, and each
// control read back from the built window as one line of text.

#include <string>
#include <vector>

#include "UiTest.h"
#include "ui/LayoutBuilder.h"

class LayoutTest : public UiTest {
 protected:
  // Builds the window with recorders for the handlers each window has.
  void Build(const TWindowLayout& layout);
  THandlers Recorders(const std::string& windowName);
  static std::unique_ptr<TBitmap> TestPicture(TPictureId id);

  // The window, then every control in creation order, one line each.
  std::string Description();
  std::string Describe(TControl* c);
  // The settings the control shares with every control of its kind.
  static std::string Shared(const TControl* c);
  static std::string TypeName(const TControl* c);
  // Which handler an event runs, by calling it.
  std::string HandlerName(const std::function<void()>& call);

  template <class T>
  T* Find(const char* name) {
    return FindControl<T>(form.get(), name);
  }

  std::vector<std::string> called;
};
