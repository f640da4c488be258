// Retrieval speed of TPop3Cli against a real Dovecot, next to Python's poplib and a minimal
// raw client that marks what the server itself can deliver. Every client fetches each
// message the way the mail check does: UIDL n, then RETR n. The same again over TLS, from
// a second Dovecot that speaks POP3 over TLS only: TPop3Cli on "pop3s", poplib.POP3_SSL and
// the raw client over an ssl socket, all checking a certificate made for the run.
//
//   pop3_bench [--rounds N]
//
// Two mailboxes: 1000 messages of 4 KB, and 20 messages of 5 MB with a base64 body.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "BenchMailboxes.h"
#include "platform/MessageLoop.h"
#include "platform/winsock/WinsockTestHooks.h"
#include "pop3/Pop3Cli.h"
#include "support/TestAuthority.h"

namespace {

// Runs the loop until flag is set (or for at most a minute).
bool Pump(const bool& flag) {
  const auto deadline = TickCount() + 60000;
  TMsg msg;
  while (!flag && TickCount() < deadline) {
    if (PeekMessage(msg))
      DispatchMessage(msg);
    else
      WaitMessage(100);
  }
  return flag;
}

// The mail check's pattern, driven from OnRequestDone like the program does. Timing starts
// when STAT has answered, after the login, and ends with the last RETR.
TResult RunPop3Cli(int port, bool tls, const TMailbox& box, long long& mailboxOctets) {
  TPop3Cli pop3;
  if (tls) {
    // What the mail check does for a mailbox on port 995, on the run's own port.
    winsock::SimulateService("pop3s", static_cast<std::uint16_t>(port));
    pop3.SetHost("localhost");
    pop3.SetPort("pop3s");
  } else {
    pop3.SetHost("127.0.0.1");
    pop3.SetPort(std::to_string(port));
  }
  pop3.SetUserName(box.user);
  pop3.SetPassWord("pw");
  bool done = false;
  int failures = 0;
  long long bytes = 0;
  std::chrono::steady_clock::time_point start, end;
  pop3.OnMessageLine = [&](TObject*) { bytes += pop3.LastResponse().size() + 2; };
  pop3.OnRequestDone = [&](TObject*, TPop3Request rq, std::uint16_t error) {
    if (error) {
      ++failures;
      done = true;
    } else if (rq == pop3RqLogin) {
      pop3.Stat();
    } else if (rq == pop3RqStat || rq == pop3RqRetr) {
      if (rq == pop3RqStat) {
        mailboxOctets = pop3.MsgSize();
        start = std::chrono::steady_clock::now();
        pop3.SetMsgNum(0);
      }
      if (pop3.MsgNum() >= box.count) {
        end = std::chrono::steady_clock::now();
        pop3.Quit();
        return;
      }
      pop3.SetMsgNum(pop3.MsgNum() + 1);
      pop3.Uidl();
    } else if (rq == pop3RqUidl) {
      pop3.Retr();
    } else {
      done = true;
    }
  };
  pop3.Login();
  Pump(done);
  if (failures)
    std::fprintf(stderr, "TPop3Cli: a request failed: %s\n", pop3.ErrorMessage().c_str());
  return {std::chrono::duration<double>(end - start).count(), bytes};
}

// One row per client for the mailbox, the best of several rounds: the machine is shared,
// and the best run is the one least disturbed by others.
void Measure(const char* transport, int port, bool tls, const std::string& caFile,
             const TMailbox& box, int rounds) {
  long long octets = 0;
  double best[3] = {1e9, 1e9, 1e9};
  for (int round = 0; round < rounds; ++round) {
    best[0] = std::min(best[0], RunPop3Cli(port, tls, box, octets).seconds);
    best[1] = std::min(best[1], RunPython("poplib", port, box, caFile).seconds);
    best[2] = std::min(best[2], RunPython("raw", port, box, caFile).seconds);
  }
  const char* names[3] = {"TPop3Cli", "poplib", "raw"};
  for (int i = 0; i < 3; ++i)
    std::printf("%-5s %-8s %-9s %10.0f %8.1f %9.2f %9.2f\n", transport, box.user, names[i],
                box.count / best[i], octets / best[i] / 1e6, best[1] / best[i], best[2] / best[i]);
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = 3;
  for (int i = 1; i + 1 < argc; ++i)
    if (std::strcmp(argv[i], "--rounds") == 0) rounds = std::max(1, std::atoi(argv[i + 1]));

  char plainTemplate[] = "/tmp/quillet-pop3-bench-XXXXXX";
  char tlsTemplate[] = "/tmp/quillet-pop3s-bench-XXXXXX";
  const std::string dir = ::mkdtemp(plainTemplate);
  const std::string tlsDir = ::mkdtemp(tlsTemplate);
  // The authority TPop3Cli trusts (through the environment) and the Python clients are
  // given; the server's certificate is for localhost.
  TTestTrust trust;
  const std::string tlsArgs =
      " --tls-cert " + WriteTextFile(trust.Dir, "server.pem", trust.Server.CertPem) +
      " --tls-key " + WriteTextFile(trust.Dir, "server.key", trust.Server.KeyPem);
  std::fprintf(stderr, "writing the mailboxes in %s ...\n", dir.c_str());
  const std::string mailArgs = WriteMailboxes(dir);
  const int port = FreePort();
  const int tlsPort = FreePort();
  if (!StartServer(dir, port, mailArgs) || !StartServer(tlsDir, tlsPort, mailArgs, tlsArgs)) {
    std::fprintf(stderr, "could not start Dovecot\n");
    return 1;
  }

  std::printf("%-5s %-8s %-9s %10s %8s %9s %9s\n", "", "mailbox", "client", "messages/s", "MB/s",
              "vs poplib", "vs raw");
  for (const TMailbox& box : kMailboxes) {
    Measure("plain", port, false, "", box, rounds);
    Measure("tls", tlsPort, true, trust.CaFile, box, rounds);
  }
  StopServer(tlsDir);
  StopServer(dir);
  return 0;
}
