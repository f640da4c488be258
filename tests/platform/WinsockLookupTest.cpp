// Asynchronous host lookups: what reaches the caller's buffer and window, and when.
#include "WinsockFixture.h"

#include <cstring>
#include <string>

#include "platform/winsock/WinsockTestHooks.h"
#include "support/LoopRunner.h"

namespace api = winsock::api;

namespace {

constexpr UINT kLookupMsg = WM_USER + 2;

struct Completion {
  winsock::HANDLE handle;
  int length;
  int error;
};

class WinsockLookupTest : public WinsockTest {
 protected:
  void SetUp() override {
    WinsockTest::SetUp();
    std::memset(buf_, 0xAB, sizeof buf_);
    target_ = AllocateHWnd([this](UINT msg, WPARAM w, LPARAM l) {
      if (msg == kLookupMsg) done_.push_back({w, LOWORD(l), HIWORD(l)});
      if (msg == WM_TIMER) ++ticks_;
      return LRESULT{0};
    });
  }
  void TearDown() override {
    winsock::SimulateLookupDelay(0);
    DestroyWindow(target_);
    WinsockTest::TearDown();
  }

  winsock::HANDLE ByName(const char* name, int len = winsock::MAXGETHOSTSTRUCT) {
    return api::WSAAsyncGetHostByName(target_, kLookupMsg, name, buf_, len);
  }
  const winsock::THostEnt& Entry() const {
    return *reinterpret_cast<const winsock::THostEnt*>(buf_);
  }
  bool InBuffer(const void* p) const {
    const char* c = static_cast<const char*>(p);
    return c >= buf_ && c < buf_ + sizeof buf_;
  }
  // The buffer is untouched when every byte still has the fill pattern.
  bool Untouched() const {
    for (unsigned char c : buf_)
      if (c != 0xAB) return false;
    return true;
  }

  HWND target_ = 0;
  alignas(8) char buf_[winsock::MAXGETHOSTSTRUCT + 1];
  std::vector<Completion> done_;
  int ticks_ = 0;
};

}  // namespace

TEST_F(WinsockLookupTest, LocalhostArrivesInTheCallersBuffer) {
  winsock::HANDLE h = ByName("localhost");
  ASSERT_NE(h, 0u);
  EXPECT_TRUE(done_.empty()) << "never answered from inside the call";
  ASSERT_TRUE(RunLoopUntil([&] { return !done_.empty(); }));
  ASSERT_EQ(done_.size(), 1u);
  EXPECT_EQ(done_[0].handle, h);
  EXPECT_EQ(done_[0].error, 0);
  EXPECT_GT(done_[0].length, 0);
  EXPECT_LE(done_[0].length, static_cast<int>(sizeof buf_));
  const winsock::THostEnt& e = Entry();
  EXPECT_EQ(e.h_addrtype, winsock::AF_INET);
  EXPECT_EQ(e.h_length, 4);
  ASSERT_TRUE(InBuffer(e.h_name));
  EXPECT_GT(std::strlen(e.h_name), 0u);
  ASSERT_TRUE(InBuffer(e.h_addr_list));
  ASSERT_TRUE(InBuffer(e.h_addr_list[0]));
  std::uint32_t first;
  std::memcpy(&first, e.h_addr_list[0], 4);
  EXPECT_EQ(first, htonl(0x7F000001));
  ASSERT_TRUE(InBuffer(e.h_aliases));
  for (char** a = e.h_aliases; *a != nullptr; ++a) EXPECT_TRUE(InBuffer(*a));
  // Finished requests cannot be cancelled any more.
  EXPECT_EQ(api::WSACancelAsyncRequest(h), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEINVAL);
}

