#include "support/TlsPeer.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <stdexcept>

#include "platform/MessageLoop.h"
#include "support/LoopbackSocket.h"

namespace {

// Every wait of the peer is bounded, so a broken case fails instead of hanging.
constexpr int kTimeoutMs = 10000;

SSL_CTX* ServerContext(const TCertificate& cert, int maxVersion) {
  SSL_CTX* ctx = SSL_CTX_new(TLS_server_method());
  BIO* certBio = BIO_new_mem_buf(cert.CertPem.data(), static_cast<int>(cert.CertPem.size()));
  BIO* keyBio = BIO_new_mem_buf(cert.KeyPem.data(), static_cast<int>(cert.KeyPem.size()));
  X509* x509 = PEM_read_bio_X509(certBio, nullptr, nullptr, nullptr);
  EVP_PKEY* key = PEM_read_bio_PrivateKey(keyBio, nullptr, nullptr, nullptr);
  SSL_CTX_use_certificate(ctx, x509);
  SSL_CTX_use_PrivateKey(ctx, key);
  X509_free(x509);
  EVP_PKEY_free(key);
  BIO_free(certBio);
  BIO_free(keyBio);
  if (maxVersion != 0) {
    // An old server: the system's policy would not even let it offer these versions.
    SSL_CTX_set_security_level(ctx, 0);
    SSL_CTX_set_cipher_list(ctx, "DEFAULT:@SECLEVEL=0");
    SSL_CTX_set_min_proto_version(ctx, TLS1_VERSION);
    SSL_CTX_set_max_proto_version(ctx, maxVersion);
  }
  return ctx;
}

}  // namespace

TTlsPeer::TTlsPeer(TScript script) : FScript(std::move(script)) {
  // The library writes to the socket without MSG_NOSIGNAL (an alert, a close_notify), also
  // after the client or our own destructor has shut it: that must be an error, not the end
  // of the test process.
  std::signal(SIGPIPE, SIG_IGN);
  FListen = OpenLoopbackSocket(FPort);
  if (FListen < 0) throw std::runtime_error("TLS peer: cannot listen on 127.0.0.1");
  FThread = std::thread([this] { Run(); });
}

TTlsPeer::~TTlsPeer() {
  Release();
  ::shutdown(FListen, SHUT_RDWR);
  {
    std::lock_guard<std::mutex> lock(FMutex);
    if (FConn >= 0) ::shutdown(FConn, SHUT_RDWR);
  }
  FThread.join();
  SSL_free(FSsl);
  if (FConn >= 0) ::close(FConn);
  ::close(FListen);
}

void TTlsPeer::Run() {
  pollfd p{FListen, POLLIN, 0};
  if (::poll(&p, 1, kTimeoutMs) == 1) {
    const int conn = ::accept(FListen, nullptr, nullptr);
    timeval tv{kTimeoutMs / 1000, 0};
    ::setsockopt(conn, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    {
      std::lock_guard<std::mutex> lock(FMutex);
      FConn = conn;
    }
    if (conn >= 0) {
      FScript(*this);
      // Whatever the client sends after the script is recorded too.
      while (!(FSsl ? ReadLine() : ReadRaw()).empty()) {
      }
    }
  }
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FFinished = true;
  }
  // Wakes a test that runs the loop until the peer has finished; nobody receives it.
  PostMessage(0, WM_NULL, 0, 0);
}

bool TTlsPeer::Handshake(const TCertificate& cert, int maxVersion) {
  SSL_CTX* ctx = ServerContext(cert, maxVersion);
  FSsl = SSL_new(ctx);
  SSL_CTX_free(ctx);
  SSL_set_fd(FSsl, FConn);
  if (SSL_accept(FSsl) == 1) return true;
  ERR_clear_error();
  SSL_free(FSsl);
  FSsl = nullptr;
  return false;
}

void TTlsPeer::Send(const std::string& plain) {
  if (FSsl && !plain.empty()) SSL_write(FSsl, plain.data(), static_cast<int>(plain.size()));
}

void TTlsPeer::Record(const char* data, int n) {
  std::lock_guard<std::mutex> lock(FMutex);
  FReceived.append(data, static_cast<std::size_t>(n));
}

std::string TTlsPeer::ReadLine() {
  for (;;) {
    const std::size_t end = FPending.find("\r\n");
    if (end != std::string::npos) {
      std::string line = FPending.substr(0, end + 2);
      FPending.erase(0, end + 2);
      return line;
    }
    char chunk[16384];
    const int n = FSsl ? SSL_read(FSsl, chunk, sizeof chunk) : -1;
    if (n <= 0) {
      ERR_clear_error();
      return {};
    }
    Record(chunk, n);
    FPending.append(chunk, static_cast<std::size_t>(n));
  }
}

void TTlsPeer::SendRaw(const std::string& bytes) {
  ::send(FConn, bytes.data(), bytes.size(), MSG_NOSIGNAL);
}

std::string TTlsPeer::ReadRaw() {
  char chunk[16384];
  const ssize_t n = ::recv(FConn, chunk, sizeof chunk, 0);
  if (n <= 0) return {};
  std::lock_guard<std::mutex> lock(FMutex);
  FRawReceived.append(chunk, static_cast<std::size_t>(n));
  return std::string(chunk, static_cast<std::size_t>(n));
}

void TTlsPeer::CloseNotify() {
  if (FSsl) SSL_shutdown(FSsl);
}

void TTlsPeer::Close() {
  std::lock_guard<std::mutex> lock(FMutex);
  ::shutdown(FConn, SHUT_RDWR);
}

void TTlsPeer::WaitForRelease() {
  std::unique_lock<std::mutex> lock(FMutex);
  FReleasedChanged.wait_for(lock, std::chrono::milliseconds(kTimeoutMs),
                            [this] { return FReleased; });
}

void TTlsPeer::Release() {
  {
    std::lock_guard<std::mutex> lock(FMutex);
    FReleased = true;
  }
  FReleasedChanged.notify_all();
}

std::string TTlsPeer::Received() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FReceived;
}

std::string TTlsPeer::RawReceived() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FRawReceived;
}

bool TTlsPeer::Finished() {
  std::lock_guard<std::mutex> lock(FMutex);
  return FFinished;
}
