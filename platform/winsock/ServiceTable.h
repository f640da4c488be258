#pragma once
// Service and protocol names. The system databases come first; a small built-in table
// answers for the names this program and its tests rely on when a minimal system image
// has no /etc/services or /etc/protocols (containers often lack them).

#include <cstdint>
#include <string>

namespace winsock::detail {

struct ServiceEntry {
  std::string name;
  std::string proto;
  std::uint16_t port;  // host order
};

struct ProtocolEntry {
  std::string name;
  int number;
};

// proto may be null or empty: any protocol.
bool FindService(const char* name, const char* proto, ServiceEntry& out);
bool FindProtocol(const char* name, ProtocolEntry& out);

}  // namespace winsock::detail
