#pragma once
// The handlers a window supplies for its layout, by the names the layout gives them, and
// the lookup that binds them: ui/ cannot see the windows' classes, so a layout names a
// handler and the window maps the name to its own method.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <variant>

#include "forms/Control.h"
#include "ui/Layout.h"

using TNotifyEvent = std::function<void(TObject* Sender)>;
using TKeyEvent = std::function<void(TObject* Sender, WORD& Key, TShiftState Shift)>;
using THandler = std::variant<TNotifyEvent, TKeyEvent>;
using THandlers = std::map<std::string, THandler, std::less<>>;

// A window's method as a handler: {"FormCreate", Handler(this, &TfMain::FormCreate)}.
template <class T>
THandler Handler(T* object, void (T::*method)(TObject*)) {
  return TNotifyEvent([object, method](TObject* Sender) { (object->*method)(Sender); });
}
template <class T>
THandler Handler(T* object, void (T::*method)(TObject*, WORD&, TShiftState)) {
  return TKeyEvent([object, method](TObject* Sender, WORD& Key, TShiftState Shift) {
    (object->*method)(Sender, Key, Shift);
  });
}

// Hands out the supplied handlers by name and remembers which were asked for. A name the
// window does not supply (or supplies as the other kind of event), and a supplied handler
// no layout entry names, are mistakes that would otherwise leave a button dead without a
// word: both raise ELayoutError.
class THandlerBinding {
 public:
  explicit THandlerBinding(const THandlers& handlers) : FHandlers(handlers) {}

  // An empty name is no handler: the event stays unassigned.
  template <class TEvent>
  TEvent Get(std::string_view name) {
    if (name.empty()) return {};
    auto it = FHandlers.find(name);
    const TEvent* event = it == FHandlers.end() ? nullptr : std::get_if<TEvent>(&it->second);
    if (!event || !*event) Missing(name);
    FUsed.insert(it->first);
    return *event;
  }
  void CheckAllUsed() const;

 private:
  [[noreturn]] static void Missing(std::string_view name);

  const THandlers& FHandlers;
  std::set<std::string, std::less<>> FUsed;
};
