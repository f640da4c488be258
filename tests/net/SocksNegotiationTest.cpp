// The negotiation's reply reading on its own, for the cases a well-behaved socket never
// produces: data in a phase that expects none, and replies at the edge of the buffer.

#include <gtest/gtest.h>

#include <cstring>

#include "net/SocksNegotiation.h"

namespace {

TSocksStep Feed(TSocksNegotiation& neg, const std::string& bytes) {
  EXPECT_LE(static_cast<int>(bytes.size()), neg.ReadRoom());
  std::memcpy(neg.ReadPointer(), bytes.data(), bytes.size());
  return neg.Received(static_cast<int>(bytes.size()));
}

void ExpectFailure(const TSocksStep& step, int error, const std::string& text) {
  EXPECT_EQ(step.Action, TSocksAction::Fail);
  EXPECT_EQ(step.Error, error);
  EXPECT_EQ(step.Text, text);
}

std::string NameReply(int nameLength) {
  std::string reply = {5, 0, 0, 3, static_cast<char>(nameLength)};
  return reply + std::string(nameLength, 'n') + std::string{0, 25};
}

TEST(SocksNegotiationTest, RepliesInAPhaseThatExpectsNoneAreInternalOrLogicErrors) {
  TSocksNegotiation neg;
  neg.Start(true);  // SOCKS 4 never waits for a method choice
  ExpectFailure(Feed(neg, {5, 0}), 20001, "TWSocket logic error");

  neg.Clear();
  EXPECT_EQ(neg.ReadRoom(), 0);
  std::memset(neg.ReadPointer(), 0, 1);
  ExpectFailure(neg.Received(1), 20013, "internal error");
}

TEST(SocksNegotiationTest, NameRepliesUpToTheBufferCompleteLongerOnesFailAtOnce) {
  TSocksNegotiation neg;
  neg.Start(false);
  neg.SetPhase(socksPhaseConnectReply);
  const std::string longest = NameReply(120);  // 127 bytes: the most the buffer takes
  EXPECT_EQ(Feed(neg, longest.substr(0, 60)).Action, TSocksAction::Wait);
  EXPECT_EQ(neg.ReadRoom(), 127 - 60);
  EXPECT_EQ(Feed(neg, longest.substr(60)).Action, TSocksAction::Succeed);
  EXPECT_EQ(neg.LeftoverCount(), 0);
  EXPECT_EQ(neg.BoundAddr(), std::string(120, 'n'));
  EXPECT_EQ(neg.BoundPort(), "25");

  neg.Start(false);
  neg.SetPhase(socksPhaseConnectReply);
  ExpectFailure(Feed(neg, NameReply(121).substr(0, 5)), 20014, "socks reply too long");
}

TEST(SocksNegotiationTest, ExtraBytesBehindTheMethodChoiceAreDropped) {
  TSocksNegotiation neg;
  neg.Start(false);
  neg.Greeting(false);
  EXPECT_EQ(Feed(neg, {5, 0, 'x', 'y'}).Action, TSocksAction::SendRequest);
  EXPECT_EQ(neg.Held(), 0);
  neg.SetPhase(socksPhaseConnectReply);
  EXPECT_EQ(Feed(neg, {5, 0, 0, 1, 1, 2, 3, 4, 0, 80, 'd'}).Action, TSocksAction::Succeed);
  EXPECT_EQ(neg.BoundAddr(), "1.2.3.4");
  char out[4] = {};
  EXPECT_EQ(neg.TakeLeftover(out, 4, false), 1);
  EXPECT_EQ(out[0], 'd');
}

}  // namespace
