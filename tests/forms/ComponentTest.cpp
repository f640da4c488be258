#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "forms/Component.h"

namespace {

// Records what it is told and when it goes.
class TProbe : public TComponent {
 public:
  TProbe(TComponent* owner, std::vector<std::string>* log, const std::string& name)
      : TComponent(owner), FLog(log) {
    SetName(name);
  }
  // Like every owner whose parts may call back into it, it frees them first.
  ~TProbe() override {
    Destroying();
    DestroyComponents();
    FLog->push_back("free " + Name() + (InDestroyingState() ? " (destroying)" : ""));
  }
  TComponent* Forgotten = nullptr;

 protected:
  void Notification(TComponent* c, TOperation op) override {
    TComponent::Notification(c, op);
    if (op == TOperation::opRemove) Forgotten = c;
  }

 private:
  std::vector<std::string>* FLog;
};

TEST(Component, OwnerFreesWhatItOwnsNewestFirstAndPassesDestroyingDown) {
  std::vector<std::string> log;
  auto* owner = new TProbe(nullptr, &log, "owner");
  auto* a = new TProbe(owner, &log, "a");
  new TProbe(a, &log, "a1");
  new TProbe(owner, &log, "b");
  EXPECT_EQ(owner->ComponentCount(), 2);
  EXPECT_EQ(owner->FindComponent("b")->Name(), "b");
  EXPECT_EQ(owner->FindComponent("a1"), nullptr);  // only direct components are found
  EXPECT_FALSE(a->InDestroyingState());
  delete owner;
  // Everything owned knows it is going before it goes, however deep.
  EXPECT_EQ(log, (std::vector<std::string>{"free b (destroying)", "free a1 (destroying)",
                                           "free a (destroying)", "free owner (destroying)"}));
}

TEST(Component, RemovalIsReportedToOwnerSiblingsAndFreeNotificationPartners) {
  std::vector<std::string> log;
  TProbe owner(nullptr, &log, "owner");
  auto* sibling = new TProbe(&owner, &log, "sibling");
  auto* doomed = new TProbe(&owner, &log, "doomed");
  TProbe stranger(nullptr, &log, "stranger");
  stranger.FreeNotification(doomed);

  TComponent* doomedAddress = doomed;
  delete doomed;
  EXPECT_EQ(owner.Forgotten, doomedAddress);
  EXPECT_EQ(sibling->Forgotten, doomedAddress);
  EXPECT_EQ(stranger.Forgotten, doomedAddress);
  EXPECT_EQ(owner.ComponentCount(), 1);

  // The link is dropped on both sides: freeing the stranger later reaches nobody stale.
  auto* partner = new TProbe(nullptr, &log, "partner");
  partner->FreeNotification(sibling);
  TComponent* partnerAddress = partner;
  delete partner;
  EXPECT_EQ(sibling->Forgotten, partnerAddress);
  delete sibling;
  EXPECT_EQ(owner.ComponentCount(), 0);
}

TEST(Component, InsertingMovesAComponentBetweenOwners) {
  std::vector<std::string> log;
  TProbe first(nullptr, &log, "first");
  TProbe second(nullptr, &log, "second");
  auto* c = new TProbe(&first, &log, "c");
  second.InsertComponent(c);
  EXPECT_EQ(first.ComponentCount(), 0);
  EXPECT_EQ(second.ComponentCount(), 1);
  EXPECT_EQ(c->Owner(), &second);
  EXPECT_EQ(first.Forgotten, c);
}

}  // namespace
