#include "support/TlsPeer.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>

#include <csignal>

namespace {

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

class TTlsStream : public TPeerStream {
 public:
  explicit TTlsStream(SSL* ssl) : FSsl(ssl) {}
  ~TTlsStream() override { SSL_free(FSsl); }
  int Read(char* buffer, int size) override {
    const int n = SSL_read(FSsl, buffer, size);
    if (n > 0) return n;
    // A close_notify is the end of the stream; anything else (a broken record, a reset)
    // ends it as well.
    const bool clean = SSL_get_error(FSsl, n) == SSL_ERROR_ZERO_RETURN;
    ERR_clear_error();
    return clean ? 0 : -1;
  }
  bool Write(const std::string& bytes) override {
    return bytes.empty() || SSL_write(FSsl, bytes.data(), static_cast<int>(bytes.size())) > 0;
  }
  bool Buffered() const override { return SSL_pending(FSsl) > 0; }
  SSL* Ssl() const { return FSsl; }

 private:
  SSL* FSsl;
};

}  // namespace

TScriptedPeer::TStepFunction TlsHandshake(const TCertificate& cert, int maxVersion) {
  // The library writes to the socket without MSG_NOSIGNAL (an alert, a close_notify), also
  // after the client has gone: that must be an error, not the end of the test process.
  std::signal(SIGPIPE, SIG_IGN);
  return [cert, maxVersion](TScriptedPeer& peer) {
    SSL_CTX* ctx = ServerContext(cert, maxVersion);
    SSL* ssl = SSL_new(ctx);
    SSL_CTX_free(ctx);
    SSL_set_fd(ssl, peer.Fd());
    if (SSL_accept(ssl) == 1) {
      peer.UseStream(std::make_unique<TTlsStream>(ssl));
      return true;
    }
    ERR_clear_error();
    SSL_free(ssl);
    return false;
  };
}

TScriptedPeer::TStepFunction TlsCloseNotify() {
  return [](TScriptedPeer& peer) {
    if (auto* tls = dynamic_cast<TTlsStream*>(peer.Stream())) SSL_shutdown(tls->Ssl());
    return true;
  };
}
