#pragma once
// The SOCKS layer of the socket component: with SocksServer set, Connect goes to the proxy
// and negotiates SOCKS 4, 4A or 5 before OnSessionConnected reaches the application.
// Without it, every operation passes straight through.

#include <cstdint>
#include <functional>
#include <string>

#include "net/CustomWSocket.h"

enum TSocksAuthentication { socksNoAuthentication = 0, socksAuthenticateUsercode = 1 };

enum TSocksAuthState {
  socksAuthBegin = 0,
  socksAuthOk = 1,
  socksAuthFailed = 2,
  socksAuthNotNeeded = 3
};

using TSocksErrorEvent = std::function<void(TObject* Sender, int Error, const std::string& Msg)>;
using TSocksAuthStateEvent = std::function<void(TObject* Sender, TSocksAuthState AuthState)>;

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
  int GetRcvdCount() override;
  bool NotifyDataAvailable(std::uint16_t error) override;
  void NotifySessionConnected(std::uint16_t error) override;
  void NotifySessionClosed(std::uint16_t error) override;
  int RecvRaw(void* buffer, int bufferSize, int flags) override;
  virtual void NotifySocksConnected(std::uint16_t error);
  virtual void NotifySocksError(int error, const std::string& msg);

  std::uint8_t FSocksState = 0;
  std::string FSocksServer;
  std::string FSocksLevel = "5";
  std::string FSocksPort;
  bool FSocksPortAssigned = false;
  bool FSocksServerAssigned = false;
  std::string FSocksUsercode;
  std::string FSocksPassword;
  TSocksAuthentication FSocksAuthentication = socksNoAuthentication;
};
