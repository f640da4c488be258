// The TLS record path of the socket component: a TWSocket with TLS connects to a server in
// this process on loopback, and the input decides what the server sends, raw bytes in
// place of its handshake, or, after a real handshake, well-formed records mixed with raw
// bytes, a close_notify and the end of the connection. The client reads in line mode or
// in pieces of the input's choosing. Whatever comes, it must report how its connect ended
// exactly once and before the close, end every connection by itself once the server goes,
// report that once, and pass on nothing but a prefix of the plain text the server sent.
//
// Input: byte 0 picks line mode and whether the server does a real handshake; byte 1 the
// client's read size; then operations of (kind, length, bytes).

#include <openssl/pem.h>
#include <openssl/ssl.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "FuzzLoop.h"
#include "net/TlsContext.h"
#include "net/WSocket.h"
#include "platform/MessageLoop.h"
#include "support/TestAuthority.h"

// After the socket component's headers: the system's socket macros would clash with the
// WinSock names.
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

struct TWorld {
  // Keeps WinSock loaded: the last socket to go would unload it, and every input would pay
  // for its start-up again.
  TWSocket Keeper;
  TTestTrust Trust;
  SSL_CTX* ServerContext = nullptr;
  TFuzzListener Listener;

  TWorld() {
    ServerContext = SSL_CTX_new(TLS_server_method());
    BIO* cert = BIO_new_mem_buf(Trust.Server.CertPem.data(), -1);
    BIO* key = BIO_new_mem_buf(Trust.Server.KeyPem.data(), -1);
    SSL_CTX_use_certificate(ServerContext, PEM_read_bio_X509(cert, nullptr, nullptr, nullptr));
    SSL_CTX_use_PrivateKey(ServerContext, PEM_read_bio_PrivateKey(key, nullptr, nullptr, nullptr));
    BIO_free(cert);
    BIO_free(key);
  }
};

// The server's side of one connection, over memory buffers and driven from the loop
// whenever the client's bytes arrive.
struct TServer {
  int Fd;
  SSL* Ssl = nullptr;
  bool Ready = false;
  std::string Sent;  // the plain text written in records

  explicit TServer(int fd) : Fd(fd) {}
  ~TServer() { SSL_free(Ssl); }

  void StartTls(SSL_CTX* ctx) {
    Ssl = SSL_new(ctx);
    SSL_set_bio(Ssl, BIO_new(BIO_s_mem()), BIO_new(BIO_s_mem()));
    SSL_set_accept_state(Ssl);
  }
  // False once the client has closed its side.
  bool Pump() {
    char buf[16384];
    const ssize_t n = ::recv(Fd, buf, sizeof buf, MSG_DONTWAIT);
    if (n > 0 && Ssl) BIO_write(SSL_get_rbio(Ssl), buf, static_cast<int>(n));
    if (Ssl && !Ready) Ready = SSL_do_handshake(Ssl) == 1;
    while (Ssl && Ready && SSL_read(Ssl, buf, sizeof buf) > 0) {
    }
    Flush();
    return n != 0;
  }
  void Flush() {
    if (!Ssl) return;
    char* data = nullptr;
    const long n = BIO_get_mem_data(SSL_get_wbio(Ssl), &data);
    if (n > 0) Raw(std::string(data, static_cast<std::size_t>(n)));
    (void)BIO_reset(SSL_get_wbio(Ssl));
  }
  void Raw(const std::string& bytes) { ::send(Fd, bytes.data(), bytes.size(), MSG_NOSIGNAL); }
  void Write(const std::string& plain) {
    if (!Ready || plain.empty()) return Raw(plain);
    SSL_write(Ssl, plain.data(), static_cast<int>(plain.size()));
    Sent += plain;
    Flush();
  }
  void CloseNotify() {
    if (!Ready) return;
    SSL_shutdown(Ssl);
    Flush();
  }
};

struct TClient {
  TWSocket Socket;
  int Connected = 0;
  int Closed = 0;
  int ConnectedAtClose = -1;
  int ReadSize = 1;
  std::string Got;

  TClient(int port, bool lineMode, int readSize) : ReadSize(readSize) {
    Socket.OnSessionConnected = [this](TObject*, std::uint16_t) { ++Connected; };
    Socket.OnSessionClosed = [this](TObject*, std::uint16_t) {
      ConnectedAtClose = Connected;
      ++Closed;
    };
    Socket.OnDataAvailable = [this](TObject*, std::uint16_t) {
      std::vector<char> buf(static_cast<std::size_t>(ReadSize));
      const int n = Socket.Receive(buf.data(), ReadSize);
      if (n > 0) Got.append(buf.data(), static_cast<std::size_t>(n));
    };
    Socket.SetLineMode(lineMode);
    Socket.SetAddr("127.0.0.1");
    Socket.SetPort(std::to_string(port));
    Socket.SetTlsEnabled(true);
    Socket.SetTlsHostName("localhost");
    Socket.Connect();
  }
};

void Play(TFuzzInput& in, TServer& server, TClient& client) {
  while (in.More() && client.Closed == 0) {
    const int kind = in.Byte() % 4;
    const std::string chunk = in.Take(static_cast<std::size_t>(in.Byte()) * 8);
    if (kind == 0) server.Write(chunk);
    if (kind == 1) server.Raw(chunk);
    if (kind == 2) server.CloseNotify();
    // Whatever has arrived is handled before the next operation.
    Drain();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // Made once and never destroyed (the loop and WinSock outlive every input); only its
  // folder is removed when the fuzzer exits.
  static TWorld* world = [] {
    static std::string folder;
    TWorld* made = new TWorld();
    folder = made->Trust.Dir;
    std::atexit([] { std::filesystem::remove_all(folder); });
    return made;
  }();
  TFuzzInput in(data, size);
  const int flags = in.Byte();
  const int readSize = 1 + in.Byte() * 16;
  TClient client(world->Listener.Port(), (flags & 1) != 0, readSize);
  const int fd = world->Listener.Accept();
  TServer server(fd);
  int watch = 0;
  watch = WatchFd(fd, POLLIN, [&](short) {
    if (!server.Pump()) SetWatchEvents(watch, 0);
  });
  if (flags & 2) {
    server.StartTls(world->ServerContext);
    Check(RunUntil([&] { return (server.Ready && client.Connected) || client.Closed; }, 5000));
  }
  Play(in, server, client);
  ::shutdown(fd, SHUT_RDWR);
  // The client ends its connection by itself once the server is gone, and says so once.
  Check(RunUntil([&] { return client.Socket.State() == wsClosed; }, 5000));
  UnwatchFd(watch);
  ::close(fd);
  // The connect always reaches the server, so the client hears how it ended (success or
  // the handshake's failure) once, before the close.
  Check(client.Closed == 1 && client.Connected == 1 && client.ConnectedAtClose == 1);
  Check(server.Sent.compare(0, client.Got.size(), client.Got) == 0);
  return 0;
}
