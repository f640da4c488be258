#pragma once
// The SOCKS layer of the socket component: with SocksServer set, Connect goes to the proxy
// and negotiates SOCKS 4, 4A or 5 before OnSessionConnected reaches the application.
// Without it, every operation passes straight through.

#include <cstdint>
#include <string>

#include "net/CustomWSocket.h"
#include "net/SocksNegotiation.h"
#include "net/SocksTypes.h"

class TCustomSocksWSocket : public TCustomWSocket {
 public:
  explicit TCustomSocksWSocket(TNetComponent* owner = nullptr);

  const std::string& SocksServer() const { return FSocksServer; }
  virtual void SetSocksServer(const std::string& value);
  const std::string& SocksPort() const { return FSocksPort; }
  virtual void SetSocksPort(const std::string& value);
  const std::string& SocksLevel() const { return FSocksLevel; }
  void SetSocksLevel(const std::string& value);
  const std::string& SocksUsercode() const { return FSocksUsercode; }
  void SetSocksUsercode(const std::string& value) { FSocksUsercode = value; }
  const std::string& SocksPassword() const { return FSocksPassword; }
  void SetSocksPassword(const std::string& value) { FSocksPassword = value; }
  TSocksAuthentication SocksAuthentication() const { return FSocksAuthentication; }
  void SetSocksAuthentication(TSocksAuthentication value) { FSocksAuthentication = value; }

  void Connect() override;
  void Listen() override;

  TSocksErrorEvent OnSocksError;
  TSessionConnected OnSocksConnected;
  TSocksAuthStateEvent OnSocksAuthState;

 protected:
  void ResetDefaults() override;
  void CloseConnection(bool shutdownFirst, std::uint16_t error) override;
  int GetRcvdCount() override;
  bool NotifyDataAvailable(std::uint16_t error) override;
  void NotifySessionConnected(std::uint16_t error) override;
  void NotifySessionClosed(std::uint16_t error) override;
  int RecvRaw(void* buffer, int bufferSize, int flags) override;
  // The connection to the destination is up (directly, or through the proxy once the
  // negotiation is over), or failed; by default the application hears of it. A layer above
  // may have work of its own to do first.
  virtual void NotifyDestinationConnected(std::uint16_t error);
  virtual void NotifySocksConnected(std::uint16_t error);
  virtual void NotifySocksError(int error, const std::string& msg);
  void NotifySocksAuthState(TSocksAuthState state);
  // True while the proxy's replies are still being read; the bytes are not the
  // destination's then.
  bool SocksNegotiating() const { return FNegotiation.Phase() != socksPhaseNone; }

 private:
  bool Socks4Level() const { return !FSocksLevel.empty() && FSocksLevel[0] == '4'; }
  // Text of the first request that would not fit its area, empty when all fit.
  std::string OversizedRequest() const;
  bool ResolveProxyEndpoints();
  void DropRefusedNegotiation();
  void ForgetResolvedEndpoints();
  void SendGreeting();
  void SendConnectRequest();
  void SendUserPass();
  void SendBytes(const std::string& bytes);
  bool Advance(const TSocksStep& step);
  bool Succeed();
  bool NotifyApplicationConnected(std::uint16_t error);
  void SocksFail(int error, const std::string& text);

  // The negotiation state (phase), reply buffer, reply count and leftover live in here.
  TSocksNegotiation FNegotiation;
  std::string FSocksServer;
  std::string FSocksLevel = "5";
  std::string FSocksPort;
  bool FSocksPortAssigned = false;
  bool FSocksServerAssigned = false;
  std::string FSocksUsercode;
  std::string FSocksPassword;
  TSocksAuthentication FSocksAuthentication = socksNoAuthentication;
  // Destination port, host order; the socket's own port is the proxy's during negotiation.
  std::uint16_t FSocksDestPort = 0;
};
