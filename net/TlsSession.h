#pragma once
// The client side of one TLS connection over memory buffers, without a socket: the bytes
// the server sent go in and plaintext comes out; plaintext goes in and the bytes for the
// server come out. TCustomTlsWSocket moves the bytes and reports the outcome. Since the
// library only ever touches these buffers, it never calls back into the socket.

#include <string>

struct ssl_st;

enum class TTlsStep { InProgress, Done, Failed };

class TTlsSession {
 public:
  TTlsSession() = default;
  ~TTlsSession();
  TTlsSession(const TTlsSession&) = delete;
  TTlsSession& operator=(const TTlsSession&) = delete;

  // Prepares a client that checks the server's certificate against the trusted authorities
  // and against host (a name, or a dotted address matched to the certificate's address
  // entries), and puts its first handshake message in the output. False, with the failure
  // set, when that cannot be done.
  bool Start(const std::string& host);
  // Bytes received from the server.
  void Feed(const char* data, int len);
  TTlsStep Handshake();
  // Decrypts plaintext into the room given: the count, or 0 when what was fed holds no more
  // (Ended() or Failed() then tell whether the stream is over).
  int Read(char* into, int room);
  void Write(const void* data, int len);
  // Ends the stream from our side: a close_notify goes into the output.
  void Shutdown();
  // The bytes for the server, taken out; empty when there are none.
  std::string TakeOutput();

  // The server ended the stream properly (close_notify).
  bool Ended() const { return FEnded; }
  bool Failed() const { return FErrorCode != 0; }
  int ErrorCode() const { return FErrorCode; }
  // What failed, in words a user can act on.
  const std::string& ErrorText() const { return FErrorText; }

 private:
  void Fail(int code, const std::string& text);
  void FailHandshake();
  void FailCertificate(long verifyResult);

  ssl_st* FSsl = nullptr;
  std::string FHost;
  // The first byte the server sent, -1 before any: a TLS server's first record is a
  // handshake message or an alert.
  int FFirstByte = -1;
  bool FEnded = false;
  int FErrorCode = 0;
  std::string FErrorText;
};
