#pragma once
// Switches for tests of the layers above, to reach outcomes a healthy machine never gives.

#include <cstdint>
#include <string>

namespace winsock {

// Makes every WSAStartup answer `code` (0 restores normal start-up).
void SimulateStartupFailure(int code);
// Holds every asynchronous lookup back for this long before it asks the resolver, so a
// test can watch the loop carry on while a lookup is pending (0 restores).
void SimulateLookupDelay(int milliseconds);

// Makes a service name (any protocol) answer this port ahead of the system's database, so
// that a test can put a well-known service such as "pop3s" on a server of its own on a
// free port; 0 takes the name back.
void SimulateService(const std::string& name, std::uint16_t port);

}  // namespace winsock
