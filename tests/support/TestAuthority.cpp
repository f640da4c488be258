#include "TestAuthority.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509v3.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "net/TlsContext.h"

namespace {

EVP_PKEY* NewKey() {
  EVP_PKEY* key = EVP_EC_gen("P-256");
  if (key == nullptr) throw std::runtime_error("cannot make a key");
  return key;
}

bool IsDottedAddress(const std::string& name) {
  return !name.empty() && name.find_first_not_of("0123456789.") == std::string::npos;
}

void AddExtension(X509* cert, X509* issuer, int nid, const std::string& value) {
  X509V3_CTX ctx;
  X509V3_set_ctx(&ctx, issuer, cert, nullptr, nullptr, 0);
  X509_EXTENSION* ext = X509V3_EXT_conf_nid(nullptr, &ctx, nid, value.c_str());
  if (ext == nullptr) throw std::runtime_error("bad extension " + value);
  X509_add_ext(cert, ext, -1);
  X509_EXTENSION_free(ext);
}

X509* NewCertificate(const std::string& commonName, EVP_PKEY* key, int fromDays, int toDays) {
  X509* cert = X509_new();
  X509_set_version(cert, 2);
  unsigned char serial[8];
  RAND_bytes(serial, sizeof serial);
  serial[0] &= 0x7F;
  BIGNUM* bn = BN_bin2bn(serial, sizeof serial, nullptr);
  BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert));
  BN_free(bn);
  X509_gmtime_adj(X509_getm_notBefore(cert), static_cast<long>(fromDays) * 86400);
  X509_gmtime_adj(X509_getm_notAfter(cert), static_cast<long>(toDays) * 86400);
  X509_set_pubkey(cert, key);
  X509_NAME* name = X509_get_subject_name(cert);
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>(commonName.c_str()), -1, -1, 0);
  return cert;
}

// The PEM text that write puts into a memory buffer.
template <typename F>
std::string PemText(F write) {
  BIO* bio = BIO_new(BIO_s_mem());
  write(bio);
  char* data = nullptr;
  const long n = BIO_get_mem_data(bio, &data);
  std::string text(data, static_cast<std::size_t>(n));
  BIO_free(bio);
  return text;
}

std::string CertText(X509* cert) {
  return PemText([cert](BIO* bio) { PEM_write_bio_X509(bio, cert); });
}

std::string KeyText(EVP_PKEY* key) {
  return PemText([key](BIO* bio) {
    PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr);
  });
}

// Signs a server certificate for names with issuerKey (the certificate's own key when
// issuer is null).
TCertificate ServerCertificate(const std::vector<std::string>& names, X509* issuer,
                               EVP_PKEY* issuerKey, int fromDays, int toDays) {
  EVP_PKEY* key = NewKey();
  X509* cert = NewCertificate(names.empty() ? "server" : names[0], key, fromDays, toDays);
  X509* signer = issuer ? issuer : cert;
  X509_set_issuer_name(cert, X509_get_subject_name(signer));
  std::string alt;
  for (const std::string& n : names) {
    if (!alt.empty()) alt += ',';
    alt += IsDottedAddress(n) ? "IP:" : "DNS:";
    alt += n;
  }
  AddExtension(cert, signer, NID_basic_constraints, "critical,CA:FALSE");
  AddExtension(cert, signer, NID_ext_key_usage, "serverAuth");
  if (!alt.empty()) AddExtension(cert, signer, NID_subject_alt_name, alt);
  X509_sign(cert, issuer ? issuerKey : key, EVP_sha256());
  TCertificate result{CertText(cert), KeyText(key)};
  X509_free(cert);
  EVP_PKEY_free(key);
  return result;
}

}  // namespace

TTestAuthority::TTestAuthority(const std::string& name) {
  FKey = NewKey();
  FCert = NewCertificate(name, FKey, -1, 365);
  X509_set_issuer_name(FCert, X509_get_subject_name(FCert));
  AddExtension(FCert, FCert, NID_basic_constraints, "critical,CA:TRUE");
  AddExtension(FCert, FCert, NID_key_usage, "critical,keyCertSign,cRLSign");
  AddExtension(FCert, FCert, NID_subject_key_identifier, "hash");
  X509_sign(FCert, FKey, EVP_sha256());
  FCertPem = CertText(FCert);
}

TTestAuthority::~TTestAuthority() {
  X509_free(FCert);
  EVP_PKEY_free(FKey);
}

TCertificate TTestAuthority::Issue(const std::vector<std::string>& names, int fromDays,
                                   int toDays) const {
  return ServerCertificate(names, FCert, FKey, fromDays, toDays);
}

TCertificate TTestAuthority::SelfSigned(const std::vector<std::string>& names) {
  return ServerCertificate(names, nullptr, nullptr, -1, 30);
}

namespace {

std::string NewTempDir() {
  char dir[] = "/tmp/quillet-tls-XXXXXX";
  if (::mkdtemp(dir) == nullptr) throw std::runtime_error("mkdtemp failed");
  return dir;
}

}  // namespace

TTestTrust::TTestTrust()
    : Dir(NewTempDir()),
      CaFile(WriteTextFile(Dir, "ca.pem", Authority.CertPem())),
      Server(Authority.Issue({"localhost", "127.0.0.1"})) {
  Trust();
}

TTestTrust::~TTestTrust() {
  ::unsetenv(ExtraAuthoritiesVariable);
  std::error_code ignored;
  std::filesystem::remove_all(Dir, ignored);
}

void TTestTrust::TrustFile(const std::string& file) {
  ::setenv(ExtraAuthoritiesVariable, file.c_str(), 1);
}

std::string WriteTextFile(const std::string& dir, const std::string& name,
                          const std::string& text) {
  const std::string path = dir + "/" + name;
  std::ofstream(path, std::ios::binary) << text;
  return path;
}
