#pragma once
// A TWSocket connected to a scripted peer, with an OnDataAvailable handler that records
// every call and every read, for the line-mode tests.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "net/WSocket.h"
#include "support/ScriptedPeer.h"

class LineFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Connects Sock to a fresh peer (also used to reconnect after a close).
  void ConnectToNewPeer();
  // Sends one packet from the peer and runs the loop until the component has taken all
  // of it off the socket, so that the next packet cannot join it.
  void Deliver(const std::string& packet);
  // Runs the loop until the peer has received `count` bytes in total.
  std::string PeerReceives(std::size_t count);
  // Every Receive the handler made, concatenated.
  std::string AllRead() const;

  std::unique_ptr<TScriptedPeer> Peer;
  std::unique_ptr<TWSocket> Sock;
  // The handler reads at most this many bytes per call.
  int ReadSize = 1 << 20;
  int Calls = 0;
  std::vector<int> CountsAtCall;    // RcvdCount at the start of each call
  std::vector<std::string> Reads;   // each Receive's bytes
  std::vector<std::string> Events;  // "data:<bytes>", "closed:<error>" in order
  // Bytes the component has taken off the socket so far, across reconnections.
  int Taken = 0;
};
