#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <thread>

#include "support/forms/FormsFixture.h"
#include "platform/MessageLoop.h"

namespace {

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

using ApplicationLoop = FormsTest;

TEST_F(ApplicationLoop, HandleMessageSleepsWhileWaitingForASocket) {
  int fds[2];
  ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
  bool arrived = false;
  int watch = WatchFd(fds[0], POLLIN, [&](short) {
    char buf[16];
    [[maybe_unused]] ssize_t n = ::read(fds[0], buf, sizeof buf);
    arrived = true;
  });
  // A reaper, so that a broken wake-up fails instead of hanging.
  TTimer reaper(nullptr);
  reaper.SetInterval(8000);
  reaper.OnTimer = [&](TObject*) { Application->Terminate(); };

  // Taken before the peer starts its two seconds, so a slow thread start cannot make the
  // wait look shorter than it was.
  auto start = std::chrono::steady_clock::now();
  std::thread peer([fd = fds[1]] {
    std::this_thread::sleep_for(std::chrono::milliseconds(2000));
    [[maybe_unused]] ssize_t n = ::write(fd, "x", 1);
  });
  double cpuBefore = ProcessCpuSeconds();
  while (!arrived && !Application->Terminated()) Application->HandleMessage();
  double cpu = ProcessCpuSeconds() - cpuBefore;
  auto waited = std::chrono::steady_clock::now() - start;
  peer.join();
  UnwatchFd(watch);
  ::close(fds[0]);
  ::close(fds[1]);

  EXPECT_TRUE(arrived);
  EXPECT_GE(waited, std::chrono::milliseconds(1900));
  // Two seconds of waiting cost next to nothing: the loop sleeps in poll().
  EXPECT_LT(cpu, 0.1) << "CPU seconds used while waiting";
}

TEST_F(ApplicationLoop, TerminateEndsRunAndProcessMessagesNeverBlocks) {
  int ticks = 0;
  TTimer timer(nullptr);
  timer.SetInterval(5);
  timer.OnTimer = [&](TObject*) {
    if (++ticks == 3) Application->Terminate();
  };
  Application->Run();
  EXPECT_EQ(ticks, 3);
  EXPECT_TRUE(Application->Terminated());
  timer.SetEnabled(false);
  auto start = std::chrono::steady_clock::now();
  Application->ProcessMessages();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
}

}  // namespace
