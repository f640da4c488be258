#pragma once
// Certificate authorities and server certificates made by the tests with OpenSSL, so that
// nothing secret sits in the repository and every run has keys of its own.

#include <string>
#include <vector>

struct evp_pkey_st;
struct x509_st;

struct TCertificate {
  std::string CertPem;
  std::string KeyPem;
};

class TTestAuthority {
 public:
  explicit TTestAuthority(const std::string& name);
  ~TTestAuthority();
  TTestAuthority(const TTestAuthority&) = delete;
  TTestAuthority& operator=(const TTestAuthority&) = delete;

  const std::string& CertPem() const { return FCertPem; }
  // A server certificate for the names (host names, or dotted addresses, which become
  // address entries), valid from fromDays to toDays counted from now (negative: past).
  TCertificate Issue(const std::vector<std::string>& names, int fromDays = -1,
                     int toDays = 30) const;
  // A server certificate that signs itself.
  static TCertificate SelfSigned(const std::vector<std::string>& names);

 private:
  evp_pkey_st* FKey = nullptr;
  x509_st* FCert = nullptr;
  std::string FCertPem;
};

// A test authority trusted for as long as this lives (through the extra-authorities
// variable of the TLS layer), in a temporary folder of its own, with a server certificate
// for localhost and 127.0.0.1.
struct TTestTrust {
  TTestTrust();
  ~TTestTrust();
  // Points the variable at file instead (a missing file, another authority); Trust()
  // restores it.
  void TrustFile(const std::string& file);
  void Trust() { TrustFile(CaFile); }

  std::string Dir;
  TTestAuthority Authority{"Quillet Test Authority"};
  std::string CaFile;
  TCertificate Server;
};

// Writes text to dir/name and returns the path.
std::string WriteTextFile(const std::string& dir, const std::string& name, const std::string& text);
