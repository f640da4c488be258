#pragma once
// The small component base of the socket layer: an owner frees what it owns, and a
// component whose owner is being destroyed knows it, so that it can skip events that
// would reach a half-destroyed owner.

#include <vector>

#include "net/Object.h"

class TNetComponent : public TObject {
 public:
  explicit TNetComponent(TNetComponent* owner = nullptr);
  ~TNetComponent() override;

  TNetComponent* Owner() const { return FOwner; }
  const std::vector<TNetComponent*>& Components() const { return FComponents; }
  // True once the destruction of this component or of one of its owners has begun.
  bool InDestroyingState() const { return FDestroying; }
  // Marks this component and, recursively, everything it owns as being destroyed. An
  // owner may call it first thing in its own destructor, before its members go.
  void Destroying();

 private:
  void InsertComponent(TNetComponent* child);
  void RemoveComponent(TNetComponent* child);

  TNetComponent* FOwner = nullptr;
  std::vector<TNetComponent*> FComponents;
  bool FDestroying = false;
};
