#include "SocksEventLog.h"

#include <gmock/gmock.h>

#include <algorithm>

#include "support/LoopRunner.h"

void TSocksEventLog::Attach(TWSocket& socket) {
  auto add = [this](const std::string& name, int value) {
    Events.push_back(name + "(" + std::to_string(value) + ")");
  };
  socket.OnSocksConnected = [add](TObject*, std::uint16_t e) { add("SocksConnected", e); };
  socket.OnSessionConnected = [add](TObject*, std::uint16_t e) { add("SessionConnected", e); };
  socket.OnSessionClosed = [add](TObject*, std::uint16_t e) { add("SessionClosed", e); };
  socket.OnSocksAuthState = [add](TObject*, TSocksAuthState s) { add("AuthState", s); };
  socket.OnSocksError = [this](TObject*, int e, const std::string& msg) {
    Events.push_back("SocksError(" + std::to_string(e) + "," + msg + ")");
  };
  socket.OnDataAvailable = [this, &socket](TObject*, std::uint16_t) {
    if (RcvdCountAtFirstData < 0) RcvdCountAtFirstData = socket.RcvdCount();
    std::string buf(ReadSize, '\0');
    const int n = socket.Receive(buf.data(), ReadSize);
    if (n > 0) Data.append(buf, 0, n);
  };
}

bool TSocksEventLog::Has(const std::string& event) const {
  return std::find(Events.begin(), Events.end(), event) != Events.end();
}

int TSocksEventLog::Count(const std::string& prefix) const {
  return static_cast<int>(std::count_if(
      Events.begin(), Events.end(), [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }));
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

const std::string Socks5Greeting = Bytes({5, 1, 0});
const std::string Socks5GreetingUserPass = Bytes({5, 1, 2});
const std::string Socks5Ok = Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0x9C, 0x40});

std::string Socks5Request(const std::string& host, int port) {
  return Bytes({5, 1, 0, 3, static_cast<int>(host.size())}) + host +
         Bytes({port >> 8, port & 0xFF});
}

TScriptedPeer& ScriptNoAuthNegotiation(TScriptedPeer& proxy, const std::string& reply) {
  return proxy.Expect(Socks5Greeting)
      .Send(Bytes({5, 0}))
      .Expect(Socks5Request("localhost", 110))
      .Send(reply);
}

void AimThroughProxy(TWSocket& socket, const std::string& proxyPort, const std::string& level,
                     const std::string& addr, const std::string& port) {
  socket.SetAddr(addr);
  socket.SetPort(port);
  socket.SetSocksServer("127.0.0.1");
  socket.SetSocksPort(proxyPort);
  socket.SetSocksLevel(level);
}

void TSocksClient::Through(const std::string& proxyPort, const std::string& level,
                           const std::string& addr, const std::string& port) {
  AimThroughProxy(socket, proxyPort, level, addr, port);
  socket.Connect();
}

void TSocksClient::OfferUserPass(const std::string& user, const std::string& pass) {
  socket.SetSocksUsercode(user);
  socket.SetSocksPassword(pass);
  socket.SetSocksAuthentication(socksAuthenticateUsercode);
}

void TSocksClient::CloseAndCheck(TScriptedPeer& proxy) {
  if (socket.State() != wsClosed) socket.Close();
  EXPECT_TRUE(RunLoopUntil([&] { return proxy.Done(); }));
  EXPECT_THAT(proxy.Failures(), ::testing::IsEmpty());
}
