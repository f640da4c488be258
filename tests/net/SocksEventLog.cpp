#include "SocksEventLog.h"

#include <algorithm>

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

void AimThroughProxy(TWSocket& socket, const std::string& proxyPort, const std::string& level,
                     const std::string& addr, const std::string& port) {
  socket.SetAddr(addr);
  socket.SetPort(port);
  socket.SetSocksServer("127.0.0.1");
  socket.SetSocksPort(proxyPort);
  socket.SetSocksLevel(level);
}

std::string Bytes(std::initializer_list<int> values) {
  std::string out;
  for (int v : values) out += static_cast<char>(v);
  return out;
}
