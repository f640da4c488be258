#pragma once
// Shared set-up for the WinSock tests: a started library, a window that records every
// socket notification, and plain POSIX peers on 127.0.0.1 to talk to.

#include "platform/winsock/PosixNames.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/MessageLoop.h"
#include "platform/winsock/EntryPoints.h"
#include "platform/winsock/Winsock.h"
#include "support/ScriptedPeer.h"

constexpr UINT kSocketMsg = WM_USER + 1;

struct Note {
  winsock::SOCKET socket;
  long event;
  int error;
};

class WinsockTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // A WinSock stream socket registered for every stream event (mask 59).
  winsock::SOCKET SelectedStream();
  // 127.0.0.1 with the port in network order.
  static winsock::TSockAddrIn Loopback(std::uint16_t port);
  // A blocking POSIX listener on 127.0.0.1 with a kernel-chosen port (host order).
  int PosixListener(std::uint16_t& port);
  // A port with nothing listening on it, kept bound for the test.
  std::uint16_t ClosedPort();
  // Connects a selected WinSock socket to a POSIX listener and returns the accepted peer,
  // after FD_CONNECT and FD_WRITE have arrived and been cleared from the record.
  winsock::SOCKET ConnectedPair(int& peerFd);
  // A WinSock socket of the type bound to 127.0.0.1 at a kernel-chosen port, listening if it
  // is a stream one, and registered for the events of mask; `local` is its address.
  winsock::SOCKET SelectedBound(int type, long mask, winsock::TSockAddrIn& local);
  // A blocking POSIX client connected to `to`.
  int PosixClient(const winsock::TSockAddrIn& to);
  static void PeerSend(int fd, const std::string& text);
  // Sends until WinSock answers "would block"; returns the bytes it took.
  static long FillUntilWouldBlock(winsock::SOCKET s);

  bool WaitFor(winsock::SOCKET s, long event, int timeoutMs = 5000);
  int Count(winsock::SOCKET s, long event) const;
  std::vector<Note> NotesOf(winsock::SOCKET s) const;
  // Dispatches everything that is due now, descriptors looked at included, so that a
  // notification that should not come would have come. The case first waits for whatever
  // it expects the system to hold (WaitArrived), so nothing is left to timing.
  void Settle();
  // Waits, without running the loop, until bytes wait in the socket (or it has ended).
  bool WaitArrived(winsock::SOCKET s, int bytes);

  int Track(int fd) {
    fds_.push_back(fd);
    return fd;
  }
  // Closes a tracked descriptor now (the fixture then leaves it alone).
  void ClosePosix(int fd);
  winsock::SOCKET TrackSocket(winsock::SOCKET s) {
    sockets_.push_back(s);
    return s;
  }

  HWND wnd_ = 0;
  std::vector<Note> notes_;

 private:
  std::vector<std::unique_ptr<TRefusingPort>> refusing_;
  std::vector<int> fds_;
  std::vector<winsock::SOCKET> sockets_;
};
