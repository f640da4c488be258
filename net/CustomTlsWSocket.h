#pragma once
// The TLS layer of the socket component: with TlsEnabled set, Connect runs a TLS handshake
// once the destination is reached (directly or through the SOCKS proxy below), and the
// application hears OnSessionConnected only when the handshake is over and the server's
// certificate has been checked against the trusted authorities and the host name. From
// then on the layers above send and receive plain text. The handshake advances inside the
// socket's read notifications; nothing here waits. With TlsEnabled off, every operation
// passes straight through.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "net/CustomSocksWSocket.h"
#include "net/TlsSession.h"
#include "net/TlsTypes.h"

// Posted to the socket's own window when the server has ended the TLS stream (or broken
// it), so that the close follows the delivery of the last plain text from the loop.
constexpr UINT TlsStreamEndMessage = WM_USER + 21;  // 1045

class TCustomTlsWSocket : public TCustomSocksWSocket {
 public:
  explicit TCustomTlsWSocket(TNetComponent* owner = nullptr);
  ~TCustomTlsWSocket() override;

  // Kept across closes, unlike the proxy settings: a connection that silently went out in
  // plain text because a setting had been reset would give the password away.
  bool TlsEnabled() const { return FTlsEnabled; }
  void SetTlsEnabled(bool value);
  // The name (or dotted address) the server's certificate must be valid for, also sent to
  // the server to choose its certificate; empty means Addr. The POP3 client resolves its
  // host itself and connects to the address, so it names the host here.
  const std::string& TlsHostName() const { return FTlsHostName; }
  void SetTlsHostName(const std::string& value);
  // Why the last TLS connection failed, in words a user can act on; emptied by Connect.
  const std::string& TlsErrorMessage() const { return FTlsErrorMessage; }

  void Connect() override;
  void Listen() override;
  int Send(const void* data, int len) override;

  TTlsErrorEvent OnTlsError;

 protected:
  LRESULT WindowProcedure(UINT msg, WPARAM wParam, LPARAM lParam) override;
  void ResetDefaults() override;
  void CloseConnection(bool shutdownFirst, std::uint16_t error) override;
  int GetRcvdCount() override;
  int RecvRaw(void* buffer, int bufferSize, int flags) override;
  bool NotifyDataAvailable(std::uint16_t error) override;
  void NotifyDestinationConnected(std::uint16_t error) override;
  void NotifySessionClosed(std::uint16_t error) override;
  void NotifyDataSent(std::uint16_t error) override;
  virtual void NotifyTlsError(int error, const std::string& msg);
  // True from Connect until the handshake is over: what the server sends is not yet the
  // application's.
  bool TlsPending() const { return FPhase == tlsWaiting || FPhase == tlsHandshake; }
  // Calls the application's OnDataAvailable for bytes a layer above already holds; below
  // this layer, since this one would read and decrypt instead. False without a handler.
  bool FireDataAvailable(std::uint16_t error) {
    return TCustomSocksWSocket::NotifyDataAvailable(error);
  }

 private:
  enum TTlsPhase : std::uint8_t {
    tlsOff,        // no TLS on this connection
    tlsWaiting,    // connecting (or negotiating with the proxy); the handshake comes next
    tlsHandshake,  // the handshake is under way
    tlsOpen,       // plain text flows
    tlsEnded,      // the stream ended, failed or never opened; decrypted bytes are still held
  };

  static constexpr const char* ClosedInHandshakeText = "connection closed during the handshake";

  // Forgets everything of the last connection's TLS stream.
  void ResetSession();

  // Handshake (CustomTlsWSocketHandshake.cpp).
  void StartHandshake();
  bool ContinueHandshake(std::uint16_t error);
  bool FinishHandshake();
  void FailHandshake(int error, const std::string& text);
  bool TellApplication(std::uint16_t error);
  bool ReportTlsError(int error, const std::string& text);
  void FlushOutput();
  void SendLastWords();
  // Still the connection whose handshake had this serial: a handler may have closed it,
  // or even started the next one.
  bool Current(WPARAM serial) const { return FSession && FSerial == serial; }

  // Plain text (CustomTlsWSocketStream.cpp).
  int ReadCipher(char* buffer, int size);
  void Pull();
  bool OfferPlain();
  int TakePlain(void* buffer, int size, bool peek);
  int NothingDecrypted();
  void EndStream();
  void FinishStream();
  void ReportEnd();
  int SendPlain(const void* data, int len);

  bool FTlsEnabled = false;
  std::string FTlsHostName;
  std::string FTlsErrorMessage;
  TTlsPhase FPhase = tlsOff;
  std::unique_ptr<TTlsSession> FSession;
  // Counts handshakes, so that an end message posted for an earlier connection is known.
  WPARAM FSerial = 0;
  // Decrypted bytes not yet read live at [FPlainHead, FPlainHead + FPlainCount).
  std::vector<char> FPlain;
  int FPlainHead = 0;
  int FPlainCount = 0;
  // What the application sent before the handshake was over; it goes out encrypted after.
  std::string FEarlySend;
  // Why the stream ended: 0 for the server's close_notify, else a TLS or WinSock code.
  int FEndError = 0;
  bool FEndReported = false;
  // What the socket itself said last: its end (recv gave 0), or a WinSock error.
  bool FSocketEof = false;
  int FSocketError = 0;
};
