// The TLS layer of the socket component against an in-process TLS server on loopback: the
// handshake driven by the loop, plain text both ways in raw and line mode, every refusal
// with its code and text, a stream broken after the handshake, and the idle wait.

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <openssl/ssl.h>
#include <time.h>

#include <functional>
#include <string>
#include <vector>

#include "SocketEventLog.h"
#include "net/WSocket.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "support/LoopRunner.h"
#include "support/ScriptedPeer.h"
#include "support/TlsPeer.h"
#include "support/TlsSuite.h"

namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using ::testing::StartsWith;

// The script has ended and the client has closed its side.
bool Finished(TScriptedPeer& peer) {
  return peer.Done() && peer.ComponentClosed();
}

double ProcessCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

class TlsSocket : public TTlsSuite {
 protected:
  void SetUp() override {
    TTlsSuite::SetUp();
    log.Attach(socket);
    socket.OnChangeState = [this](TObject*, TSocketState, TSocketState now) {
      // Plain text sent as soon as the connection is up must wait for the handshake.
      if (now == wsConnected) socket.SendStr(early);
    };
    socket.OnTlsError = [this](TObject*, int error, const std::string& msg) {
      log.events.push_back("tls " + std::to_string(error) + " " + msg);
    };
    socket.OnDataAvailable = [this](TObject*, std::uint16_t) { Read(); };
  }

  void Read() {
    std::vector<char> buf(static_cast<std::size_t>(readSize));
    const int n = socket.Receive(buf.data(), readSize);
    if (n > 0) reads.emplace_back(buf.data(), static_cast<std::size_t>(n));
  }
  void ConnectTo(const TScriptedPeer& peer, const std::string& host = "localhost") {
    AimAt(socket, peer.Port());
    socket.SetTlsEnabled(true);
    socket.SetTlsHostName(host);
    socket.Connect();
  }
  std::string Data() const {
    std::string all;
    for (const std::string& r : reads) all += r;
    return all;
  }
  std::vector<std::string> EventsBut(const std::string& prefix) const {
    std::vector<std::string> kept;
    for (const std::string& e : log.events)
      if (!e.starts_with(prefix)) kept.push_back(e);
    return kept;
  }

  TWSocket socket;
  SocketEventLog log;
  std::vector<std::string> reads;
  int readSize = 1000;
  std::string early = "EARLY\r\n";
};

std::string Lines(int count, int width) {
  std::string text;
  for (int i = 0; i < count; ++i)
    text += std::string(static_cast<std::size_t>(width), static_cast<char>('a' + i % 26)) + "\r\n";
  return text;
}

// Greeting, the line held back during the handshake, 200 KB in many records, QUIT, then the
// server's close_notify: the client closes by itself and hears each event once.
TEST_F(TlsSocket, PlainTextBothWaysThenTheServersCloseNotifyInRawAndLineMode) {
  const std::string bulk = Lines(200, 998);
  for (const bool lineMode : {false, true}) {
    SCOPED_TRACE(lineMode ? "line mode" : "raw mode");
    reads.clear();
    log.events.clear();
    socket.SetLineMode(lineMode);
    readSize = lineMode ? 4096 : 777;
    TScriptedPeer peer;
    peer.Do(TlsHandshake(trust->Server))
        .Send("+OK hello\r\n")
        .Expect(early)
        .Send(bulk)
        .Expect("QUIT\r\n")
        .Send("+OK bye\r\n")
        .Do(TlsCloseNotify());
    socket.OnDataAvailable = [&](TObject*, std::uint16_t) {
      Read();
      if (Data() == "+OK hello\r\n" + bulk) socket.SendStr("QUIT\r\n");
    };
    ConnectTo(peer);
    ASSERT_TRUE(RunLoopUntil([&] { return log.Has("closed 0") && Finished(peer); }, 10000));
    EXPECT_THAT(peer.Failures(), IsEmpty());
    EXPECT_EQ(Data(), "+OK hello\r\n" + bulk + "+OK bye\r\n");
    EXPECT_EQ(peer.Received(), early + "QUIT\r\n");
    // OnDataSent only after the handshake: its own messages are not the application's.
    ASSERT_FALSE(log.events.empty());
    EXPECT_EQ(log.events.front(), "connected 0");
    EXPECT_THAT(EventsBut("sent"), ElementsAre("connected 0", "closed 0"));
    if (lineMode) {
      EXPECT_EQ(reads.size(), 202u);  // one read per line
      for (const std::string& line : reads) EXPECT_TRUE(line.ends_with("\r\n"));
    }
  }
}

struct TRefusal {
  const char* name;
  std::function<void(TScriptedPeer&)> script;
  std::string host;
  int code;
  std::string text;
  std::string caFile;  // empty: the suite's authority
};

