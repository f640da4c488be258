#pragma once
// What the POP3 benchmarks share: the two Dovecot mailboxes (1000 messages of 4 KB, and 20
// of 5 MB with a base64 body), the server started on them, and the minimal raw client
// that marks what the server itself can deliver.

#include <cstddef>
#include <string>

struct TMailbox {
  const char* user;  // the mailbox's account; the password is "pw"
  int count;
  std::size_t size;
  bool base64;
};

inline constexpr TMailbox kMailboxes[] = {{"small", 1000, 4096, false},
                                          {"large", 20, 5 << 20, true}};

// Message n of a mailbox, CR LF line ends, about size bytes.
std::string Message(int n, std::size_t size, bool base64);
// Writes every message of both mailboxes into dir; the server's --mail arguments.
std::string WriteMailboxes(const std::string& dir);
// A loopback port that was free a moment ago.
int FreePort();
// Starts Dovecot in dir with both mailboxes; over TLS when tlsArgs names certificate files.
bool StartServer(const std::string& dir, int port, const std::string& mailArgs,
                 const std::string& tlsArgs = "");
void StopServer(const std::string& dir);

struct TResult {
  double seconds = 0;
  long long bytes = 0;
};
// Python's poplib ("poplib") or the raw client ("raw") fetching the whole mailbox with
// UIDL n and RETR n, timed from after the login to the end of the last RETR. caFile empty:
// plain POP3; else POP3 over TLS trusting that authority.
TResult RunPython(const std::string& kind, int port, const TMailbox& box,
                  const std::string& caFile = "");
