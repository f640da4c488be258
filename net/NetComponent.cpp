#include "net/NetComponent.h"

#include <algorithm>

TNetComponent::TNetComponent(TNetComponent* owner) : FOwner(owner) {
  if (FOwner) FOwner->InsertComponent(this);
}

TNetComponent::~TNetComponent() {
  Destroying();
  // Each child unlinks itself from FComponents in its own destructor, so take from the back
  // until the list is empty instead of iterating over a list that changes underneath.
  while (!FComponents.empty()) delete FComponents.back();
  if (FOwner) FOwner->RemoveComponent(this);
}

void TNetComponent::Destroying() {
  if (FDestroying) return;
  FDestroying = true;
  for (TNetComponent* child : FComponents) child->Destroying();
}

void TNetComponent::InsertComponent(TNetComponent* child) {
  FComponents.push_back(child);
}

void TNetComponent::RemoveComponent(TNetComponent* child) {
  auto it = std::find(FComponents.begin(), FComponents.end(), child);
  if (it != FComponents.end()) FComponents.erase(it);
  child->FOwner = nullptr;
}
