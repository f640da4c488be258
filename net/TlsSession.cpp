#include "net/TlsSession.h"

#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509v3.h>

#include "net/TlsContext.h"
#include "net/TlsTypes.h"

namespace {

// Record types a TLS server may open with: an alert (21) or a handshake message (22).
bool OpensTlsRecord(int byte) {
  return byte == 21 || byte == 22;
}

std::string ReasonText(unsigned long err) {
  const char* reason = ERR_reason_error_string(err);
  return reason ? reason : "unreadable data";
}

bool IsVersionRefusal(int reason) {
  return reason == SSL_R_TLSV1_ALERT_PROTOCOL_VERSION || reason == SSL_R_UNSUPPORTED_PROTOCOL ||
         reason == SSL_R_NO_PROTOCOLS_AVAILABLE;
}

}  // namespace

TTlsSession::~TTlsSession() {
  SSL_free(FSsl);
}

void TTlsSession::Fail(int code, const std::string& text) {
  FErrorCode = code;
  FErrorText = text;
  ERR_clear_error();
}

bool TTlsSession::Start(const std::string& host) {
  FHost = host;
  if (host.empty()) {
    Fail(tlsSetupFailed, "no server name to check the certificate against");
    return false;
  }
  std::string error;
  SSL_CTX* ctx = TlsClientContext(error);
  if (ctx == nullptr) {
    Fail(tlsSetupFailed, error);
    return false;
  }
  FSsl = SSL_new(ctx);
  SSL_CTX_free(ctx);  // the connection keeps its own reference
  BIO* in = BIO_new(BIO_s_mem());
  BIO* out = BIO_new(BIO_s_mem());
  if (FSsl == nullptr || in == nullptr || out == nullptr) {
    BIO_free(in);
    BIO_free(out);
    Fail(tlsSetupFailed, "cannot set up the TLS library");
    return false;
  }
  // An empty input means "wait for more", never the end of the stream.
  BIO_set_mem_eof_return(in, -1);
  SSL_set_bio(FSsl, in, out);
  SSL_set_connect_state(FSsl);
  // A dotted address is matched against the certificate's address entries and is not sent
  // as a server name, which may only be a host name.
  if (X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(FSsl), host.c_str()) != 1) {
    SSL_set_hostflags(FSsl, X509_CHECK_FLAG_NO_PARTIAL_WILDCARDS);
    if (SSL_set_tlsext_host_name(FSsl, host.c_str()) != 1 ||
        SSL_set1_host(FSsl, host.c_str()) != 1) {
      Fail(tlsSetupFailed, "cannot check the certificate against " + host);
      return false;
    }
  }
  ERR_clear_error();
  return Handshake() != TTlsStep::Failed;
}

void TTlsSession::Feed(const char* data, int len) {
  if (FSsl == nullptr || len <= 0) return;
  if (FFirstByte < 0) FFirstByte = static_cast<unsigned char>(data[0]);
  BIO_write(SSL_get_rbio(FSsl), data, len);
}

TTlsStep TTlsSession::Handshake() {
  if (Failed() || FSsl == nullptr) return TTlsStep::Failed;
  // Without this a plain-text server (a greeting on the wrong port) could be read as the
  // header of a huge record and waited for.
  if (FFirstByte >= 0 && !OpensTlsRecord(FFirstByte)) {
    Fail(tlsNotTls, "server does not speak TLS on this port");
    return TTlsStep::Failed;
  }
  ERR_clear_error();
  const int r = SSL_do_handshake(FSsl);
  if (r == 1) return TTlsStep::Done;
  const int e = SSL_get_error(FSsl, r);
  if (e == SSL_ERROR_WANT_READ || e == SSL_ERROR_WANT_WRITE) return TTlsStep::InProgress;
  FailHandshake();
  return TTlsStep::Failed;
}

void TTlsSession::FailHandshake() {
  const long verifyResult = SSL_get_verify_result(FSsl);
  if (verifyResult != X509_V_OK) return FailCertificate(verifyResult);
  const unsigned long err = ERR_peek_last_error();
  const int reason = ERR_GET_REASON(err);
  if (IsVersionRefusal(reason))
    return Fail(tlsHandshakeFailed, "server does not offer TLS 1.2 or 1.3");
  if (reason > SSL_AD_REASON_OFFSET)
    return Fail(tlsHandshakeFailed, std::string("server refused the connection (") +
                                        SSL_alert_desc_string_long(reason - SSL_AD_REASON_OFFSET) +
                                        ")");
  Fail(tlsHandshakeFailed, "handshake failed: " + ReasonText(err));
}

void TTlsSession::FailCertificate(long verifyResult) {
  switch (verifyResult) {
    case X509_V_ERR_CERT_HAS_EXPIRED:
      return Fail(tlsExpired, "certificate has expired");
    case X509_V_ERR_CERT_NOT_YET_VALID:
      return Fail(tlsExpired, "certificate is not valid yet");
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
      return Fail(tlsWrongName, "certificate is not valid for " + FHost);
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
      return Fail(tlsUntrusted, "certificate is self-signed and not trusted");
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
      return Fail(tlsUntrusted, "certificate is not issued by a trusted authority");
    default:
      return Fail(tlsBadCertificate, std::string("certificate is not valid: ") +
                                         X509_verify_cert_error_string(verifyResult));
  }
}

int TTlsSession::Read(char* into, int room) {
  if (FSsl == nullptr || Failed() || FEnded || room <= 0) return 0;
  ERR_clear_error();
  const int r = SSL_read(FSsl, into, room);
  if (r > 0) return r;
  const int e = SSL_get_error(FSsl, r);
  if (e == SSL_ERROR_ZERO_RETURN)
    FEnded = true;
  else if (e != SSL_ERROR_WANT_READ && e != SSL_ERROR_WANT_WRITE)
    Fail(tlsStreamBroken, "connection broken: " + ReasonText(ERR_peek_last_error()));
  return 0;
}

void TTlsSession::Write(const void* data, int len) {
  if (FSsl == nullptr || Failed() || len <= 0) return;
  ERR_clear_error();
  // Into a memory buffer a write never has to wait, so it takes everything at once.
  if (SSL_write(FSsl, data, len) <= 0)
    Fail(tlsStreamBroken, "connection broken: " + ReasonText(ERR_peek_last_error()));
}

void TTlsSession::Shutdown() {
  if (FSsl == nullptr || Failed() || !SSL_is_init_finished(FSsl)) return;
  SSL_shutdown(FSsl);
  ERR_clear_error();
}

std::string TTlsSession::TakeOutput() {
  if (FSsl == nullptr) return {};
  BIO* out = SSL_get_wbio(FSsl);
  char* data = nullptr;
  const long n = BIO_get_mem_data(out, &data);
  if (n <= 0) return {};
  std::string bytes(data, static_cast<std::size_t>(n));
  (void)BIO_reset(out);
  return bytes;
}
