#include "LineFixture.h"

#include "support/LoopRunner.h"

void LineFixture::SetUp() {
  Sock = std::make_unique<TWSocket>();
  Sock->OnDataAvailable = [this](TObject*, std::uint16_t) {
    ++Calls;
    CountsAtCall.push_back(Sock->RcvdCount());
    std::string buf(static_cast<std::size_t>(ReadSize), '\0');
    const int n = Sock->Receive(buf.data(), ReadSize);
    buf.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
    Reads.push_back(buf);
    Events.push_back("data:" + buf);
  };
  ConnectToNewPeer();
}

void LineFixture::TearDown() {
  Sock.reset();
  Peer.reset();
  DrainMessages();
}

void LineFixture::ConnectToNewPeer() {
  Peer = std::make_unique<TScriptedPeer>();
  Taken = 0;
  Sock->SetAddr("127.0.0.1");
  Sock->SetPort(Peer->Port());
  Sock->Connect();
  ASSERT_TRUE(RunLoopUntil([&] { return Sock->State() == wsConnected && Peer->Connected(); }));
}

void LineFixture::Deliver(const std::string& packet) {
  Peer->Send(packet);
  Taken += static_cast<int>(packet.size());
  ASSERT_TRUE(RunLoopUntil([&] { return Sock->ReadCount() >= Taken; }))
      << "the component took " << Sock->ReadCount() << " of " << Taken << " bytes";
  DrainMessages();
}

std::string LineFixture::PeerReceives(std::size_t count) {
  RunLoopUntil([&] { return Peer->ReceivedSize() >= count; });
  DrainMessages();
  return Peer->Received();
}

std::string LineFixture::AllRead() const {
  std::string all;
  for (const std::string& r : Reads) all += r;
  return all;
}
