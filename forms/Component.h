#pragma once
// The component base of the window layer: an owner frees what it owns, a component that
// goes away tells its owner (and everyone who asked) so that no stale pointer survives,
// and an owner that is being destroyed passes that state down to what it owns.

#include <string>
#include <vector>

#include "platform/Object.h"

class TLifeGuard;

enum class TOperation { opInsert, opRemove };

class TComponent : public TObject {
 public:
  explicit TComponent(TComponent* AOwner = nullptr);
  ~TComponent() override;

  TComponent* Owner() const { return FOwner; }
  int ComponentCount() const { return static_cast<int>(FComponents.size()); }
  TComponent* Components(int index) const { return FComponents.at(index); }
  TComponent* FindComponent(const std::string& AName) const;

  const std::string& Name() const { return FName; }
  virtual void SetName(const std::string& value);
  int Tag() const { return FTag; }
  void SetTag(int value) { FTag = value; }

  // True once this component or one of its owners has begun to be destroyed.
  bool InDestroyingState() const { return FDestroying; }
  // True while this component or one of its owners is being built from a window layout:
  // work that needs the finished layout (a label measuring itself) waits until then.
  bool Loading() const;
  void BeginLoading() { FLoading = true; }
  void EndLoading() { FLoading = false; }
  // Marks this component and everything it owns, recursively, as being destroyed.
  void Destroying();
  // Frees every owned component, the newest first. A class whose owned components may
  // still call into it while they go calls this first thing in its own destructor.
  void DestroyComponents();

  void InsertComponent(TComponent* AComponent);
  void RemoveComponent(TComponent* AComponent);
  // Asks to be told (through Notification) when AComponent is destroyed, although it
  // is not owned by this one.
  void FreeNotification(TComponent* AComponent);
  void RemoveFreeNotification(TComponent* AComponent);

 protected:
  // Told when a component is inserted into or removed from the owner; the owner passes a
  // removal on to everything it owns, so siblings can forget a component that goes.
  virtual void Notification(TComponent* AComponent, TOperation Operation);

 private:
  void DropFreeNotifications();

  friend class TLifeGuard;
  TLifeGuard* FLifeGuards = nullptr;

  TComponent* FOwner = nullptr;
  std::vector<TComponent*> FComponents;
  std::vector<TComponent*> FFreeNotifies;
  std::string FName;
  int FTag = 0;
  bool FDestroying = false;
  bool FLoading = false;
};
