// The SOCKS negotiation as a whole: a TWSocket connects through a proxy in this process,
// and the input decides the level, whether user/password is offered, and everything the
// proxy says, cut into pieces that reach the client in reads of their own, with hang-ups,
// resets and the application's own close. Whatever the proxy says:
// - the events follow the one grammar: SocksConnected(0) (or a refused connect), the
//   authentication states, then
//   either SocksError(c), SessionConnected(c), SessionClosed(c), or SessionConnected(0)
//   and later one SessionClosed; after the application's own close, only that close;
// - the proxy receives exactly the greeting, user/password and connect request the
//   negotiation reached, byte for byte, and the application's data only after success;
// - the application gets nothing but the end of the proxy's stream, behind a whole reply.
//
// Input: byte 0 picks the level and the offer, byte 1 the application's read size, then
// proxy operations of (kind, argument, bytes).

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "FuzzLoop.h"
#include "net/WSocket.h"

namespace {

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}

const std::string Canned[] = {Bytes({5, 0}),
                              Bytes({5, 2}),
                              Bytes({1, 0}),
                              Bytes({1, 1}),
                              Bytes({5, 0, 0, 1, 127, 0, 0, 1, 0, 110}),
                              Bytes({5, 0, 0, 3, 3}) + "abc" + Bytes({0, 110}),
                              Bytes({0, 90, 0, 110, 127, 0, 0, 1}),
                              Bytes({5, 0xFF}),
                              "+OK destination\r\n"};

struct TLevel {
  const char* Name;
  const char* Addr;
};

const TLevel Levels[] = {{"5", "localhost"}, {"4", "127.0.0.1"}, {"4A", "localhost"}};

// The connect request, exactly; SOCKS 4 carries the user code, 4A the name for the proxy.
std::string Request(const TLevel& level, const std::string& user) {
  const std::string name = level.Name;
  if (name == "5") return Bytes({5, 1, 0, 3, 9}) + "localhost" + Bytes({0, 110});
  if (name == "4") return Bytes({4, 1, 0, 110, 127, 0, 0, 1}) + user + Bytes({0});
  return Bytes({4, 1, 0, 110, 0, 0, 0, 1}) + user + Bytes({0}) + "localhost" + Bytes({0});
}

struct TClient {
  TWSocket Socket;
  std::vector<std::string> Events;
  std::string Data;
  int ReadSize = 1;
  bool AppClosed = false;

  void Log(const std::string& name, int value) {
    Events.push_back(name + "(" + std::to_string(value) + ")");
  }
  TClient(const TLevel& level, bool offer, int readSize, const std::string& proxyPort)
      : ReadSize(readSize) {
    Socket.OnSocksConnected = [this](TObject*, std::uint16_t e) { Log("SocksConnected", e); };
    Socket.OnSocksAuthState = [this](TObject*, TSocksAuthState s) { Log("Auth", s); };
    Socket.OnSocksError = [this](TObject*, int e, const std::string& text) {
      Check(!text.empty());
      Log("SocksError", e);
    };
    Socket.OnSessionConnected = [this](TObject*, std::uint16_t e) {
      Log("SessionConnected", e);
      if (e == 0) Socket.SendStr("QUIT\r\n");
    };
    Socket.OnSessionClosed = [this](TObject*, std::uint16_t e) { Log("SessionClosed", e); };
    Socket.OnDataAvailable = [this](TObject*, std::uint16_t) {
      std::string buf(static_cast<std::size_t>(ReadSize), '\0');
      const int n = Socket.Receive(buf.data(), ReadSize);
      if (n > 0) Data.append(buf, 0, static_cast<std::size_t>(n));
    };
    Socket.SetAddr(level.Addr);
    Socket.SetPort("110");
    Socket.SetSocksServer("127.0.0.1");
    Socket.SetSocksPort(proxyPort);
    Socket.SetSocksLevel(level.Name);
    Socket.SetSocksUsercode(offer ? "puser" : "");
    Socket.SetSocksPassword("ppass");
    Socket.SetSocksAuthentication(offer ? socksAuthenticateUsercode : socksNoAuthentication);
    Socket.Connect();
  }
  std::size_t Count(const std::string& event) const {
    std::size_t n = 0;
    for (const std::string& e : Events) n += e == event;
    return n;
  }
};

