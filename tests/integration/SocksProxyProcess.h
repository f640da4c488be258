#pragma once
// A real SOCKS proxy (microsocks, dante or ssh -D) for one test, started through the
// project's launcher tools/socks-proxy on a free loopback port, in a fresh temporary folder,
// and stopped again when the object goes.

#include <string>

class TSocksProxyProcess {
 public:
  // impl: "microsocks", "dante" or "ssh"; userPass "NAME:PASS" (microsocks only) or empty.
  TSocksProxyProcess(const std::string& impl, const std::string& userPass = "");
  ~TSocksProxyProcess();

  // Why the proxy cannot run here (its package is missing and we may not install it), or
  // empty when it can.
  static std::string MissingReason(const std::string& impl);

  bool Started() const { return !FPort.empty(); }
  const std::string& Port() const { return FPort; }
  // What the launcher said when it failed, for the test's message.
  const std::string& Output() const { return FOutput; }

 private:
  std::string FDir;
  std::string FPort;
  std::string FOutput;
};