TEST_F(TlsSocket, EveryRefusalIsReportedOnceWithItsTextAndNoPlainTextLeaves) {
  const TCertificate otherName = trust->Authority.Issue({"mail.example.org"});
  const TCertificate expired = trust->Authority.Issue({"localhost"}, -30, -1);
  const TCertificate notYet = trust->Authority.Issue({"localhost"}, 1, 30);
  const TTestAuthority stranger("Unknown Authority");
  const TCertificate unknown = stranger.Issue({"localhost"});
  const TCertificate selfSigned = TTestAuthority::SelfSigned({"localhost"});
  auto serve = [](const TCertificate& cert, int maxVersion = 0) {
    return [&cert, maxVersion](TScriptedPeer& p) { p.Do(TlsHandshake(cert, maxVersion)); };
  };
  const std::string missing = trust->Dir + "/missing.pem";
  const std::vector<TRefusal> cases = {
      {"other name", serve(otherName), "localhost", tlsWrongName,
       "certificate is not valid for localhost", ""},
      {"address not in the certificate", serve(otherName), "127.0.0.1", tlsWrongName,
       "certificate is not valid for 127.0.0.1", ""},
      {"expired", serve(expired), "localhost", tlsExpired, "certificate has expired", ""},
      {"not valid yet", serve(notYet), "localhost", tlsExpired, "certificate is not valid yet", ""},
      {"unknown authority", serve(unknown), "localhost", tlsUntrusted,
       "certificate is not issued by a trusted authority", ""},
      {"self-signed", serve(selfSigned), "localhost", tlsUntrusted,
       "certificate is self-signed and not trusted", ""},
      {"TLS 1.1 only", serve(trust->Server, TLS1_1_VERSION), "localhost", tlsHandshakeFailed,
       "server does not offer TLS 1.2 or 1.3", ""},
      {"plain text on the port", [](TScriptedPeer& p) { p.Send("+OK POP3 ready\r\n"); },
       "localhost", tlsNotTls, "server does not speak TLS on this port", ""},
      {"closed after the client's hello", [](TScriptedPeer& p) { p.ExpectAny().Close(); },
       "localhost", tlsClosedInHandshake, "connection closed during the handshake", ""},
      {"closed inside the server's hello",
       [](TScriptedPeer& p) {
         p.ExpectAny()
             .Send(std::string("\x16\x03\x03\x00\x40\x02\x00\x00\x3c\x03\x03", 11))
             .Close();
       },
       "localhost", tlsClosedInHandshake, "connection closed during the handshake", ""},
      {"extra authorities missing", serve(trust->Server), "localhost", tlsSetupFailed,
       "cannot load the extra trusted authorities from " + missing, missing},
  };
  early = "SECRET\r\n";
  for (const TRefusal& c : cases) {
    SCOPED_TRACE(c.name);
    log.events.clear();
    if (!c.caFile.empty()) trust->TrustFile(c.caFile);
    TScriptedPeer peer;
    c.script(peer);
    ConnectTo(peer, c.host);
    const std::string code = std::to_string(c.code);
    ASSERT_TRUE(RunLoopUntil([&] { return log.Has("closed " + code) && Finished(peer); }, 10000))
        << ::testing::PrintToString(log.events);
    EXPECT_THAT(log.events,
                ElementsAre("tls " + code + " " + c.text, "connected " + code, "closed " + code));
    EXPECT_EQ(socket.TlsErrorMessage(), c.text);
    EXPECT_THAT(peer.Received(), Not(HasSubstr("SECRET")));
    trust->Trust();
  }
}

TEST_F(TlsSocket, ARecordThatCannotBeReadAfterTheHandshakeEndsTheConnectionOnce) {
  TScriptedPeer peer;
  peer.Do(TlsHandshake(trust->Server))
      .Send("+OK hello\r\n")
      .SendRaw(std::string("\x17\x03\x03\x00\x20", 5) + std::string(32, 'x'));
  ConnectTo(peer);
  ASSERT_TRUE(RunLoopUntil([&] { return log.Has("closed 21009") && Finished(peer); }, 10000));
  EXPECT_EQ(Data(), "+OK hello\r\n");
  EXPECT_THAT(
      EventsBut("sent"),
      ElementsAre("connected 0", StartsWith("tls 21009 connection broken: "), "closed 21009"));
  EXPECT_EQ(peer.Received(), early);
}

TEST_F(TlsSocket, AStalledHandshakeWaitsWithoutCpuAndAbortEndsIt) {
  TScriptedPeer peer;
  peer.Hold();
  ConnectTo(peer);
  ASSERT_TRUE(RunLoopUntil([&] { return socket.State() == wsConnected; }, 5000));
  const double before = ProcessCpuSeconds();
  RunLoopUntil([] { return false; }, 300);
  EXPECT_LT(ProcessCpuSeconds() - before, 0.1) << "the loop spun while the server was silent";
  EXPECT_TRUE(log.events.empty()) << ::testing::PrintToString(log.events);
  socket.Abort();
  EXPECT_THAT(log.events, ElementsAre("closed 0"));
  peer.Release();
  ASSERT_TRUE(RunLoopUntil([&] { return Finished(peer); }, 10000));
  EXPECT_THAT(peer.Received(), Not(HasSubstr(early)));
}

TEST_F(TlsSocket, SettingsAreGuardedAndSurviveAClose) {
  TScriptedPeer peer;
  peer.Hold();
  ConnectTo(peer);
  EXPECT_EQ(ExceptionText([&] { socket.SetTlsEnabled(false); }), "Can't change TLS if not closed");
  EXPECT_EQ(ExceptionText([&] { socket.SetTlsHostName("x"); }),
            "Can't change TLS host name if not closed");
  socket.Abort();
  peer.Release();
  EXPECT_TRUE(socket.TlsEnabled());
  EXPECT_EQ(socket.TlsHostName(), "localhost");
  socket.SetProto("udp");
  socket.SetAddr("127.0.0.1");
  socket.SetPort("9");
  EXPECT_EQ(ExceptionText([&] { socket.Connect(); }), "TLS is only supported over tcp");
  EXPECT_EQ(ExceptionText([&] { socket.Listen(); }), "listening is not supported with TLS");
}

TEST(TlsPortName, Pop3sIs995UnlessATestPutsItElsewhere) {
  EXPECT_EQ(WSocketResolvePort("pop3s", "tcp"), 995);
  winsock::SimulateService("pop3s", 40995);
  EXPECT_EQ(WSocketResolvePort("POP3S", "tcp"), 40995);
  winsock::SimulateService("pop3s", 0);
  EXPECT_EQ(WSocketResolvePort("pop3s", "tcp"), 995);
}

}  // namespace
