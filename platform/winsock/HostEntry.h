#pragma once
// Host entries: resolving a name or an address with the system resolver, and laying the
// result out as a THostEnt whose pointers all point into one caller-supplied buffer.

#include <cstdint>
#include <string>
#include <vector>

namespace winsock::detail {

struct HostData {
  std::string name;
  std::vector<std::string> aliases;
  std::vector<std::uint32_t> addresses;  // network order
};

// Both return 0 or a WinSock error (WSAHOST_NOT_FOUND, WSATRY_AGAIN, ...). They block, so
// the loop's thread calls them only for the blocking conversions.
int ResolveName(const std::string& name, HostData& out);
int ResolveAddress(std::uint32_t address, HostData& out);

// The number of bytes WriteHostEnt needs for this entry.
int HostEntSize(const HostData& host);
// Writes the THostEnt at the start of buf followed by everything it points to. Returns the
// bytes used, or 0 when bufLen is too small (nothing is written then).
int WriteHostEnt(const HostData& host, char* buf, int bufLen);

}  // namespace winsock::detail
