#pragma once
// A private Dovecot POP3 server for one test suite, started through the project's launcher
// (tools/pop3-server) on a loopback port the kernel picked, in a fresh temporary folder.

#include <string>
#include <vector>

class TDovecotServer {
 public:
  TDovecotServer();
  ~TDovecotServer();

  // False, with the reason in SkipReason, when Dovecot is not installed here.
  static bool Available();
  static std::string SkipReason() { return "dovecot-pop3d is not installed"; }

  // (Re)starts the server with fresh mailboxes: users "NAME:PASS", mails "NAME:FILE". With
  // a certificate and key (PEM files) it speaks POP3 over TLS only, as port 995 does.
  bool Start(const std::vector<std::string>& users, const std::vector<std::string>& mails,
             bool apop = false, const std::string& tlsCert = "", const std::string& tlsKey = "");
  void Stop();
  std::string Port() const { return std::to_string(FPort); }
  // The folder the server keeps everything in; tests may write message files there.
  const std::string& Dir() const { return FDir; }
  // What the server has logged so far.
  std::string Log() const;
  // Source file names of the messages left in a mailbox, in POP3 order.
  std::vector<std::string> Remaining(const std::string& user) const;

 private:
  std::string FDir;
  int FPort = 0;
};

// The file's bytes as the server sends them: every bare LF becomes CR LF.
std::string AsServed(const std::string& path);
std::string ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::string& bytes);
// The project's test data folder for POP3 messages.
std::string Pop3DataPath(const std::string& name);
