#pragma once
// Code that calls out to an application's handler may find its component freed by that
// handler: a one-shot timer deleted from its OnTimer, a window deleted from its own click.
// A guard made before the call tells afterwards whether the component still exists, so the
// code on the way out touches no freed memory.

class TComponent;

class TLifeGuard {
 public:
  explicit TLifeGuard(TComponent* component);
  ~TLifeGuard();
  TLifeGuard(const TLifeGuard&) = delete;
  TLifeGuard& operator=(const TLifeGuard&) = delete;

  bool Alive() const { return FComponent != nullptr; }

 private:
  friend class TComponent;
  TComponent* FComponent;  // null once the component was destroyed
  TLifeGuard* FNext;       // the component's other guards
};