TEST_F(WinsockLookupTest, UnknownNameFailsWhileTheLoopKeepsDispatching) {
  // Hold the resolver back so the loop's behaviour while a lookup is pending shows.
  winsock::SimulateLookupDelay(300);
  SetTimer(target_, 1, 20);
  std::uint64_t start = TickCount();
  winsock::HANDLE h = ByName("no-such-host.invalid");
  ASSERT_NE(h, 0u);
  EXPECT_LT(TickCount() - start, 250u) << "the call itself must not wait for the resolver";
  ASSERT_TRUE(RunLoopUntil([&] { return !done_.empty(); }, 10000));
  KillTimer(target_, 1);
  EXPECT_GE(ticks_, 5) << "timers kept firing while the lookup was pending";
  EXPECT_EQ(done_[0].handle, h);
  EXPECT_TRUE(done_[0].error == winsock::WSAHOST_NOT_FOUND ||
              done_[0].error == winsock::WSATRY_AGAIN || done_[0].error == winsock::WSANO_DATA)
      << done_[0].error;
  EXPECT_EQ(done_[0].length, 0);
  EXPECT_TRUE(Untouched()) << "a failed lookup writes nothing";
}

TEST_F(WinsockLookupTest, CancelledLookupNeverDeliversNorWritesTheBuffer) {
  // Cancelled while the worker is still resolving.
  winsock::SimulateLookupDelay(100);
  winsock::HANDLE early = ByName("localhost");
  ASSERT_NE(early, 0u);
  EXPECT_EQ(api::WSACancelAsyncRequest(early), 0);
  EXPECT_EQ(api::WSACancelAsyncRequest(early), winsock::SOCKET_ERROR);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEINVAL);
  winsock::SimulateLookupDelay(0);
  // Cancelled after the worker has finished, its completion taken from the queue but not yet
  // delivered.
  winsock::HANDLE late = ByName("localhost");
  ASSERT_NE(late, 0u);
  EXPECT_NE(late, early);
  TMsg completion{};
  ASSERT_TRUE(RunLoopUntil([&] {
    TMsg msg;
    while (PeekMessage(msg)) {
      if (msg.wParam == static_cast<WPARAM>(late)) {
        completion = msg;
        return true;
      }
      DispatchMessage(msg);
    }
    return false;
  }));
  EXPECT_EQ(api::WSACancelAsyncRequest(late), 0);
  DispatchMessage(completion);
  DrainMessages();
  EXPECT_TRUE(done_.empty());
  EXPECT_TRUE(Untouched());
}

TEST_F(WinsockLookupTest, TooSmallBufferReportsNoBuffersWithTheSizeNeeded) {
  winsock::HANDLE h = ByName("localhost", 40);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(RunLoopUntil([&] { return !done_.empty(); }));
  EXPECT_EQ(done_[0].error, winsock::WSAENOBUFS);
  EXPECT_GT(done_[0].length, 40);
  EXPECT_TRUE(Untouched());
}

TEST_F(WinsockLookupTest, AddressLookupGivesTheNameOfLoopback) {
  std::uint32_t loopback = htonl(0x7F000001);
  winsock::HANDLE h =
      api::WSAAsyncGetHostByAddr(target_, kLookupMsg, reinterpret_cast<const char*>(&loopback), 4,
                                 winsock::PF_INET, buf_, sizeof buf_);
  ASSERT_NE(h, 0u);
  ASSERT_TRUE(RunLoopUntil([&] { return !done_.empty(); }));
  ASSERT_EQ(done_[0].error, 0);
  ASSERT_TRUE(InBuffer(Entry().h_name));
  EXPECT_GT(std::strlen(Entry().h_name), 0u);
  std::uint32_t first;
  std::memcpy(&first, Entry().h_addr_list[0], 4);
  EXPECT_EQ(first, loopback);
  EXPECT_EQ(
      api::WSAAsyncGetHostByAddr(target_, kLookupMsg, reinterpret_cast<const char*>(&loopback), 16,
                                 winsock::PF_INET, buf_, sizeof buf_),
      0u);
  EXPECT_EQ(api::WSAGetLastError(), winsock::WSAEFAULT);
}