// Checks the grammar; true when the negotiation succeeded.
bool CheckEvents(const TClient& client) {
  const std::vector<std::string>& ev = client.Events;
  std::size_t i = 0;
  auto next = [&] { return i < ev.size() ? ev[i] : std::string(); };
  // A proxy that resets at once refuses the connect itself.
  if (next().starts_with("SocksConnected(") && next() != "SocksConnected(0)") {
    const std::string code = ev[0].substr(15);
    Check(ev.size() == 3 && ev[1] == "SessionConnected(" + code && ev[2] == "SessionClosed(0)");
    return false;
  }
  Check(next() == "SocksConnected(0)");
  ++i;
  std::string auth;
  while (next().starts_with("Auth(")) auth += ev[i++][5];
  Check(auth.empty() || auth == "3" || auth == "01" || auth == "02");
  const std::string end = next();
  if (end == "SessionConnected(0)") {
    Check(ev.size() == i + 2 && ev.back().starts_with("SessionClosed("));
    return true;
  }
  if (end.starts_with("SocksError(")) {
    const std::string code = end.substr(11);
    Check(code != "0)" && ev.size() == i + 3);
    Check(ev[i + 1] == "SessionConnected(" + code && ev[i + 2] == "SessionClosed(" + code);
    return false;
  }
  Check(client.AppClosed && ev.size() == i + 1 && end == "SessionClosed(0)");
  return false;
}

void Serve(TFuzzInput& in, TFuzzConnection& proxy, TClient& client) {
  while (in.More() && !proxy.HungUp() && client.Socket.State() != wsClosed) {
    const int op = in.Byte();
    const int arg = in.Byte();
    switch (op % 8) {
      case 0:
      case 1:
        proxy.Send(in.Take(static_cast<std::size_t>(arg)));
        Drain();
        break;
      case 2:
        proxy.Send(in.Take(static_cast<std::size_t>(arg)));
        break;
      case 3:
      case 4:
        proxy.Send(Canned[arg % (sizeof Canned / sizeof Canned[0])]);
        Drain();
        break;
      case 5:
        proxy.HangUp(arg % 2 == 1);
        break;
      case 6:
        client.AppClosed = true;
        client.Socket.Close();
        break;
      default:
        proxy.Received();
        break;
    }
  }
}

// The proxy heard the negotiation's messages as far as it got, byte for byte, and the
// application's line only after success (less, when a reset cut the connection short).
void CheckProxyHeard(const TLevel& level, bool offer, const TClient& client, bool success,
                     TFuzzConnection& proxy) {
  // A proxy may ask for user/password although none was offered; the empty user code goes.
  const std::string user = offer ? "puser" : "";
  const std::string userPass =
      Bytes({1, static_cast<int>(user.size())}) + user + Bytes({5}) + "ppass";
  const std::string request = Request(level, user);
  const std::string negotiation =
      std::string(level.Name) != "5"
          ? request
          : Bytes({5, 1, offer ? 2 : 0}) + (client.Count("Auth(0)") ? userPass : "") + request;
  const std::string& received = proxy.Received();
  const std::string full = negotiation + (success ? "QUIT\r\n" : "");
  Check(full.compare(0, received.size(), received) == 0);
  if (success && !proxy.WasReset()) Check(received.starts_with(negotiation));
}

// The application got the end of what the proxy sent, behind at least a whole reply; up to
// where it closed, if it closed first, and less when the proxy's reset threw away what was
// still on its way.
void CheckApplicationData(const TLevel& level, const TClient& client, bool success,
                          const TFuzzConnection& proxy) {
  const std::string& sent = proxy.Sent();
  const std::string& got = client.Data;
  const std::size_t reply =
      std::string(level.Name) == "5" ? 2 + (client.Count("Auth(1)") ? 2 : 0) + 7 : 8;
  Check(success || got.empty());
  if (client.AppClosed || proxy.WasReset())
    Check(got.empty() || sent.find(got, reply) != std::string::npos);
  else
    Check(got.empty() || (got.size() + reply <= sent.size() && sent.ends_with(got)));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static TFuzzListener* listener = new TFuzzListener();
  TFuzzInput in(data, size);
  const int mode = in.Byte();
  const TLevel& level = Levels[mode % 3];
  const bool offer = mode / 3 % 2 == 1;
  TClient client(level, offer, 1 + in.Byte() * 4, listener->PortText());
  TFuzzConnection proxy(listener->Accept());
  // The connect's outcome reaches the client from the loop, not always by the first look:
  // every input starts from the same point, the greeting sent.
  Check(RunUntil([&] { return client.Socket.State() != wsConnecting; }));
  Serve(in, proxy, client);
  proxy.HangUp();
  Check(RunUntil([&] { return client.Socket.State() == wsClosed; }));
  const bool success = CheckEvents(client);
  CheckProxyHeard(level, offer, client, success, proxy);
  CheckApplicationData(level, client, success, proxy);
  return 0;
}
