#pragma once
// Switches for tests of the layers above, to reach outcomes a healthy machine never gives.

namespace winsock {

// Makes every WSAStartup answer `code` (0 restores normal start-up).
void SimulateStartupFailure(int code);
// Holds every asynchronous lookup back for this long before it asks the resolver, so a
// test can watch the loop carry on while a lookup is pending (0 restores).
void SimulateLookupDelay(int milliseconds);

}  // namespace winsock
