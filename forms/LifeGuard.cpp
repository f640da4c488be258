#include "forms/LifeGuard.h"

#include "forms/Component.h"

TLifeGuard::TLifeGuard(TComponent* component)
    : FComponent(component), FNext(component->FLifeGuards) {
  component->FLifeGuards = this;
}

TLifeGuard::~TLifeGuard() {
  if (!FComponent) return;
  // Guards usually end in the reverse order of their making, but an exception or a nested
  // loop need not keep to it: unlink this one wherever it stands.
  for (TLifeGuard** link = &FComponent->FLifeGuards; *link; link = &(*link)->FNext) {
    if (*link == this) {
      *link = FNext;
      return;
    }
  }
}
